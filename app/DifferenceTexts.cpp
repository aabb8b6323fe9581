// SPDX-License-Identifier: MIT
#include "app/DifferenceTexts.h"

#include <QStringList>

#include "config/ui/SelectorItems.h"

namespace tarvik {
namespace {

QString selectorText(const QStringList& items, std::uint8_t byte) {
  if (byte < items.size()) return items[byte];
  if (byte == 0xFF) return DifferenceTexts::tr("no selection");
  return DifferenceTexts::tr("no selection (%1)").arg(hexByte(byte));
}

bool isLoopMask(int setting) {
  return ConfigDiff::rowName(Block::Record, setting).endsWith(QLatin1String("Mask"));
}

}  // namespace

QString DifferenceTexts::loopLabelsTitle() { return tr("Loop names"); }

QString DifferenceTexts::sideText(const Difference& difference, bool after,
                                  const LoopLabels& labels) {
  if (difference.loopLabel) {
    const QString& label = after ? difference.nameAfter : difference.nameBefore;
    return label.isEmpty() ? tr("no label") : label;
  }
  return value(difference, after ? difference.after : difference.before, labels);
}

QString DifferenceTexts::rowLabel(const Difference& difference) {
  if (difference.loopLabel) return LoopLabels().heading(difference.row);
  const QString row = ConfigDiff::rowName(difference.block, difference.row);
  if (difference.block == Block::Record) return row;
  const QString& before = difference.nameBefore;
  const QString& after = difference.nameAfter;
  QString name = before.isEmpty() ? after : before;
  if (!before.isEmpty() && !after.isEmpty() && before != after) {
    name = QStringLiteral("%1 / %2").arg(before, after);
  }
  return name.isEmpty() ? row : QStringLiteral("%1  %2").arg(row, name);
}

QString DifferenceTexts::loopSet(std::uint8_t mask, const LoopLabels& labels) {
  QStringList loops;
  for (int loop = 0; loop < LoopLabels::kLoops; ++loop) {
    if ((mask >> loop) & 1U) loops << labels.numbered(loop);
  }
  return loops.isEmpty() ? tr("no loop") : loops.join(QLatin1Char(' '));
}

QString DifferenceTexts::keptText(const BackupContents::Change& change) {
  const Difference difference{change.block, change.row, change.device, change.kept, {}, {}};
  const QString row = ConfigDiff::rowName(change.block, change.row);
  const QString where = change.block == Block::Record
                            ? row
                            : QStringLiteral("%1 %2").arg(blockTitle(change.block), row);
  return tr("%1: %2 kept by the Tarvik, sent as %3")
      .arg(where, value(difference, change.device), value(difference, change.kept));
}

QString DifferenceTexts::value(const Difference& difference, std::uint8_t byte,
                               const LoopLabels& labels) {
  switch (difference.block) {
    case Block::Presets:
      return loopSet(byte, labels);
    case Block::CcMap:
      // Item 0 is "-"; items 1..8 are the loops.
      if (byte >= 1 && byte <= LoopLabels::kLoops) return labels.item(byte - 1);
      return selectorText(SelectorItems::loops(), byte);
    case Block::PcRemap:
      return selectorText(SelectorItems::programs(), byte);
    case Block::Record:
      break;
  }
  return isLoopMask(difference.row) ? loopSet(byte, labels) : QString::number(byte);
}

}  // namespace tarvik
