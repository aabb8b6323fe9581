// SPDX-License-Identifier: MIT
#pragma once

#include <RtMidi.h>

#include <mutex>
#include <string>

namespace tarvik {

// Collects what RtMidi reports through its error callback. With a callback installed RtMidi
// reports instead of throwing (and instead of writing to standard error), so every call is
// followed by a look at ok(). Warnings (for example "JACK server not running?") are remembered
// as text but do not fail a call. RtMidi may report from its own threads, hence the lock.
class RtMidiErrors {
 public:
  // For RtMidi's setErrorCallback, with the collector as its user data.
  static void report(RtMidiError::Type type, const std::string& text, void* userData) {
    auto* errors = static_cast<RtMidiErrors*>(userData);
    std::lock_guard lock(errors->mutex_);
    errors->lastMessage_ = text;
    if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING) errors->failed_ = true;
  }
  void install(RtMidi& midi) { midi.setErrorCallback(&RtMidiErrors::report, this); }

  // Starts a call: what went wrong before it no longer fails it.
  void begin() {
    std::lock_guard lock(mutex_);
    failed_ = false;
  }
  bool ok() const {
    std::lock_guard lock(mutex_);
    return !failed_;
  }
  // The last text reported or set.
  std::string message() const {
    std::lock_guard lock(mutex_);
    return lastMessage_;
  }
  void set(const std::string& text) {
    std::lock_guard lock(mutex_);
    lastMessage_ = text;
  }

 private:
  mutable std::mutex mutex_;
  std::string lastMessage_;
  bool failed_ = false;
};

}  // namespace tarvik
