// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>

namespace tarvik {

// What ends a wait when nothing comes: it calls back once when the time is up. The program's
// runs a single-shot timer (timerClock()); tests move their own on, so that none waits for half
// a minute and none races a short timer on a loaded machine.
class WaitClock {
 public:
  virtual ~WaitClock() = default;
  // `expired` runs once, `ms` from now, unless stop() or another start() comes first.
  virtual void start(int ms, std::function<void()> expired) = 0;
  virtual void stop() = 0;
};

// The program's clock: a single-shot timer on the calling thread's event loop.
std::unique_ptr<WaitClock> timerClock();

}  // namespace tarvik
