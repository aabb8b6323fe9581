// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "config/BackupContents.h"
#include "config/ConfigBytes.h"
#include "config/Configuration.h"
#include "config/LoopLabels.h"
#include "config/PresetNames.h"

namespace tarvik {

// One side of a comparison: a setup, a snapshot or what the editors hold.
struct DiffSide {
  ConfigBytes bytes;
  std::optional<PresetNames> names;  // only to label the rows; names are not compared
  // For the device: the values it holds that `bytes` keeps otherwise. They are no difference
  // anyone made, so they are not compared, only said.
  std::vector<BackupContents::Change> keptOtherwise;
  // The loops' labels; none for the device and its snapshots, which never hold them.
  std::optional<LoopLabels> labels = std::nullopt;
};

// One byte that differs. For a table `row` is the row index (0..127), for the settings
// (Block::Record) the index of the byte in wire order.
struct Difference {
  Block block = Block::Presets;
  int row = 0;
  std::uint8_t before = 0;
  std::uint8_t after = 0;
  // The preset's name on each side, for a table row of a side that has names.
  QString nameBefore;
  QString nameAfter;
  // A loop's label differs: `row` is the loop (0..7), the names are the labels, the bytes 0.
  bool loopLabel = false;

  // "presets 5: 0x03 -> 0x07", "settings debounceTime: 0x5A -> 0x10", "loops 3: "Fuzz" ->
  // "Delay"".
  QString line() const;
  bool operator==(const Difference&) const = default;
};

// Compares the bytes of two sides, block by block in the order presets, CC map, PC remap,
// settings, and row by row within a block, then the loops' labels. The settings are compared
// only when both sides hold them: a setup of the tables alone says nothing about the device's
// settings. So are the labels: the device holds none, and has no name for its loops.
class ConfigDiff {
 public:
  static QList<Difference> compare(const DiffSide& before, const DiffSide& after);
  static QStringList lines(const DiffSide& before, const DiffSide& after);

  // "1".."128" for a table row, the backup file's key ("debounceTime") for a setting.
  static QString rowName(Block block, int row);
};

}  // namespace tarvik
