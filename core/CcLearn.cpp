// SPDX-License-Identifier: MIT
#include "core/CcLearn.h"

#include <utility>

#include "core/ConfiguratorCore.h"

namespace tarvik {
namespace {

constexpr std::uint8_t kControlChange = 0xB0;

}  // namespace

CcLearn::CcLearn(ConfiguratorCore& core, QObject* parent)
    : QObject(parent), core_(core), clock_(timerClock()) {
  connect(&core_, &ConfiguratorCore::shortMessageReceived, this,
          [this](int, std::uint8_t status, std::uint8_t data1, std::uint8_t) {
            onMessage(status, data1);
          });
}

CcLearn::~CcLearn() = default;

void CcLearn::setClock(std::unique_ptr<WaitClock> clock) {
  if (!waiting_) clock_ = std::move(clock);
}

bool CcLearn::available() const { return core_.inputOpen(); }

bool CcLearn::start() {
  if (!available()) return false;
  waiting_ = true;
  clock_->start(kWaitMs, [this] {
    waiting_ = false;
    Q_EMIT timedOut();
  });
  return true;
}

void CcLearn::cancel() {
  waiting_ = false;
  clock_->stop();
}

void CcLearn::onMessage(std::uint8_t status, std::uint8_t controller) {
  if (!waiting_ || (status & 0xF0) != kControlChange) return;
  const bool omni = core_.configuration().record().omniMode;
  if (!omni && (status & 0x0F) != core_.deviceChannel()) return;
  cancel();
  Q_EMIT learned(controller & 0x7F);
}

}  // namespace tarvik
