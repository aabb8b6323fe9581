// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "config/ConfigRecord.h"
#include "config/DeviceBlocks.h"
#include "config/PresetTables.h"

namespace tarvik {

// The four blocks the device keeps, as the bytes that travel: what the library stores for a
// setup or a snapshot and what a comparison compares. Bytes taken from the device stay exactly
// as received; the clamps of the editors apply only in tables(), where the values go into them.
struct ConfigBytes {
  using Table = std::array<std::uint8_t, kTableSize>;
  using Settings = std::array<std::uint8_t, kConfigRecordSize>;

  Table presets{};
  Table ccMap{};
  Table pcRemap{};
  std::optional<Settings> settings;  // empty for a setup of the three tables alone

  // The wire bytes of the editors' tables.
  static ConfigBytes fromTables(const PresetTables& tables,
                                const std::optional<Settings>& settings = std::nullopt);
  // The blocks exactly as the device sent or confirmed them; `device` must be complete().
  static ConfigBytes fromDevice(const DeviceBlocks& device);
  // The tables as a download puts them into the editors.
  PresetTables tables() const;

  bool operator==(const ConfigBytes&) const = default;
};

}  // namespace tarvik
