// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

#include "config/PresetRows.h"
#include "library/SetList.h"

namespace tarvik {

// A set in song order on the device: the songs' presets at presets 1, 2, 3 ... as the set lists
// them, so that a controller stepping program changes 1, 2, 3 walks the set. Each preset brings
// its loops and its PC remap entry and takes its song's name; the CC map, the settings and the
// presets after the set stay. The window and `tarvik-cli setlist arrange` both arrange through
// here.
class SetArrangement {
  Q_DECLARE_TR_FUNCTIONS(SetArrangement)

 public:
  // The rows (0-based) that arranging `setList` onto `presets` would change, ascending: what to
  // list before asking the user.
  static PresetRows::Rows overwritten(const PresetRows& presets, const SetList& setList);
  // Puts the songs' presets in place; returns the rows they now are.
  static PresetRows::Rows arrange(PresetRows& presets, const SetList& setList);

  // "1 (Clean), 2, 5 (Lead)": the rows as presets, each with its present name.
  static QString presetsText(const PresetRows& presets, const PresetRows::Rows& rows);
};

}  // namespace tarvik
