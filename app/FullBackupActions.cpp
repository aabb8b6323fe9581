// SPDX-License-Identifier: MIT
#include "app/FullBackupActions.h"

#include "app/Dialogs.h"
#include "config/FullBackup.h"

namespace tarvik {
namespace {

// A full backup is a .tvk file: "Load from File" reads its tables.
const QString kFilter = QStringLiteral("Tarvik Config File (*.tvk)");
const QString kSuffix = QStringLiteral("tvk");

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
  path_ = dialogs_.saveFileName(owner_, kFilter, kSuffix);
  if (path_.isEmpty()) return;
  log_(QStringLiteral("Back up everything: reading all blocks from Tarvik..."));
  if (!download_.start()) return;
  Q_EMIT runningChanged(true);
}

void FullBackupActions::restore() {
  if (running() || machine_.chainRunning() || machine_.flashOwnsLink()) return;
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

void FullBackupActions::error(const QString& text) {
  log_(text);
  dialogs_.error(owner_, QStringLiteral("Error"), text);
}

}  // namespace tarvik
