// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>
#include <cstdint>
#include <vector>

#include "config/DeviceBlocks.h"
#include "config/FullBackup.h"

namespace tarvik {

// What a backup keeps of the device: its four blocks applied by the same rules that the editors
// apply a download with (a CC map entry outside the selector's items becomes "no selection", a
// debounce time of 255 becomes 254, ...), so that the file restores as the program would send
// it. Those rules change a few bytes a device may hold; every such byte is listed, so that no
// backup differs from the device silently.
struct BackupContents {
  Q_DECLARE_TR_FUNCTIONS(BackupContents)

 public:
  // One byte the rules changed: `row` is the table row (0..127, the file's section) or the
  // settings byte (0..19). Its texts count table rows from 1, as the matrix shows them.
  struct Change {
    Block block = Block::Presets;
    int row = 0;
    std::uint8_t device = 0;
    std::uint8_t kept = 0;
    bool operator==(const Change&) const = default;
  };

  PresetTables tables;
  FullBackup::Settings settings{};
  std::vector<Change> changes;

  // `device` must be complete().
  static BackupContents fromDevice(const DeviceBlocks& device);
  // "CC map row 5: Tarvik holds 0xC8, the backup keeps 0xFF" for `row` 4; a setting by its key.
  static QString changeText(const Change& change);
};

}  // namespace tarvik
