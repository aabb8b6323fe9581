// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <functional>
#include <string>

#include "midi/MidiService.h"

namespace tarvik {

// The platform's MIDI service as a window starts it: created at once, listing no ports and
// opening none, until it has reached the MIDI system on a thread of its own. Its own calls are
// virtual, so that an implementation may come from a module loaded at run time.
class PlatformMidiService : public MidiService {
 public:
  PlatformMidiService()
      : MidiService(nullptr, QCoreApplication::translate("RtMidiService",
                                                         "The MIDI driver reported an error.")
                                 .toStdString()) {}
  // Reaches the MIDI system in the background; does nothing once started or starting.
  virtual void startInBackground() = 0;
  // Calls `started` on the service's thread once the MIDI system has been reached or found
  // missing; at once when that is over.
  virtual void whenStarted(std::function<void()> started) = 0;
  // Empty when a MIDI system was reached; otherwise a sentence for the user, to show once.
  virtual std::string startupProblem() const = 0;
};

// What the window's platform module and the command line's MIDI module export, by name: a new
// service that the caller owns.
using CreateMidiServiceEntry = PlatformMidiService* (*)();
inline constexpr char kCreateMidiServiceEntry[] = "tarvik_create_midi_service";

}  // namespace tarvik
