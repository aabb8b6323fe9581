// SPDX-License-Identifier: MIT
#include "midi/PortWatcher.h"

namespace tarvik {

PortWatcher::PortWatcher(MidiPorts& ports, QObject* parent) : QObject(parent), ports_(ports) {
  timer_.setInterval(kIntervalMs);
  // A coarse timer wakes the thread no more than needed; a second more or less is of no matter.
  timer_.setTimerType(Qt::CoarseTimer);
  connect(&timer_, &QTimer::timeout, this, &PortWatcher::rescan);
}

void PortWatcher::rescan() {
  if (scanning_) return;
  scanning_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{scanning_};
  std::optional<MidiPorts::Change> change;
  try {
    change = ports_.rescan();
  } catch (const TMidiError& error) {
    const QString text = QString::fromLocal8Bit(error.what());
    if (text != lastFailure_) {
      lastFailure_ = text;
      Q_EMIT rescanFailed(text);
    }
    return;
  }
  if (!change) return;
  lastFailure_.clear();
  if (change->changed()) Q_EMIT portsChanged(*change);
}

}  // namespace tarvik
