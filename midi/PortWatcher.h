// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include "midi/MidiPorts.h"

namespace tarvik {

// Keeps the port lists in step with the MIDI service: whenever the service announces that ports
// came or went (JACK does), or where it cannot (ALSA through RtMidi) every interval, it
// enumerates both lists again (MidiPorts::rescan) and reports what changed.
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
  // Watching: by the service's notices where it gives them, else by the timer. Stopped, it
  // looks only when asked.
  void start();
  void stop();

  // One enumeration now. From inside portsChanged's receivers (a modal box they open runs the
  // event loop) or an input handler (a box raised from a device's reply), the call is put off
  // until they have returned, that is when the box has closed: a device plugged out and in again
  // meanwhile is caught then, not one interval later.
  void rescan();

 Q_SIGNALS:
  void portsChanged(const tarvik::MidiPorts::Change& change);
  // The enumeration failed; said once until one works again.
  void rescanFailed(const QString& text);

 private:
  // Takes the service's notices once it gives them (the platform's comes after the watcher).
  void listen();
  void scan();

  MidiPorts& ports_;
  QTimer timer_;
  bool running_ = false;
  bool announced_ = false;
  bool scanning_ = false;
  bool owed_ = false;
  QString lastFailure_;
};

}  // namespace tarvik
