// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

namespace tarvik {

// Where the window puts what the MIDI system's libraries (ALSA, JACK) say about themselves. It
// is for whoever helps a user, not for the user, who reads the program's own sentence: so it goes
// into the event log only as the detail of a line of the program's own (EventLog: shown on
// hover, copied and saved with the log). What is said while the MIDI system is reached goes with
// the line that reports the start: the start-up problem, or when there is none, a line saying
// how much the libraries said; later lines come with such a line of their own.
class MidiLibraryLog {
 public:
  using Log = std::function<void(const QString& line, const QStringList& detail)>;
  explicit MidiLibraryLog(Log log) : log_(std::move(log)) {}

  // Lines as the MIDI service hands them over (PlatformMidiService::setLibraryMessageSink).
  void take(const std::vector<std::string>& lines);
  // Once the MIDI system has been reached (`problem` empty) or found missing.
  void started(const std::string& problem);

 private:
  static QString summary(const QStringList& lines);

  Log log_;
  bool started_ = false;
  QStringList atStart_;
};

}  // namespace tarvik
