// SPDX-License-Identifier: MIT
#include "tools/TrafficMeaning.h"

#include "config/LoopLabels.h"
#include "config/PresetNames.h"
#include "config/PresetTables.h"

namespace tarvik {

QString TrafficMeaning::of(std::span<const std::uint8_t> bytes, const PresetTables& tables,
                           const PresetNames& names, const LoopLabels& labels) {
  if (bytes.size() == 2 && (bytes[0] & 0xF0) == 0xC0 && bytes[1] < kTableSize) {
    const int row = bytes[1];
    const QString& name = names.name(row);
    return name.isEmpty() ? tr("preset %1").arg(row + 1)
                          : tr("preset %1 \"%2\"").arg(row + 1).arg(name);
  }
  if (bytes.size() == 3 && (bytes[0] & 0xF0) == 0xB0 && bytes[1] < kTableSize) {
    // The CC map's entry: 0 is no loop, 1..8 the loops; anything else the device ignores.
    const int loop = tables.cc(bytes[1]);
    if (loop < 1 || loop > LoopLabels::kLoops) return tr("CC %1: no loop").arg(bytes[1]);
    return tr("CC %1: %2").arg(bytes[1]).arg(labels.item(loop - 1));
  }
  return {};
}

}  // namespace tarvik
