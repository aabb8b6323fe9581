// SPDX-License-Identifier: MIT
#include "config/ConfigDiff.h"

#include "config/DeviceBlocks.h"
#include "config/FullBackup.h"

namespace tarvik {
namespace {

// A table row's name on one side; settings have none.
QString nameOf(const DiffSide& side, Block block, int row) {
  return side.names && block != Block::Record ? side.names->name(row) : QString();
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
  for (Block block : {Block::Presets, Block::CcMap, Block::PcRemap, Block::Record}) {
    // Empty for settings a side does not hold.
    const QByteArray was = before.bytes[block];
    const QByteArray is = after.bytes[block];
    if (was.isEmpty() || is.isEmpty()) continue;
    for (int row = 0; row < was.size(); ++row) {
      if (was[row] == is[row]) continue;
      differences.append({block, row, std::uint8_t(was[row]), std::uint8_t(is[row]),
                          nameOf(before, block, row), nameOf(after, block, row)});
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
