// SPDX-License-Identifier: MIT
// tarvik-cli's MIDI module: RtMidi, JACK and ALSA, which only the commands that talk to a device
// need. The others never load it, so a JACK server that hangs, or none at all, cannot touch them.
#include <QtGlobal>
#include <type_traits>

#include "midi/RtMidiService.h"

extern "C" Q_DECL_EXPORT tarvik::PlatformMidiService* tarvik_create_midi_service() {
  return new tarvik::RtMidiService(tarvik::RtMidiService::Start::Later);
}

// A signature that drifts from what the command line calls would crash at run time; here it
// stops the build.
static_assert(
    std::is_same_v<decltype(&tarvik_create_midi_service), tarvik::CreateMidiServiceEntry>);
