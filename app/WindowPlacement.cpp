// SPDX-License-Identifier: MIT
#include "app/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "app/RememberedState.h"

namespace tarvik {
namespace {

constexpr int kGap = 8;

}  // namespace

void WindowPlacement::setRemembered(RememberedState* state) {
  remembered_ = state;
  if (remembered_ == nullptr) return;
  // Only onto a screen that is still there: a monitor may have gone since.
  if (const auto position = remembered_->windowPosition();
      position && QGuiApplication::screenAt(*position) != nullptr) {
    main_.move(*position);
  }
}

void WindowPlacement::placeBeside(const QWidget& main, QWidget& window) {
  const QRect screen = main.screen()->availableGeometry();
  window.move(beside(main.frameGeometry(), window.size(), screen).topLeft());
}

void WindowPlacement::bringUp(QWidget& window) {
  window.show();
  window.raise();
  window.activateWindow();
}

void WindowPlacement::save(const QWidget* traffic) const {
  if (remembered_ == nullptr) return;
  remembered_->setWindowPosition(main_.pos());
  if (traffic != nullptr) remembered_->setTrafficGeometry(traffic->saveGeometry());
}

QRect WindowPlacement::beside(const QRect& main, const QSize& size, const QRect& screen) {
  const QRect right(QPoint(main.right() + 1 + kGap, main.top()), size);
  const QRect below(QPoint(main.left(), main.bottom() + 1 + kGap), size);
  const QRect left(QPoint(main.left() - kGap - size.width(), main.top()), size);
  for (const QRect& frame : {right, below, left}) {
    if (screen.contains(frame)) return frame;
  }
  return QRect(screen.topLeft(), size);
}

}  // namespace tarvik
