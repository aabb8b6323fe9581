// SPDX-License-Identifier: MIT
#include "core/HistoryRecorder.h"

#include "config/ConfigBytes.h"
#include "library/SetupLibrary.h"
#include "link/RestoreCheck.h"
#include "link/TransferMachine.h"

namespace tarvik {

HistoryRecorder::HistoryRecorder(TransferMachine& machine, RestoreCheck& restoreCheck,
                                 QObject* parent)
    : QObject(parent), restoreCheck_(restoreCheck) {
  connect(&machine, &TransferMachine::received, this,
          [this](Block block, const QByteArray& bytes) { held_.set(block, bytes); });
  connect(&machine, &TransferMachine::stored, this, [this](Block block, const QByteArray& sent) {
    held_.set(block, sent);
    confirmed_ = true;
  });
  connect(&machine, &TransferMachine::chainFinished, this, [this](Chain chain) {
    if (chain == Chain::Connect) {
      if (!restoreCheck_.running()) record(QStringLiteral("download"));
    } else {
      submitEnded();
    }
  });
  // A submit chain that timed out after a confirmation has still changed the device.
  connect(&machine, &TransferMachine::chainAborted, this, [this](Chain chain) {
    if (chain != Chain::Connect) submitEnded();
  });
  connect(&restoreCheck, &RestoreCheck::finished, this, [this](bool ok) {
    const bool reachedDevice = confirmed_;
    confirmed_ = false;
    if (ok) {
      record(QStringLiteral("restore"));
    } else if (reachedDevice) {
      // The device holds something new even though the restore failed: what it held is what
      // the user needs to find out what went wrong, or to go back.
      record(QStringLiteral("unverified restore"));
    }
  });
}

void HistoryRecorder::submitEnded() {
  if (!confirmed_ || restoreCheck_.running()) return;
  confirmed_ = false;
  record(QStringLiteral("submit"));
}

void HistoryRecorder::record(const QString& event) {
  if (library_ == nullptr || !held_.complete()) return;
  const Result<bool> added = library_->history().add(event, ConfigBytes::fromDevice(held_));
  if (!added.ok()) {
    Q_EMIT logLine(tr("device history not kept: %1").arg(added.error));
  } else if (*added.value) {
    Q_EMIT recorded(event);
  }
}

}  // namespace tarvik
