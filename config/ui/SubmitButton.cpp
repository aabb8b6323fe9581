// SPDX-License-Identifier: MIT
#include "config/ui/SubmitButton.h"

#include <QCoreApplication>
#include <QEvent>
#include <QStyle>
#include <QStyleOptionButton>

namespace tarvik {

SubmitButton::SubmitButton(int mostChanges, QWidget* parent)
    : QPushButton(caption(0), parent), mostChanges_(mostChanges) {
  fitWidestCaption();
}

QString SubmitButton::caption(int changes) {
  if (changes <= 0) return QCoreApplication::translate("SubmitCaption", "Submit to Tarvik");
  if (changes == 1)
    return QCoreApplication::translate("SubmitCaption", "Submit to Tarvik (1 change)");
  return QCoreApplication::translate("SubmitCaption", "Submit to Tarvik (%1 changes)").arg(changes);
}

void SubmitButton::showChangeCount(int changes) { setText(caption(changes)); }

void SubmitButton::changeEvent(QEvent* event) {
  QPushButton::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
    fitWidestCaption();
  }
}

void SubmitButton::fitWidestCaption() {
  // As QPushButton sizes itself, for the widest caption instead of the current one. A fixed
  // size is what keeps a new caption from invalidating the layouts above.
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text = caption(mostChanges_);
  const QSize text = fontMetrics().size(Qt::TextShowMnemonic, option.text);
  option.rect.setSize(text);
  setFixedSize(style()->sizeFromContents(QStyle::CT_PushButton, &option, text, this));
}

}  // namespace tarvik
