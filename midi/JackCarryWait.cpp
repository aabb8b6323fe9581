// SPDX-License-Identifier: MIT
#include "midi/JackCarryWait.h"

#include <QTimer>
#include <algorithm>
#include <cmath>

#include "midi/JackClock.h"

namespace tarvik {

void JackCarryWait::opened() { lastOpenCycle_ = jack_.cycleStart(); }

void JackCarryWait::openEnded(bool othersStillOpening) {
  opened();
  if (othersStillOpening) return;
  std::vector<std::function<void()>> waiters;
  waiters.swap(waiters_);
  for (auto& carrying : waiters) await(std::move(carrying));
}

void JackCarryWait::whenCarrying(bool opening, std::function<void()> carrying) {
  if (opening) {
    waiters_.push_back(std::move(carrying));
    return;
  }
  await(std::move(carrying));
}

void JackCarryWait::await(std::function<void()> carrying) {
  const std::uint32_t target = lastOpenCycle_ + kCarryingAfterCycles * jack_.periodFrames();
  awaitCycle(target, std::chrono::milliseconds(0), std::move(carrying));
}

void JackCarryWait::awaitCycle(std::uint32_t target, std::chrono::milliseconds waited,
                               std::function<void()> carrying) {
  const auto passed = static_cast<std::int32_t>(jack_.cycleStart() - target) >= 0;
  if (passed || waited >= kLongestWait) {
    carrying();
    return;
  }
  const auto period = std::chrono::milliseconds(static_cast<long>(
      std::ceil(1000.0 * jack_.periodFrames() / std::max<std::uint32_t>(1, jack_.sampleRate()))));
  QTimer::singleShot(period, &context_,
                     [this, target, waited, period, carrying = std::move(carrying)] {
                       awaitCycle(target, waited + period, carrying);
                     });
}

}  // namespace tarvik
