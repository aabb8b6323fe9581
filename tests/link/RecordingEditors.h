// SPDX-License-Identifier: MIT
#pragma once

#include "link/TransferView.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace tarvik::test {

// Editors whose contents the test sets and whose received tables the test reads back.
class RecordingEditors : public ConfigEditors {
 public:
  std::array<std::uint8_t, kTableSize> presets{};
  std::array<std::uint8_t, kTableSize> ccMap{};
  std::array<std::uint8_t, kTableSize> pcRemap{};
  std::array<std::uint8_t, kConfigRecordSize> record{};

  std::optional<std::array<std::uint8_t, kTableSize>> appliedPresets;
  std::optional<std::array<std::uint8_t, kTableSize>> appliedCcMap;
  std::optional<std::array<std::uint8_t, kTableSize>> appliedPcRemap;
  std::optional<std::array<std::uint8_t, kConfigRecordSize>> appliedRecord;

  std::array<std::uint8_t, kTableSize> presetPayload() const override { return presets; }
  std::array<std::uint8_t, kTableSize> ccMapPayload() const override { return ccMap; }
  std::array<std::uint8_t, kTableSize> pcRemapPayload() const override { return pcRemap; }
  std::array<std::uint8_t, kConfigRecordSize> configRecord() const override { return record; }

  void applyPresets(std::span<const std::uint8_t, kTableSize> items) override {
    appliedPresets = toArray(items);
  }
  void applyCcMap(std::span<const std::uint8_t, kTableSize> items) override {
    appliedCcMap = toArray(items);
  }
  void applyPcRemap(std::span<const std::uint8_t, kTableSize> items) override {
    appliedPcRemap = toArray(items);
  }
  void applyConfigRecord(std::span<const std::uint8_t, kConfigRecordSize> items) override {
    appliedRecord = toArray(items);
  }

 private:
  template <std::size_t N>
  static std::array<std::uint8_t, N> toArray(std::span<const std::uint8_t, N> items) {
    std::array<std::uint8_t, N> copy{};
    std::copy(items.begin(), items.end(), copy.begin());
    return copy;
  }
};

}  // namespace tarvik::test
