// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QRect>
#include <memory>

class QWidget;

namespace tarvik {

// Where the windows that the main window opens go on the screen: beside it rather than over its
// port lists, unless a window's own place was remembered.
struct WindowPlacement {
  // A frame of `size` to the right of `main` when `screen` has room there, else below it, else
  // to its left, else where it overlaps least: the top left of the screen.
  static QRect beside(const QRect& main, const QSize& size, const QRect& screen);
  // Moves `window` beside `main`, on the screen `main` is on.
  static void placeBeside(const QWidget& main, QWidget& window);
  // Shows the window, in front and active: a second press brings back one that was covered.
  static void bringUp(QWidget& window);
  // What the buttons of the side windows (traffic, Compare, Library) do: `make` makes the window
  // on first use, which goes where `geometry` (QWidget::saveGeometry) puts it, or else beside
  // `main`; then it is brought up.
  template <class Window, class Make>
  static void open(std::unique_ptr<Window>& window, const QWidget& main, const QByteArray& geometry,
                   Make make) {
    if (!window) {
      window = make();
      if (!window->restoreGeometry(geometry)) placeBeside(main, *window);
    }
    bringUp(*window);
  }
};

}  // namespace tarvik
