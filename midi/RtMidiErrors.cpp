// SPDX-License-Identifier: MIT
#include "midi/RtMidiErrors.h"

namespace tarvik {

void RtMidiErrors::report(RtMidiError::Type type, const std::string& text, void* userData) {
  auto* errors = static_cast<RtMidiErrors*>(userData);
  std::lock_guard lock(errors->mutex_);
  errors->lastMessage_ = text;
  if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING) errors->failed_ = true;
}

void RtMidiErrors::begin() {
  std::lock_guard lock(mutex_);
  failed_ = false;
}

bool RtMidiErrors::ok() const {
  std::lock_guard lock(mutex_);
  return !failed_;
}

std::string RtMidiErrors::message() const {
  std::lock_guard lock(mutex_);
  return lastMessage_;
}

void RtMidiErrors::set(const std::string& text) {
  std::lock_guard lock(mutex_);
  lastMessage_ = text;
}

}  // namespace tarvik
