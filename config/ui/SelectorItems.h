// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QStringList>

#include "config/LoopLabels.h"

namespace tarvik {

// Item texts of the drop-down lists shared by the advanced settings and the preset matrix.
class SelectorItems {
  Q_DECLARE_TR_FUNCTIONS(SelectorItems)

 public:
  // "first" .. "first + count - 1"
  static QStringList numbers(int first, int count);
  // "1".."128", then "none": program selectors and the expression pedal controller.
  static QStringList programs();
  // "-", "LOOP 1".."LOOP 8": the loop a CC entry switches.
  static QStringList loops();
  // The same with the loops' labels: "LOOP 3 (Delay)".
  static QStringList loops(const LoopLabels& labels);
  static QStringList magicFunctions();
};

}  // namespace tarvik
