// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace tarvik {

class JackClock;

// Tells when the JACK ports opened so far carry data. JACK takes a new connection into its graph
// at the start of a cycle: RtMidi's output writes its queued bytes during a cycle, so bytes
// written in the cycle that was running when jack_connect returned are lost. Once the server's
// clock shows two more cycle starts after the last open, every cycle that RtMidi writes in has
// the connection. A server that stops counting (it was shut down) is waited for no longer than a
// second; the sends then fail or go unanswered and say so.
//
// Waits on the thread of `context`, looking at the clock once a period, never blocking it.
class JackCarryWait {
 public:
  JackCarryWait(const JackClock& jack, QObject& context) : jack_(jack), context_(context) {}

  // A port was opened (or an open in the background ended): the cycles count from now.
  void opened();
  // An open in the background ended; with none left under way, those waiting start counting.
  void openEnded(bool othersStillOpening);
  // Calls `carrying` once the ports carry: after the opens under way have ended, if any.
  void whenCarrying(bool opening, std::function<void()> carrying);

 private:
  static constexpr std::uint32_t kCarryingAfterCycles = 2;
  static constexpr std::chrono::milliseconds kLongestWait{1000};

  void await(std::function<void()> carrying);
  void awaitCycle(std::uint32_t target, std::chrono::milliseconds waited,
                  std::function<void()> carrying);

  const JackClock& jack_;
  QObject& context_;
  // The cycle that ran when the last port was opened.
  std::uint32_t lastOpenCycle_ = 0;
  std::vector<std::function<void()>> waiters_;
};

}  // namespace tarvik
