// SPDX-License-Identifier: MIT
#pragma once

#include <QSpinBox>

namespace tarvik {

// A number field that accepts any typed text and settles it when editing ends: numbers are
// clamped into the range and anything that is not a number counts as the minimum. A plain
// QSpinBox would instead refuse the keystrokes or fall back to the previous value.
class ClampingSpinBox : public QSpinBox {
  Q_OBJECT
 public:
  explicit ClampingSpinBox(QWidget* parent = nullptr);

  // The value that a typed text stands for under the rule above.
  int settledValue(const QString& text) const;
  // What the box shows while it holds `value`, its unit included.
  QString textFor(int value) const { return prefix() + textFromValue(value) + suffix(); }

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;
  int valueFromText(const QString& text) const override;

 private:
  QString stripAffixes(const QString& text) const;
};

}  // namespace tarvik
