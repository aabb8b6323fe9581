// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

namespace tarvik {

// Ends the application once the watched window has received its first paint event. The quit is
// queued so that the children painted in the same pass and the flush of the frame still happen;
// both start-up probes use it, so the method cancels out of their ratio.
class FirstFrameQuit : public QObject {
 public:
  explicit FirstFrameQuit(QObject& window) : QObject(&window) { window.installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !painted_) {
      painted_ = true;
      QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool painted_ = false;
};

}  // namespace tarvik
