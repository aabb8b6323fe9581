// SPDX-License-Identifier: MIT
#include "app/BusyCursor.h"

#include <QApplication>
#include <QCursor>

namespace tarvik {

void BusyCursor::set(bool busy) {
  if (busy) {
    if (!isBusy()) QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    return;
  }
  while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
}

bool BusyCursor::isBusy() { return QApplication::overrideCursor() != nullptr; }

}  // namespace tarvik
