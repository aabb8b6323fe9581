// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace tarvik {

// What the simulated bootloader has been given, for tests and the log.
struct FlashImage {
  using Page = std::array<std::uint8_t, 128>;
  // Page contents by page number, as last uploaded.
  std::map<int, Page> pages;
  // Page numbers in the order the uploads arrived (repeats included).
  std::vector<int> uploadOrder;
  bool bootloaderEntered = false;
  bool bootloaderLeft = false;
  bool writtenToFlash = false;
};

}  // namespace tarvik
