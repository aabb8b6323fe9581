// SPDX-License-Identifier: MIT
#include "app/CarefulRetry.h"

#include <utility>

#include "app/Dialogs.h"
#include "core/ConfiguratorCore.h"

namespace tarvik {

CarefulRetry::CarefulRetry(Dialogs& dialogs, QWidget* owner, ConfiguratorCore& core, Log log,
                           QObject* parent)
    : QObject(parent),
      dialogs_(dialogs),
      owner_(owner),
      core_(core),
      log_(std::move(log)),
      wasBusy_(core.busy()) {
  connect(&core_, &ConfiguratorCore::busyChanged, this, &CarefulRetry::busyChanged);
  // Queued: a transfer is started only once every receiver has heard that the last one ended.
  connect(
      &core_, &ConfiguratorCore::busyChanged, this,
      [this](bool busy) {
        if (!busy) startAgainWhenIdle();
      },
      Qt::QueuedConnection);
}

bool CarefulRetry::start(Transfer transfer) {
  ++starting_;
  const bool started = transfer();
  --starting_;
  // The outermost caller's transfer is the one that knows everything the user chose.
  if (started && starting_ == 0) again_ = std::move(transfer);
  return started;
}

void CarefulRetry::busyChanged(bool busy) {
  // Something the window did not start through here owns the link now: a box about its failure
  // must not start another transfer.
  if (busy && !wasBusy_ && starting_ == 0) again_ = nullptr;
  wasBusy_ = busy;
}

QString CarefulRetry::offerText() {
  const TransferCare careful = TransferCare::careful();
  return tr("Replies from Tarvik were lost on the way. \"Try again carefully\" runs the same "
            "transfer once more, with %1 ms between frames and %2 retries. The setting for every "
            "transfer is on the \"Midi\" tab.")
      .arg(careful.paceMs)
      .arg(careful.retries);
}

void CarefulRetry::error(const QString& caption, const QString& text, const QStringList& detail) {
  if (!core_.lastTransferLostReplies() || !again_) {
    dialogs_.errorWithDetail(owner_, caption, text, detail);
    return;
  }
  if (!dialogs_.errorOfferingCarefulTry(owner_, caption,
                                        text + QStringLiteral("\n\n") + offerText(), detail)) {
    return;
  }
  againPending_ = true;
  // The failure is still being reported (the core may not have ended its transfer yet): the
  // transfer starts again from the event loop, once the link is free, and only then is the
  // careful care asked for, so that it goes to that transfer and no other.
  QMetaObject::invokeMethod(this, &CarefulRetry::startAgainWhenIdle, Qt::QueuedConnection);
}

void CarefulRetry::startAgainWhenIdle() {
  if (!againPending_ || core_.busy()) return;
  againPending_ = false;
  if (!again_) return;
  const TransferCare careful = TransferCare::careful();
  log_(tr("Trying again carefully: %1 ms between frames, %2 retries...")
           .arg(careful.paceMs)
           .arg(careful.retries));
  core_.carefulOnce();
  start(again_);
}

}  // namespace tarvik
