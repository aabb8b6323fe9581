// SPDX-License-Identifier: MIT
#include "library/SetArrangement.h"

#include <QStringList>

namespace tarvik {
namespace {

// A song's name as a preset name: a song name may be twice as long as a preset's, so a longer
// one keeps its start and ends in an ellipsis. Empty for a name that cannot be one even so.
QString presetNameOf(const QString& song) {
  if (PresetNames::problem(song).isEmpty()) return song;
  // The characters as the limit counts them: a pair of surrogates is one.
  qsizetype end = 0;
  for (int kept = 0; kept < PresetNames::kMaxLength - 1 && end < song.size(); ++kept)
    end += song.at(end).isHighSurrogate() && end + 1 < song.size() ? 2 : 1;
  const QString shortened = song.left(end).trimmed() + QChar(0x2026);
  return PresetNames::problem(shortened).isEmpty() ? shortened : QString();
}

// Each song's preset, named as the set names the song: arranged, the presets are the songs. A
// song name stored before the names' rules (one no preset name can be) leaves the preset's own.
QList<PresetRow> presetsOf(const SetList& setList) {
  QList<PresetRow> rows;
  for (const SetSong& song : setList.songs) {
    PresetRow preset = song.preset;
    if (const QString name = presetNameOf(song.name); !name.isEmpty()) preset.name = name;
    rows.append(preset);
  }
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
