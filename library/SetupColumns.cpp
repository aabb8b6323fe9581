// SPDX-License-Identifier: MIT
#include "library/SetupColumns.h"

#include <QStringList>
#include <algorithm>

#include "library/Sql.h"

namespace tarvik {

QString SetupColumns::search(const QString& name, const QString& note) {
  return name.toCaseFolded() + u'\n' + note.toCaseFolded();
}

QVariant SetupColumns::packNames(const PresetNames& names) {
  int last = kTableSize - 1;
  while (last >= 0 && names.name(last).isEmpty()) --last;
  if (last < 0) return QVariant(QMetaType::fromType<QString>());
  QStringList lines;
  for (int row = 0; row <= last; ++row) lines.append(names.name(row));
  return lines.join(u'\n');
}

std::optional<PresetNames> SetupColumns::unpackNames(const QVariant& column) {
  PresetNames names;
  if (column.isNull()) return names;
  const QStringList lines = column.toString().split(u'\n');
  if (lines.size() > kTableSize) return std::nullopt;
  for (int row = 0; row < lines.size(); ++row) names.setName(row, lines[row]);
  return names;
}

std::optional<ConfigBytes> SetupColumns::bytes(const QVariant& presets, const QVariant& ccMap,
                                               const QVariant& pcRemap, const QVariant& settings) {
  const auto presetBytes = sql::bytesOf<kTableSize>(presets);
  const auto ccBytes = sql::bytesOf<kTableSize>(ccMap);
  const auto pcBytes = sql::bytesOf<kTableSize>(pcRemap);
  if (!presetBytes || !ccBytes || !pcBytes) return std::nullopt;
  ConfigBytes result{*presetBytes, *ccBytes, *pcBytes, std::nullopt};
  if (!settings.isNull()) {
    result.settings = sql::bytesOf<kConfigRecordSize>(settings);
    if (!result.settings) return std::nullopt;
  }
  // A library of an earlier version holds the device's bytes as it sent them.
  return result.kept();
}

QVariant SetupColumns::settingsColumn(const ConfigBytes& bytes) {
  return bytes.settings ? QVariant(sql::blob(*bytes.settings))
                        : QVariant(QMetaType::fromType<QByteArray>());
}

QDateTime SetupColumns::time(const QVariant& column) {
  return QDateTime::fromMSecsSinceEpoch(column.toLongLong(), Qt::UTC);
}

QString SetupColumns::nameProblem(const QString& name) {
  if (name.isEmpty()) return tr("a setup needs a name");
  const QList<uint> characters = name.toUcs4();
  if (std::any_of(characters.begin(), characters.end(),
                  [](uint c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); })) {
    return tr("the name \"%1\" holds a control character or a line break").arg(name.simplified());
  }
  if (name.front().isSpace() || name.back().isSpace()) {
    return tr("the name \"%1\" starts or ends with a space").arg(name);
  }
  return {};
}

}  // namespace tarvik
