// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "sim/TarvikDevice.h"

namespace tarvik {

class InMemoryMidiService;
class MidiPorts;

// Puts a TarvikDevice behind two ports of an InMemoryMidiService: what the program sends on the
// output port feeds the device, and the device's frames come back on the input port through
// deliverSysEx, which hands them over through the event loop like real MIDI input. Each command's
// frames leave together after the device's reply delay, in command order; replies of different
// commands are never merged. The service must outlive this object.
//
// The device reads its clock (device().setClock(), for the fault that drops frames which come
// too close) as each SysEx message arrives, which here is while the program's send call runs:
// a test that drives that clock decides how far apart the program's frames came. The reply delay
// is waited out on real time all the same.
class InProcessTarvik : public QObject {
  Q_OBJECT
 public:
  // outPortIndex: the program's output, the device's input; inPortIndex: the program's input.
  InProcessTarvik(InMemoryMidiService& service, int outPortIndex, int inPortIndex,
                  QObject* parent = nullptr);

  TarvikDevice& device() { return device_; }
  InMemoryMidiService& service() { return service_; }
  // Replies built but not yet handed to the service (waiting out the reply delay, or held).
  int pendingReplies() const { return static_cast<int>(pending_.size()); }
  // While holding, no reply goes out, however long it waits: a test can look at the program in
  // the state it has while waiting for the device, for as long as it likes. Turning holding off
  // lets the held replies go out as usual, in command order.
  void holdReplies(bool hold);
  // Hands every reply held so far to the service now, in command order; holding goes on for
  // later ones.
  void releaseHeld();

 Q_SIGNALS:
  // One command's frames were handed to the service.
  void replyDelivered();
  // A command's reply was built while holding and waits for releaseHeld().
  void replyHeld();
  // The device wrote a log line.
  void logLine(const QString& line);

 private:
  struct PendingReply {
    qint64 dueMs = 0;
    std::vector<std::vector<std::uint8_t>> frames;
  };
  void onProgramMessage(const std::vector<std::uint8_t>& message);
  void deliverDue();
  void deliverFront();
  void armTimer();

  InMemoryMidiService& service_;
  int outPort_;
  int inPort_;
  TarvikDevice device_;
  std::vector<std::vector<std::uint8_t>> collecting_;
  std::deque<PendingReply> pending_;
  QTimer timer_;
  bool holding_ = false;
};

// Port lists over an in-memory service with one input and one output named "Tarvik MIDI" and
// the device behind them: what a test or a benchmark hands to the window or the command line in
// place of the platform's ports.
class SimulatedMidi {
 public:
  explicit SimulatedMidi(const TarvikContents& contents = TarvikContents::factory());
  ~SimulatedMidi();

  MidiPorts& ports() { return *ports_; }
  InMemoryMidiService& service() { return *service_; }
  InProcessTarvik& tarvik() { return *tarvik_; }
  TarvikDevice& device() { return tarvik_->device(); }
  int inPort() const { return inPort_; }
  int outPort() const { return outPort_; }

 private:
  // The device goes first; then the port lists, which close what is open, and the service.
  std::unique_ptr<MidiPorts> ports_;
  InMemoryMidiService* service_ = nullptr;
  int inPort_ = -1;
  int outPort_ = -1;
  std::unique_ptr<InProcessTarvik> tarvik_;
};

}  // namespace tarvik
