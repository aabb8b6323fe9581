// SPDX-License-Identifier: MIT
#include "sim/InProcessTarvik.h"

#include <QPointer>
#include <QString>
#include <algorithm>
#include <chrono>

#include "midi/InMemoryMidiService.h"
#include "midi/MidiPorts.h"

namespace tarvik {

namespace {
qint64 nowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

InProcessTarvik::InProcessTarvik(InMemoryMidiService& service, int outPortIndex, int inPortIndex,
                                 QObject* parent)
    : QObject(parent), service_(service), outPort_(outPortIndex), inPort_(inPortIndex) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &InProcessTarvik::deliverDue);

  device_.setReplySink(
      [this](std::vector<std::uint8_t> frame) { collecting_.push_back(std::move(frame)); });
  device_.setShortSink([this](std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    // Not from inside the service's send call: the echo goes out once that call has returned.
    QTimer::singleShot(0, this, [this, status, data1, data2] {
      service_.deliverShort(inPort_, status, data1, data2);
    });
  });
  device_.setLogSink(
      [this](const std::string& line) { Q_EMIT logLine(QString::fromStdString(line)); });

  // The sink may still be called after this object is gone (the service outlives it): it does
  // nothing then, and this object's end need not touch the service.
  service_.setOutputSink(
      outPort_, [self = QPointer<InProcessTarvik>(this)](const std::vector<std::uint8_t>& message) {
        if (self) self->onProgramMessage(message);
      });
}

void InProcessTarvik::onProgramMessage(const std::vector<std::uint8_t>& message) {
  if (message.empty()) return;
  if (message[0] == 0xF0) {
    collecting_.clear();
    device_.receiveSysEx(message);
    if (collecting_.empty()) return;
    const qint64 delay = std::max(0, device_.faults().replyDelayMs);
    qint64 due = nowMs() + delay;
    // Replies keep command order even if the delay was shortened in between.
    if (!pending_.empty()) due = std::max(due, pending_.back().dueMs);
    pending_.push_back({due, std::move(collecting_)});
    collecting_.clear();
    if (holding_) {
      Q_EMIT replyHeld();
      return;
    }
    armTimer();
    return;
  }
  const std::uint8_t data1 = message.size() > 1 ? message[1] : 0;
  const std::uint8_t data2 = message.size() > 2 ? message[2] : 0;
  device_.receiveShort(message[0], data1, data2);
}

void InProcessTarvik::holdReplies(bool hold) {
  holding_ = hold;
  if (hold) {
    timer_.stop();
  } else {
    armTimer();
  }
}

void InProcessTarvik::releaseHeld() {
  // The service hands each reply over through the event loop, so the program still sees them
  // one at a time and in this order.
  while (!pending_.empty()) deliverFront();
}

void InProcessTarvik::deliverDue() {
  // One command's reply per timer event: the program's answer to it (the next command) is sent
  // before the next reply goes out, as with a real device.
  if (pending_.empty() || holding_) return;
  if (pending_.front().dueMs > nowMs()) {
    armTimer();
    return;
  }
  deliverFront();
  armTimer();
}

void InProcessTarvik::deliverFront() {
  PendingReply reply = std::move(pending_.front());
  pending_.pop_front();
  for (auto& frame : reply.frames) service_.deliverSysEx(inPort_, std::move(frame));
  Q_EMIT replyDelivered();
}

void InProcessTarvik::armTimer() {
  if (pending_.empty() || holding_ || timer_.isActive()) return;
  const qint64 wait = std::max<qint64>(0, pending_.front().dueMs - nowMs());
  timer_.start(static_cast<int>(wait));
}

SimulatedMidi::SimulatedMidi(const TarvikContents& contents) {
  auto service = std::make_unique<InMemoryMidiService>();
  service_ = service.get();
  inPort_ = service_->addInput("Tarvik MIDI");
  outPort_ = service_->addOutput("Tarvik MIDI");
  ports_ = std::make_unique<MidiPorts>(std::move(service));
  tarvik_ = std::make_unique<InProcessTarvik>(*service_, outPort_, inPort_);
  tarvik_->device().setContents(contents);
}

SimulatedMidi::~SimulatedMidi() = default;

}  // namespace tarvik
