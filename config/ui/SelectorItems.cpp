// SPDX-License-Identifier: MIT
#include "config/ui/SelectorItems.h"

namespace tarvik {

QStringList SelectorItems::numbers(int first, int count) {
  QStringList items;
  items.reserve(count);
  for (int i = 0; i < count; ++i) {
    items << QString::number(first + i);
  }
  return items;
}

QStringList SelectorItems::programs() {
  // Made once, in the language installed before the first selector was built.
  static const QStringList items = numbers(1, 128) << tr("none");
  return items;
}

QStringList SelectorItems::loops() {
  static const QStringList items = [] {
    QStringList list{QStringLiteral("-")};
    for (int loop = 1; loop <= 8; ++loop) {
      list << tr("LOOP %1").arg(loop);
    }
    return list;
  }();
  return items;
}

QStringList SelectorItems::loops(const LoopLabels& labels) {
  if (labels.isEmpty()) return loops();
  QStringList list{QStringLiteral("-")};
  for (int loop = 0; loop < LoopLabels::kLoops; ++loop) list << labels.item(loop);
  return list;
}

QStringList SelectorItems::magicFunctions() {
  return {tr("none"), tr("Master Bypass"), tr("CC Message"), tr("Kemper TapTempo")};
}

}  // namespace tarvik
