// SPDX-License-Identifier: MIT
#include "config/LoopLabels.h"

#include "config/TvkFile.h"

namespace tarvik {
namespace {

const QByteArray kLoopsSection = QByteArrayLiteral("loops");

// "loop1".."loop8" in any letter case, as INI keys are; 0 for anything else.
int loopNumber(const QByteArray& key) {
  if (key.size() != 5 || !key.toLower().startsWith("loop")) return 0;
  const char digit = key.back();
  return digit >= '1' && digit <= '0' + LoopLabels::kLoops ? digit - '0' : 0;
}

}  // namespace

QString LoopLabels::heading(int loop) const {
  const QString device = tr("LOOP%1").arg(loop + 1);
  return label(loop).isEmpty() ? device : device + u'\n' + label(loop);
}

QString LoopLabels::item(int loop) const {
  return label(loop).isEmpty() ? tr("LOOP %1").arg(loop + 1)
                               : tr("LOOP %1 (%2)").arg(loop + 1).arg(label(loop));
}

QString LoopLabels::numbered(int loop) const {
  return label(loop).isEmpty() ? QString::number(loop + 1)
                               : QStringLiteral("%1 (%2)").arg(loop + 1).arg(label(loop));
}

QString LoopLabels::firstProblem() const {
  for (int loop = 0; loop < kLoops; ++loop) {
    if (const QString why = problem(label(loop)); !why.isEmpty()) {
      return tr("the label of loop %1 %2").arg(QString::number(loop + 1), why);
    }
  }
  return {};
}

QByteArray LoopLabels::section() const {
  return NumberedTexts::section(
      kLoopsSection, [](int loop) -> QByteArray { return "loop" + QByteArray::number(loop); });
}

LoopLabels::Read LoopLabels::read(const QByteArray& text) {
  Read result;
  result.problem = TvkFile::readNumbered(
      text, kLoopsSection, kLoops, loopNumber, problem,
      {tr("\"%1\" is not a loop and a label"), tr("\"%1\" is not a loop from loop1 to loop%2"),
       tr("loop %1 is labelled twice"), tr("the label of loop %1 is not UTF-8 text"),
       tr("the label of loop %1 %2")},
      [&result](int loop, const QString& label) { result.labels.setLabel(loop - 1, label); });
  return result;
}

}  // namespace tarvik
