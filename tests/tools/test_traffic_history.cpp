// SPDX-License-Identifier: MIT
// The run-long ring behind the traffic window: what it keeps, what it hands a view that opens
// late, and what it passes on while a view is attached.
#include <QTest>
#include <vector>

#include "tools/TrafficHistory.h"

using tarvik::TrafficDirection;
using tarvik::TrafficHistory;
using tarvik::TrafficTap;

namespace {

// Message n: two bytes that name it, sent when n is even, received when odd.
void recordNumbered(TrafficHistory& history, int from, int count) {
  for (int n = from; n < from + count; ++n) {
    const std::uint8_t bytes[] = {static_cast<std::uint8_t>(n >> 7),
                                  static_cast<std::uint8_t>(n & 0x7F)};
    history.record(n % 2 == 0 ? TrafficDirection::Out : TrafficDirection::In, bytes, 2);
  }
}

int numberOf(std::span<const std::uint8_t> bytes) { return bytes[0] << 7 | bytes[1]; }

std::vector<int> replayed(const TrafficHistory& history, std::uint64_t from) {
  std::vector<int> numbers;
  history.replay(from, [&](QTime, TrafficDirection direction, std::span<const std::uint8_t> bytes) {
    const int n = numberOf(bytes);
    if ((direction == TrafficDirection::Out) != (n % 2 == 0)) qFatal("direction of %d lost", n);
    numbers.push_back(n);
  });
  return numbers;
}

std::vector<int> range(int first, int last) {
  std::vector<int> numbers;
  for (int n = first; n <= last; ++n) numbers.push_back(n);
  return numbers;
}

struct Counter : TrafficTap {
  void record(TrafficDirection, const std::uint8_t*, std::size_t) override { ++count; }
  int count = 0;
};

}  // namespace

Q_DECLARE_METATYPE(std::vector<int>)

class TrafficHistoryTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void keepsTheNewest_data() {
    QTest::addColumn<int>("recorded");
    QTest::addColumn<int>("from");
    QTest::addColumn<std::vector<int>>("expected");
    QTest::newRow("nothing recorded") << 0 << 0 << std::vector<int>{};
    QTest::newRow("fewer than it holds: all, oldest first") << 5 << 0 << range(0, 4);
    QTest::newRow("exactly full") << 2000 << 0 << range(0, 1999);
    QTest::newRow("more than it holds: the newest 2,000") << 2345 << 0 << range(345, 2344);
    QTest::newRow("a view that saw some: only what came after")
        << 2345 << 2340 << range(2340, 2344);
    QTest::newRow("a view that saw all: nothing") << 2345 << 2345 << std::vector<int>{};
  }
  void keepsTheNewest() {
    QFETCH(int, recorded);
    QFETCH(int, from);
    QFETCH(std::vector<int>, expected);
    TrafficHistory history;
    recordNumbered(history, 0, recorded);
    QCOMPARE(history.total(), std::uint64_t(recorded));
    QCOMPARE(replayed(history, std::uint64_t(from)), expected);
  }

  void keepsEachMessagesTimeAndBytesWhole() {
    TrafficHistory history(2);
    QTime now(12, 0, 0);
    history.setClock([&now] { return now; });
    const std::vector<std::uint8_t> sysex(300, 0x11);
    history.record(TrafficDirection::Out, sysex.data(), sysex.size());
    now = now.addSecs(1);
    recordNumbered(history, 1, 1);
    std::vector<QTime> times;
    std::vector<std::size_t> sizes;
    history.replay(0, [&](QTime time, TrafficDirection, std::span<const std::uint8_t> bytes) {
      times.push_back(time);
      sizes.push_back(bytes.size());
    });
    QCOMPARE(times, (std::vector<QTime>{QTime(12, 0, 0), QTime(12, 0, 1)}));
    QCOMPARE(sizes, (std::vector<std::size_t>{300, 2}));
  }

  void passesMessagesOnOnlyWhileAViewIsAttached() {
    TrafficHistory history;
    Counter view;
    recordNumbered(history, 0, 3);
    history.setForward(&view);
    recordNumbered(history, 3, 2);
    history.setForward(nullptr);
    recordNumbered(history, 5, 1);
    QCOMPARE(view.count, 2);
    QCOMPARE(history.total(), std::uint64_t(6));
  }
};

QTEST_APPLESS_MAIN(TrafficHistoryTest)
#include "test_traffic_history.moc"
