// SPDX-License-Identifier: MIT
#include "app/CaptionRoom.h"

#include <QEvent>
#include <QWidget>

namespace tarvik {

CaptionRoom::CaptionRoom(QWidget& holder) : QObject(&holder) { holder.installEventFilter(this); }

void CaptionRoom::keep(QWidget* widget) {
  kept_.push_back({widget, widget->testAttribute(Qt::WA_Resized) ? widget->size() : QSize()});
  fit();
}

bool CaptionRoom::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show) fit();
  return QObject::eventFilter(watched, event);
}

void CaptionRoom::fit() {
  for (const Kept& kept : kept_) {
    if (kept.widget == nullptr) continue;
    const QSize wanted = kept.placed.isValid() ? kept.placed.expandedTo(kept.widget->sizeHint())
                                               : kept.widget->sizeHint();
    if (kept.widget->size() != wanted) kept.widget->resize(wanted);
  }
}

}  // namespace tarvik
