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
  static const QStringList items = numbers(1, 128) << QStringLiteral("none");
  return items;
}

QStringList SelectorItems::loops() {
  static const QStringList items = [] {
    QStringList list{QStringLiteral("-")};
    for (int loop = 1; loop <= 8; ++loop) {
      list << QStringLiteral("LOOP %1").arg(loop);
    }
    return list;
  }();
  return items;
}

QStringList SelectorItems::magicFunctions() {
  return {QStringLiteral("none"), QStringLiteral("Master Bypass"), QStringLiteral("CC Message"),
          QStringLiteral("Kemper TapTempo")};
}

}  // namespace tarvik
