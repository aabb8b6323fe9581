// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractEventDispatcher>
#include <QByteArray>
#include <QObject>
#include <QThread>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <list>
#include <memory>
#include <utility>

#include "link/WaitClock.h"

namespace tarvik::testing {

// Qt's glib event dispatcher announces aboutToBlock on every turn of the loop, events posted or
// not; the plain one only when nothing is posted, which is what IdleTime needs. A test that
// includes this header gets the plain one: set before its QCoreApplication exists.
inline const bool kPlainEventDispatcher = qputenv("QT_NO_GLIB", "1");

// Time that moves only while the program has nothing else to do: whenever the event loop is
// about to wait for events and `quiet` holds (no reply on its way, say), the earliest wait of
// its clocks ends, as a queued call that wakes the loop. A transfer paced at 5 ms and given up
// after three waits of seconds runs in an instant, and in the same order on a loaded machine as
// on an idle one: nothing races a real timer. Only an event loop that blocks (QSignalSpy::wait,
// QEventLoop::exec) lets it move; QTest::qWaitFor sleeps instead and never does.
class IdleTime : public QObject {
 public:
  explicit IdleTime(std::function<bool()> quiet = [] { return true; }) : quiet_(std::move(quiet)) {
    QAbstractEventDispatcher* dispatcher =
        QAbstractEventDispatcher::instance(QThread::currentThread());
    if (QByteArray(dispatcher->metaObject()->className()).contains("Glib"))
      qFatal("IdleTime needs the plain event dispatcher (QT_NO_GLIB=1)");
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &IdleTime::idle);
  }

  // A clock on this time line; it must not outlive it.
  std::unique_ptr<WaitClock> clock() { return std::make_unique<Clock>(*this); }
  std::int64_t now() const { return now_; }
  // What a device's clock reads (TarvikDevice::setClock).
  std::function<std::int64_t()> reader() const {
    return [this] { return now_; };
  }

 private:
  struct Wait {
    const void* owner;
    std::int64_t due;
    std::function<void()> expired;
  };

  class Clock : public WaitClock {
   public:
    explicit Clock(IdleTime& time) : time_(time) {}
    ~Clock() override { stop(); }
    void start(int ms, std::function<void()> expired) override {
      stop();
      // Later starts with the same due time end after earlier ones, as timers do.
      time_.waits_.push_back({this, time_.now_ + ms, std::move(expired)});
    }
    void stop() override {
      time_.waits_.remove_if([this](const Wait& w) { return w.owner == this; });
    }

   private:
    IdleTime& time_;
  };

  void idle() {
    if (scheduled_ || waits_.empty() || !quiet_()) return;
    scheduled_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          scheduled_ = false;
          if (waits_.empty()) return;
          auto earliest = waits_.begin();
          for (auto it = std::next(waits_.begin()); it != waits_.end(); ++it)
            if (it->due < earliest->due) earliest = it;
          now_ = std::max(now_, earliest->due);
          const std::function<void()> expired = std::move(earliest->expired);
          waits_.erase(earliest);
          expired();
        },
        Qt::QueuedConnection);
  }

  std::function<bool()> quiet_;
  std::list<Wait> waits_;
  std::int64_t now_ = 0;
  bool scheduled_ = false;
};

}  // namespace tarvik::testing
