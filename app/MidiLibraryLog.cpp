// SPDX-License-Identifier: MIT
#include "app/MidiLibraryLog.h"

#include <QCoreApplication>

namespace tarvik {

void MidiLibraryLog::take(const std::vector<std::string>& lines) {
  QStringList text;
  for (const std::string& line : lines) text << QString::fromStdString(line);
  if (text.isEmpty()) return;
  if (!started_) {
    atStart_ << text;
    return;
  }
  log_(summary(text), text);
}

void MidiLibraryLog::started(const std::string& problem) {
  started_ = true;
  if (!problem.empty()) {
    log_(QString::fromStdString(problem), atStart_);
  } else if (!atStart_.isEmpty()) {
    log_(summary(atStart_), atStart_);
  }
  atStart_.clear();
}

QString MidiLibraryLog::summary(const QStringList& lines) {
  return lines.size() == 1
             ? QCoreApplication::translate(
                   "MidiLibraryLog", "The MIDI system's libraries reported 1 line (see its detail)")
             : QCoreApplication::translate(
                   "MidiLibraryLog",
                   "The MIDI system's libraries reported %1 lines (see their detail)")
                   .arg(lines.size());
}

}  // namespace tarvik
