// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "config/PresetNames.h"
#include "config/PresetTables.h"

namespace tarvik {

// What moves when a preset moves: its loops, the program change it sends on and its name. The
// CC map belongs to controller numbers, not to presets, and stays where it is.
struct PresetRow {
  std::uint8_t mask = 0;
  int pcRemap = -1;
  QString name;
  bool operator==(const PresetRow&) const = default;
};

// The presets of a configuration as rows that can be copied, moved and inserted. The order of
// the presets is the order in which a controller stepping program changes 1, 2, 3 walks them,
// so the table always keeps exactly 128 rows: an insert pushes the last rows off the end and a
// removal fills the end with empty rows.
//
// Each rearranging call takes the rows it acts on as a list of row numbers (any order, any
// repeats) and returns where the rows it placed now are, ascending, for the caller to select
// them again or to run the interlock rule on them.
class PresetRows {
 public:
  using Rows = std::vector<int>;

  PresetRows(const PresetTables& tables, const PresetNames& names);

  // The tables with the rows' loops and PC remap entries and the CC map as given; the names.
  PresetTables tables() const;
  PresetNames names() const;

  const PresetRow& row(int row) const { return rows_[row]; }
  QList<PresetRow> take(const Rows& rows) const;

  // Swaps two rows; nothing when they are the same.
  Rows swap(int a, int b);
  // Each row one place up (down); nothing when the first (last) row of the table is among them.
  Rows moveUp(const Rows& rows);
  Rows moveDown(const Rows& rows);
  // Takes row `from` out and puts it back so that it becomes row `to`.
  Rows move(int from, int to);
  // An empty row at `at`, pushing it and the rows below one place down.
  Rows insertEmpty(int at);
  // Takes the rows out; the rows below close up.
  Rows remove(const Rows& rows);
  // Copies of the rows, in their order, right below the last of them, pushing the rest down.
  Rows duplicate(const Rows& rows);
  // Writes `rows` over the rows from `at` on; what would run past the last row is dropped.
  Rows paste(int at, const QList<PresetRow>& rows);

  // The interlock rule for rows that arrive whole: of the group's loops only the lowest ticked
  // one stays ticked.
  void interlock(const Rows& rows, std::uint8_t lockMask);

 private:
  PresetTables tables_;
  std::array<PresetRow, kTableSize> rows_{};
};

}  // namespace tarvik
