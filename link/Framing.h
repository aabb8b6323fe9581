// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "link/Catalogue.h"

namespace tarvik {

// One byte to the device travels alone as F0, high nibble, low nibble, F7.
std::array<std::uint8_t, 4> nibbleFrame(std::uint8_t value);

// Reply item i: (frame[2 + 2i] << 4) | frame[3 + 2i], cut to eight bits. The low-nibble byte is
// OR-ed in unmasked. The caller makes sure the frame holds those two bytes.
std::uint8_t DecodeItem(std::span<const std::uint8_t> frame, int i);

// The item count a frame of this length reports: (length div 2) - 1.
int itemCount(std::size_t frameLength);

// A reply the program acts on: starts with F0, carries a catalogued response code and is long
// enough for the items of that code. Anything else is dropped without a trace.
struct Reply {
  std::uint8_t code = 0;
  std::vector<std::uint8_t> items;  // exactly itemsRead(code) items
  std::size_t frameLength = 0;
};
std::optional<Reply> parseReply(std::span<const std::uint8_t> frame);

// Builds a reply frame: F0, code, each item as a nibble pair, F7 (device side, tests, simulator).
std::vector<std::uint8_t> buildReplyFrame(std::uint8_t code, std::span<const std::uint8_t> items);

// Where bytes for the device go. SendByte sends one nibble frame to the output port selected at
// that moment and raises TMidiError on failure. A port just opened takes bytes at once: the MIDI
// layer keeps them until its connection carries.
class LinkPort {
 public:
  virtual ~LinkPort() = default;
  virtual void SendByte(std::uint8_t value) = 0;
};

// Marker, command byte and payload, each as its own frame, back to back.
void sendCommand(LinkPort& port, Command command, std::span<const std::uint8_t> payload = {});

}  // namespace tarvik
