// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarvik {

enum class TrafficDirection : std::uint8_t { In, Out };

// Sees every MIDI message the link sends or receives, on the link's thread, as it happens: what
// went out after the service took it, what came in before anyone acts on it, so that a reply
// is always listed before the commands it causes. The bytes are only valid during the call.
class TrafficTap {
 public:
  virtual void record(TrafficDirection direction, const std::uint8_t* bytes, std::size_t size) = 0;

 protected:
  ~TrafficTap() = default;
};

}  // namespace tarvik
