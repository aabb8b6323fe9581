// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "midi/PlatformMidiService.h"

namespace tarvik {

class MidiPorts;

// The program's port lists from its first moment, and the start of the platform's MIDI system
// behind them: reaching it (under JACK a client of the program's own and a walk over the
// server's port table) takes tens of milliseconds, which run in the background while the window
// is built or the command reads its file. Until then the lists are empty. The window and the
// command line each hold one; cores are made over its ports().
class MidiSystem {
 public:
  // `errors` receives what goes wrong inside the MIDI input callback, which has no caller to
  // go back to. Until start() brings a service the lists have no ports.
  explicit MidiSystem(std::function<void(const QString& text)> errors);
  // The lists close what is still open when they go.
  ~MidiSystem();
  MidiSystem(const MidiSystem&) = delete;
  MidiSystem& operator=(const MidiSystem&) = delete;

  MidiPorts& ports() { return *ports_; }

  // Brings `service` to the lists and reaches its MIDI system in the background. What the MIDI
  // system's libraries (ALSA, JACK) say about themselves (midiLibraryLog) goes to standard error
  // with `echo` (--verbose) and is kept for libraryLines(), never as a line of its own.
  // `started` gets the start-up problem, empty when the MIDI system was reached (see
  // PlatformMidiService::whenStarted); a start that worked drops what was said on the way
  // (ALSA's missing sequencer on the way to JACK), since no later failure is about it.
  using Started = std::function<void(const QString& problem)>;
  void start(std::unique_ptr<PlatformMidiService> service, bool echo, Started started);

  // What the libraries said since the last call, the newest kHeldLines of it: the detail of
  // the failure being reported now.
  static constexpr int kHeldLines = 64;
  QStringList libraryLines();

 private:
  std::unique_ptr<MidiPorts> ports_;
};

}  // namespace tarvik
