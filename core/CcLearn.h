// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

#include "link/WaitClock.h"

namespace tarvik {

class ConfiguratorCore;

// MIDI learn of a controller: waits for the next control change that the device would act on,
// one on the device's MIDI channel (ConfiguratorCore::deviceChannel) or, in omni mode, on any,
// and reports its controller number, which names a CC map entry. What becomes of the entry is
// the caller's. The messages are the core's shortMessageReceived, so every open input counts:
// the link's input and a monitor's. The channel and omni mode are read as each message
// arrives: a setting changed during the wait applies at once.
class CcLearn : public QObject {
  Q_OBJECT
 public:
  // Long enough to walk to the pedalboard and step on a switch.
  static constexpr int kWaitMs = 30000;

  explicit CcLearn(ConfiguratorCore& core, QObject* parent = nullptr);
  ~CcLearn() override;

  // Not while waiting: the wait under way keeps its clock.
  void setClock(std::unique_ptr<WaitClock> clock);

  // Whether a wait could hear anything: an input is open.
  bool available() const;
  // Begins a wait of kWaitMs; one under way starts over. Refused (false) while no input is open.
  bool start();
  // Ends a wait under way with no result and no signal.
  void cancel();
  bool waiting() const { return waiting_; }

 Q_SIGNALS:
  // A wait ended with this controller number (0..127).
  void learned(int controller);
  // A wait ended with nothing after kWaitMs.
  void timedOut();

 private:
  void onMessage(std::uint8_t status, std::uint8_t controller);

  ConfiguratorCore& core_;
  std::unique_ptr<WaitClock> clock_;
  bool waiting_ = false;
};

}  // namespace tarvik
