// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <functional>

class QEvent;
class QWidget;

namespace tarvik {

// Runs a piece of work once the window's first frame is out: queued behind the first paint
// (the whole pass, children included, and its flush), so that the user sees the window before
// the work is done. Runs at most once; a window that is never painted never runs it, and the
// work goes with the window unrun.
class AfterFirstFrame : public QObject {
 public:
  AfterFirstFrame(QWidget& window, std::function<void()> work);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> work_;
};

}  // namespace tarvik
