// SPDX-License-Identifier: MIT
#include "config/ConfigDiff.h"

#include "config/DeviceBlocks.h"
#include "config/FullBackup.h"

namespace tarvik {
namespace {

QString nameOf(const std::optional<PresetNames>& names, int row) {
  return names ? names->name(row) : QString();
}

void compareTable(Block block, const ConfigBytes::Table& before, const ConfigBytes::Table& after,
                  const DiffSide& sideBefore, const DiffSide& sideAfter,
                  QList<Difference>& differences) {
  for (int row = 0; row < kTableSize; ++row) {
    if (before[row] == after[row]) continue;
    differences.append({block, row, before[row], after[row], nameOf(sideBefore.names, row),
                        nameOf(sideAfter.names, row)});
  }
}

}  // namespace

QString Difference::line() const {
  if (loopLabel) {
    // Quoted: a label may hold spaces, and no label is an empty one.
    return QStringLiteral("loops %1: \"%2\" -> \"%3\"").arg(row + 1).arg(nameBefore, nameAfter);
  }
  return QStringLiteral("%1 %2: %3 -> %4")
      .arg(blockKey(block), ConfigDiff::rowName(block, row), hexByte(before), hexByte(after));
}

QList<Difference> ConfigDiff::compare(const DiffSide& before, const DiffSide& after) {
  QList<Difference> differences;
  compareTable(Block::Presets, before.bytes.presets, after.bytes.presets, before, after,
               differences);
  compareTable(Block::CcMap, before.bytes.ccMap, after.bytes.ccMap, before, after, differences);
  compareTable(Block::PcRemap, before.bytes.pcRemap, after.bytes.pcRemap, before, after,
               differences);
  if (before.bytes.settings && after.bytes.settings) {
    for (int i = 0; i < kConfigRecordSize; ++i) {
      const std::uint8_t was = (*before.bytes.settings)[i];
      const std::uint8_t is = (*after.bytes.settings)[i];
      if (was != is) differences.append({Block::Record, i, was, is, {}, {}});
    }
  }
  if (before.labels && after.labels) {
    for (int loop = 0; loop < LoopLabels::kLoops; ++loop) {
      const QString& was = before.labels->label(loop);
      const QString& is = after.labels->label(loop);
      if (was != is) differences.append({Block::Record, loop, 0, 0, was, is, true});
    }
  }
  return differences;
}

QStringList ConfigDiff::lines(const DiffSide& before, const DiffSide& after) {
  QStringList lines;
  for (const Difference& difference : compare(before, after)) lines.append(difference.line());
  return lines;
}

QString ConfigDiff::rowName(Block block, int row) {
  if (block == Block::Record) return QLatin1String(FullBackup::kSettingKeys[row]);
  return QString::number(row + 1);
}

}  // namespace tarvik
