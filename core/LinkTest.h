// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/LinkTestReport.h"

namespace tarvik {

class LinkPort;
class WaitClock;

// What a cable and an interface are worth: Identify after Identify, each sent once the one
// before was answered or its time-out passed, so that the requests never crowd each other and
// every loss is the link's own. Each answer's round trip is measured on a monotonic clock.
//
// An Identify reply carries nothing that says which request it answers: one that comes after
// its time-out is taken for the answer to the request then waiting. The time-out is long
// against any round trip a working link has, so that this stays rare, and a reply that came
// so late is lost as far as the user is concerned.
//
// The link's messages must be handed to receiveFrame() while a test runs. Every call comes on
// the owner's thread.
class LinkTest : public QObject {
  Q_OBJECT
 public:
  static constexpr int kMinCount = 1;
  static constexpr int kMaxCount = 1000;
  static constexpr int kDefaultCount = 50;
  // As long as a connect waits for its first Identify to be answered.
  static constexpr int kReplyTimeoutMs = 1000;

  explicit LinkTest(LinkPort& link, QObject* parent = nullptr);
  ~LinkTest() override;

  // Tests drive the time-out and the time the round trips are read from (microseconds on any
  // monotonic scale). Not while a test runs.
  void setClock(std::unique_ptr<WaitClock> timeout, std::function<std::int64_t()> nowUs);

  // The link's pace lengthens each time-out by the frames of an Identify.
  void setPaceMs(int ms) { paceMs_ = ms; }

  // Sends `count` (kMinCount..kMaxCount) identifies, the first once the link carries data.
  // Refused (false, nothing sent) for another count or while a test runs.
  bool start(int count);
  bool running() const { return running_; }

  void receiveFrame(int port, const std::vector<std::uint8_t>& frame);
  // The link's port has vanished: a test under way ends at once (failed).
  void abortForLostPort(const QString& portName);

 Q_SIGNALS:
  void runningChanged(bool running);
  // Every request was answered or timed out.
  void finished(const tarvik::LinkTestReport& report);
  // The test ended before its last request: a send failed or the port went.
  void failed(const QString& text);

 private:
  void sendNext();
  void timedOut();
  void end();

  LinkPort& link_;
  std::unique_ptr<WaitClock> timeout_;
  std::function<std::int64_t()> nowUs_;
  bool running_ = false;
  int count_ = 0;
  int paceMs_ = 0;
  bool awaiting_ = false;
  std::int64_t sentAtUs_ = 0;
  LinkTestReport report_;
};

}  // namespace tarvik
