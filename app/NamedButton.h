// SPDX-License-Identifier: MIT
#pragma once

#include <QPushButton>
#include <QString>

namespace tarvik {

// A push button that tests and screen readers find by its object name.
inline QPushButton* namedButton(QWidget* parent, const char* name, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

// The same with a tooltip, running `handler` (a member function of `parent`, or any callable)
// when pressed.
template <class Parent, class Handler>
QPushButton* namedButton(Parent* parent, const char* name, const QString& text, const QString& tip,
                         Handler handler) {
  QPushButton* button = namedButton(parent, name, text);
  button->setToolTip(tip);
  QObject::connect(button, &QPushButton::clicked, parent, handler);
  return button;
}

}  // namespace tarvik
