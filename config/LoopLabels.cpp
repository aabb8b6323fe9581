// SPDX-License-Identifier: MIT
#include "config/LoopLabels.h"

#include <QList>
#include <algorithm>

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
  result.problem = TvkFile::readNumbered(
      text, kLoopsSection, kLoops, loopNumber, problem,
      {tr("\"%1\" is not a loop and a label"), tr("\"%1\" is not a loop from loop1 to loop%2"),
       tr("loop %1 is labelled twice"), tr("the label of loop %1 is not UTF-8 text"),
       tr("the label of loop %1 %2")},
      [&result](int loop, const QString& label) { result.labels.labels_[loop - 1] = label; });
  return result;
}

}  // namespace tarvik
