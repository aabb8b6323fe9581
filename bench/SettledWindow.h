// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include "app/TForm1.h"

namespace tarvik::bench {

// Shows the window and serves the event loop until it is as a user finds it before a first
// click: on screen, its device tabs built after the first frame, and what that left to draw
// drawn. False when the tabs were not built within `giveUpMs`.
inline bool showSettled(TForm1& form, int giveUpMs) {
  QEventLoop built;
  bool tabsBuilt = false;
  QObject::connect(&form, &TForm1::deviceTabsBuilt, &built, [&] {
    tabsBuilt = true;
    built.quit();
  });
  QTimer::singleShot(giveUpMs, &built, &QEventLoop::quit);
  form.show();
  built.exec();
  QApplication::processEvents();
  return tabsBuilt;
}

}  // namespace tarvik::bench
