// SPDX-License-Identifier: MIT
#include "tools/TrafficHistory.h"

#include <QElapsedTimer>
#include <algorithm>

namespace tarvik {

TrafficHistory::TrafficHistory(std::size_t capacity)
    : capacity_(std::max<std::size_t>(capacity, 1)), clock_(&TrafficHistory::now) {
  ring_.reserve(capacity_);
}

QTime TrafficHistory::now() {
  thread_local QElapsedTimer sinceRead;
  thread_local QTime read;
  if (!sinceRead.isValid() || sinceRead.elapsed() >= 1000) {
    read = QTime::currentTime();
    sinceRead.start();
  }
  return read.addMSecs(static_cast<int>(sinceRead.elapsed()));
}

void TrafficHistory::record(TrafficDirection direction, const std::uint8_t* bytes,
                            std::size_t size) {
  const std::size_t slot = static_cast<std::size_t>(total_ % capacity_);
  if (slot == ring_.size()) ring_.emplace_back();
  Entry& entry = ring_[slot];
  entry.time = clock_();
  entry.direction = direction;
  // The slot's bytes keep their allocation: a full ring records without allocating.
  entry.bytes.assign(bytes, bytes + size);
  ++total_;
  if (forward_ != nullptr) forward_->record(direction, bytes, size);
}

void TrafficHistory::replay(std::uint64_t from, const Sink& sink) const {
  const std::uint64_t oldest = total_ > capacity_ ? total_ - capacity_ : 0;
  for (std::uint64_t n = std::max(from, oldest); n < total_; ++n) {
    const Entry& entry = ring_[static_cast<std::size_t>(n % capacity_)];
    sink(entry.time, entry.direction, entry.bytes);
  }
}

}  // namespace tarvik
