// SPDX-License-Identifier: MIT
#include "library/SetArrangement.h"

#include <QStringList>

namespace tarvik {
namespace {

QList<PresetRow> presetsOf(const SetList& setList) {
  QList<PresetRow> rows;
  for (const SetSong& song : setList.songs) rows.append(song.preset);
  return rows;
}

}  // namespace

PresetRows::Rows SetArrangement::overwritten(const PresetRows& presets, const SetList& setList) {
  PresetRows::Rows rows;
  const QList<PresetRow> arriving = presetsOf(setList);
  for (int row = 0; row < arriving.size() && row < kTableSize; ++row) {
    if (!(presets.row(row) == arriving[row])) rows.push_back(row);
  }
  return rows;
}

PresetRows::Rows SetArrangement::arrange(PresetRows& presets, const SetList& setList) {
  return presets.paste(0, presetsOf(setList));
}

QString SetArrangement::presetsText(const PresetRows& presets, const PresetRows::Rows& rows) {
  QStringList items;
  for (const int row : rows) {
    const QString& name = presets.row(row).name;
    items << (name.isEmpty() ? QString::number(row + 1) : tr("%1 (%2)").arg(row + 1).arg(name));
  }
  return items.join(QStringLiteral(", "));
}

}  // namespace tarvik
