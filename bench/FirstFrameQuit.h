// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace tarvik {

// The line a start-up probe writes to its standard output once its first frame is out, followed
// by the monotonic clock's reading then (the clock every process shares) and the processor time
// the probe has used so far, both in nanoseconds, and a line break. The benchmark's clock stops
// at that reading, not when the line reaches it: the configurator goes on to work after its
// first frame, and on a busy machine that work would hold up the benchmark's reading.
inline constexpr char kFirstFrameLine[] = "first frame ";

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
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        timespec cpu{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        std::printf("%s%lld %lld\n", kFirstFrameLine,
                    static_cast<long long>(std::chrono::nanoseconds(now).count()),
                    static_cast<long long>(cpu.tv_sec) * 1000000000LL + cpu.tv_nsec);
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
