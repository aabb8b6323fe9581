// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <memory>

namespace tarvik {

// Where the windows that the main window opens go on the screen: beside it rather than over its
// port lists, unless a window's own place was remembered.
struct WindowPlacement {
  // A frame of `size` to the right of `main` when `screen` has room there, else below it, else
  // to its left, else where it overlaps least: the top left of the screen.
  static QRect beside(const QRect& main, const QSize& size, const QRect& screen) {
    constexpr int kGap = 8;
    const QRect right(QPoint(main.right() + 1 + kGap, main.top()), size);
    const QRect below(QPoint(main.left(), main.bottom() + 1 + kGap), size);
    const QRect left(QPoint(main.left() - kGap - size.width(), main.top()), size);
    for (const QRect& frame : {right, below, left}) {
      if (screen.contains(frame)) return frame;
    }
    return QRect(screen.topLeft(), size);
  }
  // What the buttons of the side windows (traffic, Compare, Library) do: `make` makes the window
  // on first use, which goes where `geometry` (QWidget::saveGeometry) puts it, or else beside
  // `main` on its screen; then it is shown, in front and active: a second press brings back one
  // that was covered.
  template <class Window, class Make>
  static void open(std::unique_ptr<Window>& window, const QWidget& main, const QByteArray& geometry,
                   Make make) {
    if (!window) {
      window = make();
      if (!window->restoreGeometry(geometry)) {
        const QRect screen = main.screen()->availableGeometry();
        window->move(beside(main.frameGeometry(), window->size(), screen).topLeft());
      }
    }
    window->show();
    window->raise();
    window->activateWindow();
  }
};

}  // namespace tarvik
