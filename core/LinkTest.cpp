// SPDX-License-Identifier: MIT
#include "core/LinkTest.h"

#include <QElapsedTimer>
#include <QPointer>
#include <exception>
#include <memory>
#include <optional>
#include <utility>

#include "link/Framing.h"
#include "link/WaitClock.h"

namespace tarvik {

LinkTest::LinkTest(LinkPort& link, QObject* parent)
    : QObject(parent), link_(link), timeout_(timerClock()) {
  qRegisterMetaType<tarvik::LinkTestReport>();
  auto elapsed = std::make_shared<QElapsedTimer>();
  elapsed->start();
  nowUs_ = [elapsed] { return elapsed->nsecsElapsed() / 1000; };
}

LinkTest::~LinkTest() = default;

void LinkTest::setClock(std::unique_ptr<WaitClock> timeout, std::function<std::int64_t()> nowUs) {
  if (running_) return;
  timeout_ = std::move(timeout);
  nowUs_ = std::move(nowUs);
}

bool LinkTest::start(int count) {
  if (running_ || count < kMinCount || count > kMaxCount) return false;
  count_ = count;
  report_ = {};
  awaiting_ = false;
  running_ = true;
  Q_EMIT runningChanged(true);
  sendNext();
  return true;
}

void LinkTest::sendNext() {
  if (report_.sent == count_) {
    end();
    Q_EMIT finished(report_);
    return;
  }
  ++report_.sent;
  awaiting_ = true;
  // Armed before the send: a reply may come before sendCommand returns.
  timeout_->start(kReplyTimeoutMs + commandFrames(Command::Identify) * paceMs_,
                  [this] { timedOut(); });
  sentAtUs_ = nowUs_();
  try {
    sendCommand(link_, Command::Identify);
  } catch (const std::exception& error) {
    end();
    Q_EMIT failed(QString::fromLocal8Bit(error.what()));
  }
}

void LinkTest::receiveFrame(int /*port*/, const std::vector<std::uint8_t>& frame) {
  if (!awaiting_) return;
  const std::optional<Reply> reply = parseReply(frame);
  if (!reply || reply->code != static_cast<std::uint8_t>(Command::Identify)) return;
  awaiting_ = false;
  timeout_->stop();
  report_.roundTripsUs.push_back(nowUs_() - sentAtUs_);
  sendNext();
}

void LinkTest::timedOut() {
  if (!awaiting_) return;
  awaiting_ = false;
  sendNext();
}

void LinkTest::abortForLostPort(const QString& portName) {
  if (!running_) return;
  end();
  Q_EMIT failed(tr("MIDI port %1 vanished while the link was tested").arg(portName));
}

void LinkTest::end() {
  awaiting_ = false;
  timeout_->stop();
  running_ = false;
  Q_EMIT runningChanged(false);
}

}  // namespace tarvik
