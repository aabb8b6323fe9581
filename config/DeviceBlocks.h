// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <span>

#include "config/Configuration.h"

namespace tarvik {

// "presets", "CC map", "PC remap table", "settings": how the user reads of a block.
QString blockName(Block block);
// "Presets", "CC map", "PC remap", "Settings": a block as a heading.
QString blockTitle(Block block);
// "presets", "ccmap", "pcremap", "settings": a block in the lines scripts read, never translated.
QString blockKey(Block block);

// Wire bytes as the byte array the blocks are compared and kept in.
template <std::size_t N>
QByteArray bytesOf(std::span<const std::uint8_t, N> items) {
  return QByteArray(reinterpret_cast<const char*>(items.data()), static_cast<qsizetype>(N));
}
template <std::size_t N>
QByteArray bytesOf(const std::array<std::uint8_t, N>& items) {
  return bytesOf(std::span<const std::uint8_t, N>(items));
}

// "0x0A": a wire byte as the program's messages show it.
QString hexByte(std::uint8_t value);

// The four blocks as the device sent them, byte for byte, before any of the program's clamps.
// A block that has not come is empty.
class DeviceBlocks {
 public:
  const QByteArray& operator[](Block block) const { return bytes_[slot(block)]; }
  // Takes `bytes` when they are exactly the block's size; anything else leaves the block empty.
  void set(Block block, const QByteArray& bytes);
  bool has(Block block) const { return !bytes_[slot(block)].isEmpty(); }
  // All four blocks are there.
  bool complete() const;
  bool operator==(const DeviceBlocks&) const = default;

 private:
  static constexpr std::size_t slot(Block block) { return static_cast<std::size_t>(block); }
  std::array<QByteArray, 4> bytes_;
};

}  // namespace tarvik
