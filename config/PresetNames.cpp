// SPDX-License-Identifier: MIT
#include "config/PresetNames.h"

#include <QList>
#include <algorithm>

#include "config/TvkFile.h"

namespace tarvik {
namespace {

const QByteArray kNamesSection = QByteArrayLiteral("names");

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

// "1".."128" written without leading zeros; 0 for anything else.
int presetNumber(const QByteArray& key) {
  bool ok = false;
  const int number = key.toInt(&ok);
  if (!ok || number < 1 || number > kTableSize || QByteArray::number(number) != key) return 0;
  return number;
}

}  // namespace

QString PresetNames::problem(const QString& name) {
  const QList<uint> characters = name.toUcs4();
  if (characters.size() > kMaxLength) {
    return tr("is longer than %1 characters").arg(kMaxLength);
  }
  if (std::any_of(characters.begin(), characters.end(), [](uint c) { return isControl(c); })) {
    return tr("holds a control character or a line break");
  }
  if (!name.isEmpty() && (name.front().isSpace() || name.back().isSpace())) {
    return tr("starts or ends with a space");
  }
  return {};
}

QString PresetNames::firstProblem() const {
  for (int row = 0; row < kTableSize; ++row) {
    if (const QString why = problem(names_[row]); !why.isEmpty()) {
      return tr("the name of preset %1 %2").arg(QString::number(row + 1), why);
    }
  }
  return {};
}

QByteArray PresetNames::section() const {
  if (isEmpty()) return {};
  QByteArray text = "[" + kNamesSection + "]\r\n";
  for (int row = 0; row < kTableSize; ++row) {
    if (names_[row].isEmpty()) continue;
    text += QByteArray::number(row + 1) + '=' + names_[row].toUtf8() + "\r\n";
  }
  return text;
}

PresetNames::Read PresetNames::read(const QByteArray& text) {
  Read result;
  result.problem = TvkFile::readNumbered(
      text, kNamesSection, kTableSize, presetNumber, problem,
      {tr("\"%1\" is not a preset number and a name"),
       tr("\"%1\" is not a preset number from 1 to %2"), tr("preset %1 is named twice"),
       tr("the name of preset %1 is not UTF-8 text"), tr("the name of preset %1 %2")},
      [&result](int number, const QString& name) { result.names.names_[number - 1] = name; });
  return result;
}

}  // namespace tarvik
