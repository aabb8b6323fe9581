// SPDX-License-Identifier: MIT
#include "config/LoopLabels.h"

#include <QList>
#include <QStringDecoder>
#include <algorithm>
#include <optional>

#include "config/TvkFile.h"

namespace tarvik {
namespace {

const QByteArray kLoopsSection = QByteArrayLiteral("loops");

bool refusedInLabel(uint c) {
  switch (QChar::category(static_cast<char32_t>(c))) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
      return true;
    default:
      return false;
  }
}

// "loop1".."loop8" in any letter case, as INI keys are; 0 for anything else.
int loopNumber(const QByteArray& key) {
  if (key.size() != 5 || !key.toLower().startsWith("loop")) return 0;
  const char digit = key.back();
  return digit >= '1' && digit <= '0' + LoopLabels::kLoops ? digit - '0' : 0;
}

}  // namespace

bool LoopLabels::isEmpty() const {
  return std::all_of(labels_.begin(), labels_.end(), [](const QString& l) { return l.isEmpty(); });
}

QString LoopLabels::heading(int loop) const {
  const QString device = tr("LOOP%1").arg(loop + 1);
  return labels_[loop].isEmpty() ? device : device + u'\n' + labels_[loop];
}

QString LoopLabels::item(int loop) const {
  return labels_[loop].isEmpty() ? tr("LOOP %1").arg(loop + 1)
                                 : tr("LOOP %1 (%2)").arg(loop + 1).arg(labels_[loop]);
}

QString LoopLabels::numbered(int loop) const {
  return labels_[loop].isEmpty() ? QString::number(loop + 1)
                                 : QStringLiteral("%1 (%2)").arg(loop + 1).arg(labels_[loop]);
}

QString LoopLabels::problem(const QString& label) {
  const QList<uint> characters = label.toUcs4();
  if (characters.size() > kMaxLength) {
    return tr("is longer than %1 characters").arg(kMaxLength);
  }
  if (std::any_of(characters.begin(), characters.end(), refusedInLabel)) {
    return tr("holds a control or format character or a line break");
  }
  if (!label.isEmpty() && (label.front().isSpace() || label.back().isSpace())) {
    return tr("starts or ends with a space");
  }
  return {};
}

QString LoopLabels::firstProblem() const {
  for (int loop = 0; loop < kLoops; ++loop) {
    if (const QString why = problem(labels_[loop]); !why.isEmpty()) {
      return tr("the label of loop %1 %2").arg(QString::number(loop + 1), why);
    }
  }
  return {};
}

QByteArray LoopLabels::section() const {
  if (isEmpty()) return {};
  QByteArray text = "[" + kLoopsSection + "]\r\n";
  for (int loop = 0; loop < kLoops; ++loop) {
    if (labels_[loop].isEmpty()) continue;
    text += "loop" + QByteArray::number(loop + 1) + '=' + labels_[loop].toUtf8() + "\r\n";
  }
  return text;
}

LoopLabels::Read LoopLabels::read(const QByteArray& text) {
  Read result;
  std::array<bool, kLoops> seen{};
  bool inSection = false;
  auto complain = [&result](const QString& why) {
    if (result.problem.isEmpty()) result.problem = QStringLiteral("[loops]: ") + why;
  };
  // The INI readers of the other sections stop at a NUL byte; so does this one.
  const QByteArray usable = text.left(text.indexOf('\0') < 0 ? text.size() : text.indexOf('\0'));
  for (const QByteArray& raw : usable.split('\n')) {
    const QByteArray line = raw.trimmed();
    if (const std::optional<QByteArray> section = TvkFile::sectionName(line)) {
      inSection = section->compare(kLoopsSection, Qt::CaseInsensitive) == 0;
      continue;
    }
    if (!inSection || line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
    const qsizetype equals = line.indexOf('=');
    if (equals < 0) {
      complain(tr("\"%1\" is not a loop and a label").arg(QString::fromUtf8(line)));
      continue;
    }
    const QByteArray key = line.left(equals).trimmed();
    const int number = loopNumber(key);
    if (number == 0) {
      complain(
          tr("\"%1\" is not a loop from loop1 to loop%2").arg(QString::fromUtf8(key)).arg(kLoops));
      continue;
    }
    if (seen[number - 1]) {
      complain(tr("loop %1 is labelled twice").arg(number));
      continue;
    }
    seen[number - 1] = true;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString label = utf8.decode(line.mid(equals + 1).trimmed());
    if (utf8.hasError()) {
      complain(tr("the label of loop %1 is not UTF-8 text").arg(number));
      continue;
    }
    if (const QString why = problem(label); !why.isEmpty()) {
      complain(tr("the label of loop %1 %2").arg(QString::number(number), why));
      continue;
    }
    result.labels.labels_[number - 1] = label;
  }
  return result;
}

}  // namespace tarvik
