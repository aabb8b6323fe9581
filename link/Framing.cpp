// SPDX-License-Identifier: MIT
#include "link/Framing.h"

namespace tarvik {

namespace {
constexpr std::uint8_t kSysExStart = 0xF0;
constexpr std::uint8_t kSysExEnd = 0xF7;
}  // namespace

std::array<std::uint8_t, 4> nibbleFrame(std::uint8_t value) {
  return {kSysExStart, static_cast<std::uint8_t>(value >> 4),
          static_cast<std::uint8_t>(value & 0x0F), kSysExEnd};
}

std::uint8_t DecodeItem(std::span<const std::uint8_t> frame, int i) {
  const auto at = static_cast<std::size_t>(2 + 2 * i);
  // The device never sets bits above the nibble, but the low byte is taken as it comes: a
  // stray high bit in it ends up in the item rather than being masked away.
  return static_cast<std::uint8_t>((frame[at] << 4) | frame[at + 1]);
}

int itemCount(std::size_t frameLength) { return static_cast<int>(frameLength / 2) - 1; }

std::optional<Reply> parseReply(std::span<const std::uint8_t> frame) {
  if (frame.size() < 2 || frame[0] != kSysExStart) {
    return std::nullopt;
  }
  const std::uint8_t code = frame[1];
  const std::optional<int> wanted = itemsRead(code);
  if (!wanted) {
    return std::nullopt;
  }
  // A truncated reply would make us read past what the device sent; such a frame is no reply.
  if (frame.size() < 2 + 2 * static_cast<std::size_t>(*wanted)) {
    return std::nullopt;
  }
  Reply reply;
  reply.code = code;
  reply.frameLength = frame.size();
  reply.items.reserve(static_cast<std::size_t>(*wanted));
  for (int i = 0; i < *wanted; ++i) {
    reply.items.push_back(DecodeItem(frame, i));
  }
  return reply;
}

std::vector<std::uint8_t> buildReplyFrame(std::uint8_t code, std::span<const std::uint8_t> items) {
  std::vector<std::uint8_t> frame;
  frame.reserve(3 + 2 * items.size());
  frame.push_back(kSysExStart);
  frame.push_back(code);
  for (std::uint8_t item : items) {
    frame.push_back(static_cast<std::uint8_t>(item >> 4));
    frame.push_back(static_cast<std::uint8_t>(item & 0x0F));
  }
  frame.push_back(kSysExEnd);
  return frame;
}

void sendCommand(LinkPort& port, Command command, std::span<const std::uint8_t> payload) {
  port.SendByte(kCommandMarker);
  port.SendByte(static_cast<std::uint8_t>(command));
  for (std::uint8_t value : payload) {
    port.SendByte(value);
  }
}

}  // namespace tarvik
