// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>
#include <memory>

#include "midi/PlatformMidiService.h"

namespace tarvik::cli {

// RtMidi, JACK and ALSA live in a module of tarvik-cli's own (midi/MidiEntry.cpp,
// tarvik-cli-midi.so), loaded only by the commands that talk to a device: the file and library
// commands never map a MIDI system's libraries, so a JACK whose shared state was left locked by
// a killed client cannot hang them. The module stays loaded until the program ends, since the
// service it made lives as long.
class MidiModule {
  Q_DECLARE_TR_FUNCTIONS(MidiModule)

 public:
  // The module is TARVIK_CLI_MIDI_MODULE when set (tests); else where the installed program
  // finds it from its own folder, which is also where the build puts it.
  static QString path();
  // A new service, created but not started; null when the module cannot be loaded, with
  // `problem` saying why in one line.
  static std::unique_ptr<PlatformMidiService> service(QString& problem);
};

}  // namespace tarvik::cli
