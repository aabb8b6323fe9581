// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <utility>

#include "link/WaitClock.h"

namespace tarvik::testing {

// A wait's clock that moves only when the test says so.
class ManualClock : public WaitClock {
 public:
  void start(int ms, std::function<void()> expired) override {
    due_ = now_ + ms;
    expired_ = std::move(expired);
  }
  void stop() override { expired_ = nullptr; }
  // Time moves on by `ms`; a wait whose time is up ends now.
  void advance(long long ms) {
    now_ += ms;
    if (expired_ && now_ >= due_) std::exchange(expired_, nullptr)();
  }
  // Time moves on to the end of the wait under way, however long it is.
  void advanceToDue() {
    if (expired_) advance(due_ - now_);
  }
  bool running() const { return static_cast<bool>(expired_); }
  long long now() const { return now_; }

 private:
  long long now_ = 0;
  long long due_ = 0;
  std::function<void()> expired_;
};

}  // namespace tarvik::testing
