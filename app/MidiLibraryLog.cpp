// SPDX-License-Identifier: MIT
#include "app/MidiLibraryLog.h"

#include <utility>

namespace tarvik {

void MidiLibraryLog::take(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) held_ << QString::fromStdString(line);
  if (held_.size() > kHeldLines) held_.remove(0, held_.size() - kHeldLines);
}

void MidiLibraryLog::started(const std::string& problem) {
  if (!problem.empty()) {
    log_(QString::fromStdString(problem), takeHeld());
    return;
  }
  // What was said on the way to the system in use was about the others tried first (ALSA's
  // missing sequencer on the way to JACK): not about anything that may fail later.
  held_.clear();
}

QStringList MidiLibraryLog::takeHeld() { return std::exchange(held_, {}); }

}  // namespace tarvik
