// SPDX-License-Identifier: MIT
#include "config/LoopSwap.h"

#include <utility>

namespace tarvik {

std::uint8_t LoopSwap::swapBits(std::uint8_t mask, int a, int b) {
  const bool bitA = (mask >> a) & 1U;
  const bool bitB = (mask >> b) & 1U;
  if (bitA == bitB) return mask;
  return static_cast<std::uint8_t>(mask ^ ((1U << a) | (1U << b)));
}

void LoopSwap::apply(int a, int b, PresetTables& tables, ConfigRecord& record, LoopLabels& labels) {
  if (a == b) return;
  // CC map entries: 0 is "-", loop n is entry n + 1.
  const int ccA = a + 1;
  const int ccB = b + 1;
  for (int row = 0; row < PresetTables::kRows; ++row) {
    tables.setMask(row, swapBits(tables.mask(row), a, b));
    if (tables.cc(row) == ccA) {
      tables.setCc(row, ccB);
    } else if (tables.cc(row) == ccB) {
      tables.setCc(row, ccA);
    }
  }
  record.muteMask = swapBits(record.muteMask, a, b);
  record.switchMask = swapBits(record.switchMask, a, b);
  record.lockMask = swapBits(record.lockMask, a, b);
  const QString labelA = labels.label(a);
  labels.setLabel(a, labels.label(b));
  labels.setLabel(b, labelA);
}

}  // namespace tarvik
