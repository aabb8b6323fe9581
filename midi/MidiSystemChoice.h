// SPDX-License-Identifier: MIT
#pragma once

#include <RtMidi.h>

#include <memory>
#include <string>

#include "midi/JackClock.h"
#include "midi/JackSpareClients.h"

namespace tarvik {

// Which MIDI system the RtMidi service uses, and what it lists ports through. On Linux: ALSA
// where its sequencer opens, a running JACK server otherwise (RtMidi's own default would open a
// JACK client, a server round trip, only to count its ports). Elsewhere RtMidi's own choice.
//
// Made on whichever thread starts the service (reaching a MIDI system takes from a few to tens
// of milliseconds), then moved to the service's thread.
struct MidiSystemChoice {
  RtMidi::Api api = RtMidi::UNSPECIFIED;
  // Empty when a MIDI system was reached; otherwise a sentence for the user.
  std::string problem;
  // Only for listing ports, and not under JACK, where `jack` lists them.
  std::unique_ptr<RtMidiIn> inProbe;
  std::unique_ptr<RtMidiOut> outProbe;
  std::unique_ptr<JackClock> jack;
  // Under JACK, when asked for: the objects of the first port pair, in the making.
  std::unique_ptr<JackSpareClients> spares;

  // `openingSoon`: a port pair will be opened right away.
  static MidiSystemChoice reach(const std::string& clientName, bool openingSoon = false);
};

}  // namespace tarvik
