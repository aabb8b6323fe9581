// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <array>
#include <memory>
#include <utility>

namespace tarvik {

// Where the windows that the main window opens go on the screen: beside it rather than over its
// port lists, unless a window's own place was remembered.
struct WindowPlacement {
  // A frame of `size` to the right of `main`, else below it, else to its left, else above it:
  // the first of these that the screen has room for, slid along that side to stay on the
  // screen. A main window in the middle of the screen (where the program starts) leaves room
  // on no side; then the frame goes where it overlaps the main window least among the four,
  // pushed onto the screen, and never over `keepClear` (the port lists) while one of the four
  // leaves it clear.
  static QRect beside(const QRect& main, const QSize& size, const QRect& screen,
                      const QRect& keepClear = {}) {
    constexpr int kGap = 8;
    const std::array<QRect, 4> sides = {
        onto(QRect(QPoint(main.right() + 1 + kGap, main.top()), size), screen),
        onto(QRect(QPoint(main.left(), main.bottom() + 1 + kGap), size), screen),
        onto(QRect(QPoint(main.left() - kGap - size.width(), main.top()), size), screen),
        onto(QRect(QPoint(main.left(), main.top() - kGap - size.height()), size), screen)};
    for (const QRect& frame : sides) {
      if (!frame.intersects(main)) return frame;
    }
    // Covering the port lists counts before any overlap with the rest of the window; the first
    // side wins a tie.
    auto cost = [&](const QRect& frame) {
      return std::pair{area(frame & keepClear), area(frame & main)};
    };
    return *std::min_element(sides.begin(), sides.end(),
                             [&](const QRect& a, const QRect& b) { return cost(a) < cost(b); });
  }
  // What the buttons of the side windows (traffic, Compare, Library) do: `make` makes the window
  // on first use, which goes where `geometry` (QWidget::saveGeometry) puts it, or else beside
  // `main` on its screen, clear of `keepClear` (in global coordinates); then it is shown, in
  // front and active: a second press brings back one that was covered.
  template <class Window, class Make>
  static void open(std::unique_ptr<Window>& window, const QWidget& main, const QRect& keepClear,
                   const QByteArray& geometry, Make make) {
    if (!window) {
      window = make();
      if (!window->restoreGeometry(geometry)) {
        const QRect screen = main.screen()->availableGeometry();
        // A window not yet shown has no frame: it will get one like the main window's.
        const QSize frame = window->size() + main.frameGeometry().size() - main.size();
        window->move(beside(main.frameGeometry(), frame, screen, keepClear).topLeft());
      }
    }
    window->show();
    window->raise();
    window->activateWindow();
  }

 private:
  // Moved as little as it takes to lie on the screen; one larger than the screen keeps its top
  // left corner on it.
  static QRect onto(QRect frame, const QRect& screen) {
    frame.moveLeft(
        std::max(screen.left(), std::min(frame.left(), screen.right() + 1 - frame.width())));
    frame.moveTop(
        std::max(screen.top(), std::min(frame.top(), screen.bottom() + 1 - frame.height())));
    return frame;
  }
  static qint64 area(const QRect& rect) {
    return rect.isEmpty() ? 0 : qint64(rect.width()) * rect.height();
  }
};

}  // namespace tarvik
