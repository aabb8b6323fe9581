// SPDX-License-Identifier: MIT
#include "app/FullBackupActions.h"

#include "app/Dialogs.h"
#include "app/EditTracking.h"
#include "config/FullBackup.h"

namespace tarvik {
namespace {

// A full backup is a .tvk file: "Load from File" reads its tables.
const QString kFilter = QStringLiteral("Tarvik Config File (*.tvk)");
const QString kSuffix = QStringLiteral("tvk");

template <std::size_t N>
QByteArray bytesOf(const std::array<std::uint8_t, N>& bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(N));
}

}  // namespace

FullBackupActions::FullBackupActions(Dialogs& dialogs, QWidget* owner, DeviceLink& link,
                                     TransferMachine& machine, Configuration& configuration,
                                     Log log, QObject* parent)
    : QObject(parent),
      dialogs_(dialogs),
      owner_(owner),
      machine_(machine),
      configuration_(configuration),
      log_(std::move(log)),
      download_(machine),
      check_(link, machine, configuration) {
  connect(&download_, &FullDownload::finished, this, &FullBackupActions::onDownloaded);
  connect(&check_, &RestoreCheck::finished, this, &FullBackupActions::onRestored);
}

void FullBackupActions::backUp() {
  if (running() || machine_.chainRunning() || machine_.flashOwnsLink()) return;
  if (!mayDiscard(QStringLiteral("before the backup reads the configuration from Tarvik"))) return;
  path_ = dialogs_.saveFileName(owner_, kFilter, kSuffix);
  if (path_.isEmpty()) return;
  log_(QStringLiteral("Back up everything: reading all blocks from Tarvik..."));
  if (!download_.start()) return;
  Q_EMIT runningChanged(true);
}

void FullBackupActions::restore() {
  if (running() || machine_.chainRunning() || machine_.flashOwnsLink()) return;
  if (!mayDiscard(QStringLiteral("before the restore replaces them"))) return;
  const QString path = dialogs_.openFileName(owner_, kFilter, kSuffix);
  if (path.isEmpty()) return;
  const FullBackup::LoadResult file = FullBackup::load(path);
  if (!file.ok()) {
    error(file.message);
    return;
  }
  log_(file.settings
           ? QStringLiteral("Restore everything from %1...").arg(path)
           : QStringLiteral("Restore the tables from %1 (it has no settings)...").arg(path));
  if (!check_.start(*file.tables, file.settings)) return;
  if (edits_ != nullptr) {
    ChangeMarks& marks = edits_->marks();
    marks.fileHolds(Block::Presets, bytesOf(file.tables->presetPayload()));
    marks.fileHolds(Block::CcMap, bytesOf(file.tables->ccMapPayload()));
    marks.fileHolds(Block::PcRemap, bytesOf(file.tables->pcRemapPayload()));
    if (file.settings) marks.fileHolds(Block::Record, bytesOf(*file.settings));
  }
  Q_EMIT runningChanged(true);
}

void FullBackupActions::onDownloaded(bool ok, const QString& text) {
  Q_EMIT runningChanged(false);
  if (!ok) {
    log_(QStringLiteral("Backup failed: ") + text);
    Q_EMIT finished(false);
    return;
  }
  if (!FullBackup::save(path_, configuration_.tables(), configuration_.recordBytes())) {
    error(QStringLiteral("In %1 kann nicht geschrieben werden.").arg(path_));
    Q_EMIT finished(false);
    return;
  }
  if (edits_ != nullptr) {
    edits_->marks().fileHolds({Block::Presets, Block::CcMap, Block::PcRemap, Block::Record});
  }
  log_(QStringLiteral("Backup written to ") + path_);
  Q_EMIT finished(true);
}

void FullBackupActions::onRestored(bool ok, const QString& text) {
  Q_EMIT runningChanged(false);
  if (ok) {
    log_(QStringLiteral("Restore verified: ") + text);
  } else {
    log_(QStringLiteral("Restore failed: ") + text);
    const RestoreCheck::Problem problem = check_.problem();
    if (problem == RestoreCheck::Problem::Differs || problem == RestoreCheck::Problem::Busy)
      error(QStringLiteral("Restore failed: ") + text);
  }
  Q_EMIT finished(ok);
}

bool FullBackupActions::mayDiscard(const QString& beforeWhat) {
  return edits_ == nullptr || edits_->mayDiscard(beforeWhat);
}

void FullBackupActions::error(const QString& text) {
  log_(text);
  dialogs_.error(owner_, QStringLiteral("Error"), text);
}

}  // namespace tarvik
