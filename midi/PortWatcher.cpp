// SPDX-License-Identifier: MIT
#include "midi/PortWatcher.h"

namespace tarvik {

PortWatcher::PortWatcher(MidiPorts& ports, QObject* parent) : QObject(parent), ports_(ports) {
  timer_.setInterval(kIntervalMs);
  // A coarse timer wakes the thread no more than needed; a second more or less is of no matter.
  timer_.setTimerType(Qt::CoarseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] {
    listen();
    rescan();
  });
  // Still inside the service's callback when this is called: the look itself comes from the
  // event loop, right after.
  ports_.setRescanDue(
      [this] { QMetaObject::invokeMethod(this, &PortWatcher::rescan, Qt::QueuedConnection); });
}

PortWatcher::~PortWatcher() {
  ports_.setRescanDue(nullptr);
  if (announced_) ports_.service().announcePorts(nullptr);
}

void PortWatcher::start() {
  running_ = true;
  listen();
  if (!announced_) timer_.start();
}

void PortWatcher::stop() {
  running_ = false;
  timer_.stop();
}

void PortWatcher::listen() {
  if (announced_ || !running_) return;
  announced_ = ports_.service().announcePorts([this] {
    if (running_) rescan();
  });
  if (announced_) timer_.stop();
}

void PortWatcher::rescan() {
  if (scanning_) {
    owed_ = true;
    return;
  }
  scanning_ = true;
  // A look asked for while the receivers of the last one ran is made once they have returned.
  do {
    owed_ = false;
    scan();
  } while (owed_);
  scanning_ = false;
}

void PortWatcher::scan() {
  std::optional<MidiPorts::Change> change;
  try {
    change = ports_.rescan();
  } catch (const TMidiError& error) {
    const QString text = QString::fromLocal8Bit(error.what());
    if (text == lastFailure_) return;
    lastFailure_ = text;
    Q_EMIT rescanFailed(text);
    return;
  }
  // Inside an input handler: the lists call back once it has returned (setRescanDue).
  if (!change) return;
  lastFailure_.clear();
  if (change->changed()) Q_EMIT portsChanged(*change);
}

}  // namespace tarvik
