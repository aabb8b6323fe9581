// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "core/LinkTest.h"
#include "sim/InProcessTarvik.h"
#include "support/ManualClock.h"

namespace tarvik::testing {

// A link test's clock that moves on by the reply time-out each time the simulated device
// withholds a reply (silent, or the reply lost), and at no other time: the time-out fires for
// exactly the requests that get no answer, at once, and every round trip reads 0.0 ms. The move
// comes from the event loop, after the send that the device withheld its reply to has returned.
// Must go before the link test does.
class WithheldReplyClock {
 public:
  WithheldReplyClock(InProcessTarvik& tarvik, LinkTest& test) {
    auto clock = std::make_unique<ManualClock>();
    clock_ = clock.get();
    test.setClock(std::move(clock), [c = clock_] { return c->now() * 1000; });
    QObject::connect(&tarvik, &InProcessTarvik::logLine, &context_, [this](const QString& line) {
      if (!line.endsWith(QStringLiteral("- no reply")) &&
          !line.endsWith(QStringLiteral("- reply lost")))
        return;
      QMetaObject::invokeMethod(
          &context_, [this] { clock_->advanceToDue(); }, Qt::QueuedConnection);
    });
  }
  // How long the driven time has moved on: a time-out's length (a second at no pace) for each.
  long long elapsedMs() const { return clock_->now(); }

 private:
  QObject context_;
  ManualClock* clock_ = nullptr;
};

}  // namespace tarvik::testing
