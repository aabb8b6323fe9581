// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tarvik {

// Everything the device keeps between commands: the three tables and the configuration record,
// each as the bytes that travel on the wire.
struct TarvikContents {
  std::array<std::uint8_t, 128> presets{};
  std::array<std::uint8_t, 128> ccMap{};
  std::array<std::uint8_t, 128> pcRemap{};
  std::array<std::uint8_t, 20> configRecord{};

  // What a device fresh from the workshop holds: no loops on, no CC loops, identity program
  // remap, 90 ms debounce, momentary on time 100 ms, both "none" items at 255.
  static TarvikContents factory();
  // Pseudo-random contents that stay within every editor's range, the same for the same seed on
  // every platform.
  static TarvikContents fromSeed(std::uint32_t seed);
  // The three tables of a configuration file (.tvk), read by the configurator's own reader
  // (TvkFile::load: missing values take its defaults, an index outside a selector is no
  // selection). The record stays as in base. Throws std::runtime_error with the reader's text
  // when it refuses the file.
  static TarvikContents withTvkFile(const std::string& path, const TarvikContents& base);

  bool operator==(const TarvikContents&) const = default;
};

}  // namespace tarvik
