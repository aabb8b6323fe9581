// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include "midi/MidiPorts.h"

namespace tarvik {

// Keeps the port lists in step with the MIDI service: every interval it enumerates both lists
// again (MidiPorts::rescan) and reports what changed. RtMidi, which the platform service stands
// on, passes on no notice of ports coming and going, so the watcher asks; one enumeration
// is a few calls into the service, cheap enough to repeat every second.
//
// It goes on while a chain or a flash runs: a port that vanishes under a transfer must end it at
// once, not after the transfer's watchdog. Every call and signal is on the owner's thread, and
// receivers see the lists already changed.
class PortWatcher : public QObject {
  Q_OBJECT
 public:
  // Well under the two seconds in which a port that appears must be offered.
  static constexpr int kIntervalMs = 1000;

  explicit PortWatcher(MidiPorts& ports, QObject* parent = nullptr);
  ~PortWatcher() override;

  // Tests and benchmarks set their own interval or call rescan() themselves.
  void setInterval(int ms) { timer_.setInterval(ms); }
  int interval() const { return timer_.interval(); }
  void start() { timer_.start(); }
  void stop() { timer_.stop(); }

  // One enumeration now. Not from inside portsChanged's receivers (a modal box they open runs
  // the event loop), nor while an input handler runs (see MidiPorts::rescan; a box raised from a
  // device's reply does that): such a call is put off and made as soon as the receivers or the
  // handler have returned, that is when the box has closed. A device unplugged and plugged in
  // again while the box was open is then caught at once, not one interval later.
  void rescan();

 Q_SIGNALS:
  void portsChanged(const tarvik::MidiPorts::Change& change);
  // The enumeration failed; said once until one works again.
  void rescanFailed(const QString& text);

 private:
  MidiPorts& ports_;
  QTimer timer_;
  void scan();

  bool scanning_ = false;
  bool owed_ = false;
  QString lastFailure_;
};

}  // namespace tarvik
