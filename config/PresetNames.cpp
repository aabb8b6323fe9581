// SPDX-License-Identifier: MIT
#include "config/PresetNames.h"

#include <QList>
#include <QStringDecoder>
#include <algorithm>
#include <optional>

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

bool PresetNames::isEmpty() const {
  return std::all_of(names_.begin(), names_.end(), [](const QString& n) { return n.isEmpty(); });
}

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
  std::array<bool, kTableSize> seen{};
  bool inSection = false;
  auto complain = [&result](const QString& why) {
    if (result.problem.isEmpty()) result.problem = QStringLiteral("[names]: ") + why;
  };
  // The INI readers of the other sections stop at a NUL byte; so does this one.
  const QByteArray usable = text.left(text.indexOf('\0') < 0 ? text.size() : text.indexOf('\0'));
  for (const QByteArray& raw : usable.split('\n')) {
    const QByteArray line = raw.trimmed();
    if (const std::optional<QByteArray> section = TvkFile::sectionName(line)) {
      inSection = section->compare(kNamesSection, Qt::CaseInsensitive) == 0;
      continue;
    }
    if (!inSection || line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
    const qsizetype equals = line.indexOf('=');
    if (equals < 0) {
      complain(tr("\"%1\" is not a preset number and a name").arg(QString::fromUtf8(line)));
      continue;
    }
    const QByteArray key = line.left(equals).trimmed();
    const int number = presetNumber(key);
    if (number == 0) {
      complain(tr("\"%1\" is not a preset number from 1 to %2")
                   .arg(QString::fromUtf8(key))
                   .arg(kTableSize));
      continue;
    }
    if (seen[number - 1]) {
      complain(tr("preset %1 is named twice").arg(number));
      continue;
    }
    seen[number - 1] = true;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString name = utf8.decode(line.mid(equals + 1).trimmed());
    if (utf8.hasError()) {
      complain(tr("the name of preset %1 is not UTF-8 text").arg(number));
      continue;
    }
    if (const QString why = problem(name); !why.isEmpty()) {
      complain(tr("the name of preset %1 %2").arg(QString::number(number), why));
      continue;
    }
    result.names.names_[number - 1] = name;
  }
  return result;
}

}  // namespace tarvik
