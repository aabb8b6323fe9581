// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <cstdio>

namespace tarvik {

// The line a start-up probe writes to its standard output once its first frame is out; the
// benchmark stops its clock when the line arrives.
inline constexpr char kFirstFrameLine[] = "first frame\n";

// Announces the watched window's first frame and then ends the application. The announcement
// is queued behind the paint event, so that the children painted in the same pass and the
// flush of the frame happen before it; what comes after (quitting, tearing the window down) is
// outside the figure. Both start-up probes use it, so the method cancels out of their ratio.
class FirstFrameQuit : public QObject {
 public:
  explicit FirstFrameQuit(QObject& window) : QObject(&window) { window.installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !painted_) {
      painted_ = true;
      QTimer::singleShot(0, QCoreApplication::instance(), [] {
        std::fputs(kFirstFrameLine, stdout);
        std::fflush(stdout);
        QCoreApplication::quit();
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool painted_ = false;
};

}  // namespace tarvik
