// SPDX-License-Identifier: MIT
#include "app/WindowPlacement.h"

#include <QScreen>
#include <QWidget>

namespace tarvik {
namespace {

constexpr int kGap = 8;

}  // namespace

void WindowPlacement::placeBeside(const QWidget& main, QWidget& window) {
  const QRect screen = main.screen()->availableGeometry();
  window.move(beside(main.frameGeometry(), window.size(), screen).topLeft());
}

void WindowPlacement::bringUp(QWidget& window) {
  window.show();
  window.raise();
  window.activateWindow();
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
