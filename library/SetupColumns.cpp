// SPDX-License-Identifier: MIT
#include "library/SetupColumns.h"

#include <QStringList>
#include <algorithm>

#include "library/Sql.h"

namespace tarvik {
namespace {

QString codePoint(uint c) {
  return QStringLiteral("U+%1").arg(c, 4, 16, QLatin1Char('0')).toUpper();
}

// What a name may not hold: a line break or another control character, a character that is
// not seen or turns the writing direction (U+200B, U+202E: two names that look the same, or a
// name shown backwards) and every separator but the plain space.
bool refusedInName(uint c) {
  if (c == u' ') return false;
  switch (QChar::category(static_cast<char32_t>(c))) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
      return true;
    default:
      return false;
  }
}

// The name with what it may not hold written out, so that the message shows where it is and
// reads in its own direction.
QString shown(const QList<uint>& characters) {
  QString text;
  for (const uint c : characters) {
    const char32_t character = c;
    text += refusedInName(c) ? QLatin1Char('<') + codePoint(c) + QLatin1Char('>')
                             : QString::fromUcs4(&character, 1);
  }
  return text;
}

// The texts one per line up to the last one there is (texts hold no line breaks), or NULL when
// there is none.
template <class Texts>
QVariant packed(const Texts& texts) {
  int last = Texts::kCount - 1;
  while (last >= 0 && texts.text(last).isEmpty()) --last;
  if (last < 0) return QVariant(QMetaType::fromType<QString>());
  QStringList lines;
  for (int index = 0; index <= last; ++index) lines.append(texts.text(index));
  return lines.join(u'\n');
}

// Each line through `stored`; nothing when the column holds more lines than there are texts.
template <class Texts>
std::optional<Texts> unpacked(const QVariant& column, QString (*stored)(const QString&)) {
  Texts texts;
  if (column.isNull()) return texts;
  const QStringList lines = column.toString().split(u'\n');
  if (lines.size() > Texts::kCount) return std::nullopt;
  for (int index = 0; index < lines.size(); ++index) texts.setText(index, stored(lines[index]));
  return texts;
}

}  // namespace

QString SetupColumns::search(const QString& name, const QString& note) {
  return name.toCaseFolded() + u'\n' + note.toCaseFolded();
}

QVariant SetupColumns::packNames(const PresetNames& names) { return packed(names); }

std::optional<PresetNames> SetupColumns::unpackNames(const QVariant& column) {
  // A library of an earlier version holds names under the rule of its day.
  return unpacked<PresetNames>(column, UserText::cleaned);
}

QVariant SetupColumns::packLabels(const LoopLabels& labels) { return packed(labels); }

std::optional<LoopLabels> SetupColumns::unpackLabels(const QVariant& column) {
  return unpacked<LoopLabels>(column, [](const QString& label) { return label; });
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
  return bytes.settings ? QVariant(bytesOf(*bytes.settings))
                        : QVariant(QMetaType::fromType<QByteArray>());
}

QDateTime SetupColumns::time(const QVariant& column) {
  return QDateTime::fromMSecsSinceEpoch(column.toLongLong(), Qt::UTC);
}

QString SetupColumns::nameProblem(const QString& name) {
  if (name.isEmpty()) return tr("a setup needs a name");
  const QList<uint> characters = name.toUcs4();
  if (characters.size() > kMaxNameLength) {
    return tr("the name is %1 characters long; a setup name has at most %2")
        .arg(characters.size())
        .arg(kMaxNameLength);
  }
  const auto first = std::find_if(characters.begin(), characters.end(), refusedInName);
  if (first != characters.end()) {
    return tr("the name \"%1\" holds %2, a control, format or separator character (a line "
              "break, a character that cannot be seen or one that turns the writing direction)")
        .arg(shown(characters), codePoint(*first));
  }
  if (name.front().isSpace() || name.back().isSpace()) {
    return tr("the name \"%1\" starts or ends with a space").arg(name);
  }
  return {};
}

}  // namespace tarvik
