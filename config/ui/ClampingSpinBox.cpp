// SPDX-License-Identifier: MIT
#include "config/ui/ClampingSpinBox.h"

#include <algorithm>

namespace tarvik {

ClampingSpinBox::ClampingSpinBox(QWidget* parent) : QSpinBox(parent) {
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QString ClampingSpinBox::stripAffixes(const QString& text) const {
  QString bare = text;
  const QString pre = prefix();
  const QString suf = suffix();
  if (!pre.isEmpty() && bare.startsWith(pre)) {
    bare.remove(0, pre.size());
  }
  if (!suf.isEmpty() && bare.endsWith(suf)) {
    bare.chop(suf.size());
  }
  return bare.trimmed();
}

int ClampingSpinBox::settledValue(const QString& text) const {
  const QString bare = stripAffixes(text);
  bool ok = false;
  const qlonglong number = bare.toLongLong(&ok);
  if (!ok) {
    // Too many digits for 64 bits is still a number, just one far outside the range.
    const bool negative = bare.startsWith(u'-');
    const QStringView digits = QStringView(bare).mid(negative ? 1 : 0);
    const bool isNumber = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(),
                                                           [](QChar c) { return c.isDigit(); });
    return isNumber && !negative ? maximum() : minimum();
  }
  return static_cast<int>(std::clamp<qlonglong>(number, minimum(), maximum()));
}

QValidator::State ClampingSpinBox::validate(QString& input, int& pos) const {
  Q_UNUSED(pos);
  const QString bare = stripAffixes(input);
  bool ok = false;
  const int number = bare.toInt(&ok);
  // Anything else stays editable; fixup() settles it when editing ends.
  return ok && number >= minimum() && number <= maximum() ? QValidator::Acceptable
                                                          : QValidator::Intermediate;
}

void ClampingSpinBox::fixup(QString& input) const {
  input = prefix() + textFromValue(settledValue(input)) + suffix();
}

int ClampingSpinBox::valueFromText(const QString& text) const { return settledValue(text); }

}  // namespace tarvik
