// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

namespace tarvik {

// Where the window keeps what the MIDI system's libraries (ALSA, JACK) say about themselves. It
// is for whoever helps a user with a failure, not for the user, who reads the program's own
// sentence: so it never becomes a line of its own. A start-up problem's log line carries what
// was said while the MIDI system was reached (EventLog: shown on hover, copied and saved with
// the log); the error box of a later MIDI failure (no device answering, a port that does not
// open) carries what was said since on the system in use. A start that worked logs nothing and
// keeps nothing: a machine without an ALSA sequencer says so on every start on the way to
// JACK, and that is neither news nor what a later failure on JACK is about.
class MidiLibraryLog {
 public:
  using Log = std::function<void(const QString& line, const QStringList& detail)>;
  // The newest lines kept for the next failure; a library that talks on and on between two
  // failures is not worth a growing heap.
  static constexpr int kHeldLines = 64;

  explicit MidiLibraryLog(Log log) : log_(std::move(log)) {}

  // Lines as the MIDI service hands them over (PlatformMidiService::setLibraryMessageSink).
  void take(const std::vector<std::string>& lines);
  // Once the MIDI system has been reached (`problem` empty: what was said meanwhile is
  // dropped) or found missing.
  void started(const std::string& problem);
  // What was said since the last failure, for the failure being reported now.
  QStringList takeHeld();

 private:
  Log log_;
  QStringList held_;
};

}  // namespace tarvik
