// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "midi/HubMidiService.h"

namespace tarvik {

// The platform's MIDI service as a window starts it: created at once, listing no ports and
// opening none, until it has reached the MIDI system on a thread of its own. Only virtual calls
// cross this interface, so an implementation may come from a module loaded at run time.
class PlatformMidiService : public HubMidiService {
 public:
  // Reaches the MIDI system in the background; does nothing once started or starting.
  virtual void startInBackground() = 0;
  // Calls `started` on the service's thread once the MIDI system has been reached or found
  // missing; at once when that is over.
  virtual void whenStarted(std::function<void()> started) = 0;
  // Empty when a MIDI system was reached; otherwise a sentence for the user, to show once.
  virtual std::string startupProblem() const = 0;
  // What the MIDI system's libraries (ALSA, JACK) write about themselves is kept off standard
  // error and given to `sink` instead, on the service's thread: those held so far before this
  // returns, later ones a burst at a time. Set it before starting, or lines are only held.
  using LibraryMessageSink = std::function<void(const std::vector<std::string>& lines)>;
  virtual void setLibraryMessageSink(LibraryMessageSink sink) = 0;
};

}  // namespace tarvik
