// SPDX-License-Identifier: MIT
#include "link/WaitClock.h"

#include <QTimer>
#include <utility>

namespace tarvik {
namespace {

class TimerClock : public WaitClock {
 public:
  TimerClock() {
    timer_.setSingleShot(true);
    // A coarse timer may end a few per cent early: a pace is a smallest gap.
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
      if (expired_) std::exchange(expired_, nullptr)();
    });
  }
  void start(int ms, std::function<void()> expired) override {
    expired_ = std::move(expired);
    timer_.start(ms);
  }
  void stop() override {
    timer_.stop();
    expired_ = nullptr;
  }

 private:
  QTimer timer_;
  std::function<void()> expired_;
};

}  // namespace

std::unique_ptr<WaitClock> timerClock() { return std::make_unique<TimerClock>(); }

}  // namespace tarvik
