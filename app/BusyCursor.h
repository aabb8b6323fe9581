// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>
#include <QCursor>

namespace tarvik {

// The application-wide busy cursor as a state: setting it twice and restoring once gives the
// normal cursor back, unlike Qt's stack of override cursors.
class BusyCursor {
 public:
  static void set(bool busy) {
    if (!busy) {
      while (isBusy()) QApplication::restoreOverrideCursor();
    } else if (!isBusy()) {
      QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
  }
  static bool isBusy() { return QApplication::overrideCursor() != nullptr; }
};

}  // namespace tarvik
