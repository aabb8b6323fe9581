// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <deque>
#include <memory>

#include "link/Framing.h"
#include "link/WaitClock.h"

namespace tarvik {

// Keeps a smallest gap between two frames on their way to the device, for interfaces whose
// buffers overrun when frames come back to back. Frames that may not go yet wait in order and
// leave from the clock's callbacks, so a sender never waits; at a pace of 0 every frame goes out
// at once, as if the pacer were not there, and a failed send raises to its sender as before.
//
// A frame that fails to go out of the queue cannot raise to anyone: the frames behind it are
// dropped (the command they belong to is broken) and sendFailed reports the error.
class FramePacer : public QObject, public LinkPort {
  Q_OBJECT
 public:
  explicit FramePacer(LinkPort& out, std::unique_ptr<WaitClock> clock = timerClock(),
                      QObject* parent = nullptr);

  // Tests drive the gaps. Not while frames wait.
  void setClock(std::unique_ptr<WaitClock> clock) { clock_ = std::move(clock); }
  void setPaceMs(int ms);
  int paceMs() const { return paceMs_; }
  // Frames waiting to go out.
  std::size_t waiting() const { return queue_.size(); }

  void SendByte(std::uint8_t value) override;

 Q_SIGNALS:
  void sendFailed(const QString& error);

 private:
  void startGap();
  void gapOver();

  LinkPort& out_;
  std::unique_ptr<WaitClock> clock_;
  int paceMs_ = 0;
  bool inGap_ = false;
  std::deque<std::uint8_t> queue_;
};

}  // namespace tarvik
