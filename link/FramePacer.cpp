// SPDX-License-Identifier: MIT
#include "link/FramePacer.h"

#include <exception>
#include <utility>

namespace tarvik {

FramePacer::FramePacer(LinkPort& out, std::unique_ptr<WaitClock> clock, QObject* parent)
    : QObject(parent), out_(out), clock_(std::move(clock)) {}

void FramePacer::setPaceMs(int ms) { paceMs_ = ms > 0 ? ms : 0; }

void FramePacer::SendByte(std::uint8_t value) {
  if (inGap_ || !queue_.empty()) {
    queue_.push_back(value);
    return;
  }
  out_.SendByte(value);
  startGap();
}

void FramePacer::startGap() {
  if (paceMs_ == 0) return;
  inGap_ = true;
  clock_->start(paceMs_, [this] { gapOver(); });
}

void FramePacer::gapOver() {
  inGap_ = false;
  // A pace set to 0 meanwhile lets the rest go at once.
  while (!queue_.empty() && !inGap_) {
    const std::uint8_t value = queue_.front();
    queue_.pop_front();
    try {
      out_.SendByte(value);
    } catch (const std::exception& error) {
      queue_.clear();
      Q_EMIT sendFailed(QString::fromLocal8Bit(error.what()));
      return;
    }
    startGap();
  }
}

}  // namespace tarvik
