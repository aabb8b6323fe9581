// SPDX-License-Identifier: MIT
#include "midi/LibraryMessageRelay.h"

#include "midi/LibraryMessages.h"

namespace tarvik {

LibraryMessageRelay::LibraryMessageRelay(QObject& context) : context_(context) {
  listener_ = LibraryMessages::listen([this](const std::string& line) { take(line); });
}

LibraryMessageRelay::~LibraryMessageRelay() { LibraryMessages::stopListening(listener_); }

void LibraryMessageRelay::take(const std::string& line) {
  std::lock_guard lock(mutex_);
  held_.push_back(line);
  if (flushPosted_) return;
  flushPosted_ = true;
  // Dropped unrun should the context go first; the relay goes with it (see the service).
  QMetaObject::invokeMethod(
      &context_, [this] { flush(); }, Qt::QueuedConnection);
}

void LibraryMessageRelay::flush() {
  std::vector<std::string> lines;
  {
    std::lock_guard lock(mutex_);
    flushPosted_ = false;
    if (!sink_) return;
    lines.swap(held_);
  }
  if (!lines.empty()) sink_(lines);
}

void LibraryMessageRelay::setSink(Sink sink) {
  sink_ = std::move(sink);
  flush();
}

}  // namespace tarvik
