// SPDX-License-Identifier: MIT
#include "app/AfterFirstFrame.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace tarvik {

AfterFirstFrame::AfterFirstFrame(QWidget& window, std::function<void()> work)
    : QObject(&window), work_(std::move(work)) {
  window.installEventFilter(this);
}

bool AfterFirstFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Paint) {
    watched->removeEventFilter(this);
    QTimer::singleShot(0, this, [this] {
      const std::function<void()> work = std::move(work_);
      work_ = nullptr;
      if (work) work();
    });
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tarvik
