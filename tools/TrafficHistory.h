// SPDX-License-Identifier: MIT
#pragma once

#include <QTime>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "link/TrafficTap.h"

namespace tarvik {

// The link's tap for the whole run: keeps the last `capacity` messages, so that a traffic view
// opened late still lists what went over the wire before it, and hands every message on to the
// view while one is attached. Recording costs a time stamp and a copy of the bytes into a slot
// that is reused; nothing is formatted here.
class TrafficHistory : public TrafficTap {
 public:
  static constexpr std::size_t kCapacity = 2000;
  using Sink =
      std::function<void(QTime time, TrafficDirection direction, std::span<const std::uint8_t>)>;

  explicit TrafficHistory(std::size_t capacity = kCapacity);

  void record(TrafficDirection direction, const std::uint8_t* bytes, std::size_t size) override;

  // How many messages were ever recorded, also those no longer kept: a view remembers this
  // number to be handed only what came after it.
  std::uint64_t total() const { return total_; }
  // Every kept message numbered `from` (counting from 0) or later, oldest first.
  void replay(std::uint64_t from, const Sink& sink) const;

  // Every message from now on also goes to `tap`; nullptr detaches it.
  void setForward(TrafficTap* tap) { forward_ = tap; }
  TrafficTap* forward() const { return forward_; }

  // The local time of day, as the traffic's time stamps default to it. The link stamps every
  // frame, one a byte of a table, and QTime::currentTime() has the C library look at the time
  // zone file each time, which was most of what a frame cost: the local time is read once a
  // second and the monotonic clock, which needs no system call, counts on from it.
  static QTime now();

  // Where time stamps come from (local time by default); tests pin it.
  void setClock(std::function<QTime()> clock) { clock_ = std::move(clock); }

 private:
  struct Entry {
    QTime time;
    TrafficDirection direction = TrafficDirection::Out;
    std::vector<std::uint8_t> bytes;
  };

  std::vector<Entry> ring_;  // message n is in slot n % capacity
  std::size_t capacity_;
  std::uint64_t total_ = 0;
  TrafficTap* forward_ = nullptr;
  std::function<QTime()> clock_;
};

}  // namespace tarvik
