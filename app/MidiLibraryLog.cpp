// SPDX-License-Identifier: MIT
#include "app/MidiLibraryLog.h"

#include <utility>

namespace tarvik {

void MidiLibraryLog::take(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) held_ << QString::fromStdString(line);
  if (held_.size() > kHeldLines) held_.remove(0, held_.size() - kHeldLines);
}

void MidiLibraryLog::started(const std::string& problem) {
  if (!problem.empty()) log_(QString::fromStdString(problem), takeHeld());
}

QStringList MidiLibraryLog::takeHeld() { return std::exchange(held_, {}); }

}  // namespace tarvik
