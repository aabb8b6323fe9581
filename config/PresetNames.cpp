// SPDX-License-Identifier: MIT
#include "config/PresetNames.h"

#include "config/TvkFile.h"

namespace tarvik {
namespace {

const QByteArray kNamesSection = QByteArrayLiteral("names");

// "1".."128" written without leading zeros; 0 for anything else.
int presetNumber(const QByteArray& key) {
  bool ok = false;
  const int number = key.toInt(&ok);
  if (!ok || number < 1 || number > kTableSize || QByteArray::number(number) != key) return 0;
  return number;
}

}  // namespace

QString PresetNames::firstProblem() const {
  for (int row = 0; row < kTableSize; ++row) {
    if (const QString why = problem(name(row)); !why.isEmpty()) {
      return tr("the name of preset %1 %2").arg(QString::number(row + 1), why);
    }
  }
  return {};
}

QByteArray PresetNames::section() const {
  return NumberedTexts::section(kNamesSection,
                                [](int number) { return QByteArray::number(number); });
}

PresetNames::Read PresetNames::read(const QByteArray& text) {
  Read result;
  result.problem = TvkFile::readNumbered(
      text, kNamesSection, kTableSize, presetNumber,
      [](const QString& name) { return problem(UserText::cleaned(name)); },
      {tr("\"%1\" is not a preset number and a name"),
       tr("\"%1\" is not a preset number from 1 to %2"), tr("preset %1 is named twice"),
       tr("the name of preset %1 is not UTF-8 text"), tr("the name of preset %1 %2")},
      [&result](int number, const QString& name) {
        result.names.setName(number - 1, UserText::cleaned(name));
      });
  return result;
}

}  // namespace tarvik
