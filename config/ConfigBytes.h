// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "config/ConfigRecord.h"
#include "config/DeviceBlocks.h"
#include "config/PresetTables.h"

namespace tarvik {

// The four blocks the device keeps, as the bytes that travel, in the one form the program keeps
// them in everywhere: as a backup file holds them, the device's bytes through the editors' rules
// (BackupContents), which is exactly what a restore sends and verifies. The library stores this
// form for a setup or a snapshot, and a comparison compares it: a value the editors cannot keep
// (a CC entry of 200, a debounce time of 255) is never stored, so that nothing stored differs
// from what sending it leaves on the device.
struct ConfigBytes {
  using Table = std::array<std::uint8_t, kTableSize>;
  using Settings = std::array<std::uint8_t, kConfigRecordSize>;

  Table presets{};
  Table ccMap{};
  Table pcRemap{};
  std::optional<Settings> settings;  // empty for a setup of the three tables alone

  // The wire bytes of the editors' tables, and the settings as they would be sent.
  static ConfigBytes fromTables(const PresetTables& tables,
                                const std::optional<Settings>& settings = std::nullopt);
  // The configuration's blocks exactly as they would be sent, hidden values and all.
  static ConfigBytes sent(const Configuration& configuration);
  // The blocks the device sent, byte for byte; a block that has not come reads as zeros.
  static ConfigBytes raw(const DeviceBlocks& device);
  // The blocks the device sent or confirmed, in this form; `device` must be complete().
  // BackupContents names every byte that the form changes.
  static ConfigBytes fromDevice(const DeviceBlocks& device) { return raw(device).kept(); }
  // One block's bytes; empty for settings that are not there.
  QByteArray operator[](Block block) const;
  // The tables as a download puts them into the editors.
  PresetTables tables() const;
  // Any bytes (a library written before the form was kept, say) in this form; bytes already in
  // it come back unchanged.
  ConfigBytes kept() const;
  // Settings as a record of their own sends them: out-of-range values clamped or fallen back,
  // the three CC-message items 0 unless the Pin-20 function is "CC Message".
  static Settings keptSettings(const Settings& settings);

  bool operator==(const ConfigBytes&) const = default;
};

}  // namespace tarvik
