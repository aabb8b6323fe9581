// SPDX-License-Identifier: MIT
#include "config/ui/SubmitButton.h"

#include <QEvent>
#include <QStyle>
#include <QStyleOptionButton>

#include "config/ui/SubmitCaption.h"

namespace tarvik {

SubmitButton::SubmitButton(int mostChanges, QWidget* parent)
    : QPushButton(submitCaption(0), parent), mostChanges_(mostChanges) {
  fitWidestCaption();
}

void SubmitButton::showChangeCount(int changes) { setText(submitCaption(changes)); }

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
  option.text = submitCaption(mostChanges_);
  const QSize text = fontMetrics().size(Qt::TextShowMnemonic, option.text);
  option.rect.setSize(text);
  setFixedSize(style()->sizeFromContents(QStyle::CT_PushButton, &option, text, this));
}

}  // namespace tarvik
