// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <vector>

// Wire bytes written out by hand in the tests, independent of the link library's builders.
namespace simtest {

using Bytes = std::vector<std::uint8_t>;

// The nibble frames of a whole command: marker, command byte, payload.
inline std::vector<Bytes> commandFrames(std::uint8_t command, const Bytes& payload = {}) {
  std::vector<Bytes> frames;
  auto add = [&frames](std::uint8_t value) {
    frames.push_back({0xF0, static_cast<std::uint8_t>(value >> 4),
                      static_cast<std::uint8_t>(value & 0x0F), 0xF7});
  };
  add(0xFF);
  add(command);
  for (std::uint8_t value : payload) add(value);
  return frames;
}

// F0, code, items as nibble pairs, F7.
inline Bytes replyFrame(std::uint8_t code, const Bytes& items = {}) {
  Bytes frame{0xF0, code};
  for (std::uint8_t item : items) {
    frame.push_back(static_cast<std::uint8_t>(item >> 4));
    frame.push_back(static_cast<std::uint8_t>(item & 0x0F));
  }
  frame.push_back(0xF7);
  return frame;
}

inline Bytes ramp(std::size_t count, std::uint8_t start = 0, std::uint8_t step = 1) {
  Bytes bytes(count);
  for (std::size_t i = 0; i < count; ++i)
    bytes[i] = static_cast<std::uint8_t>(start + step * i);
  return bytes;
}

}  // namespace simtest
