// SPDX-License-Identifier: MIT
#include "app/FullBackupActions.h"

#include <utility>

#include "app/CarefulRetry.h"
#include "app/Dialogs.h"
#include "app/EditTracking.h"
#include "app/TablesFile.h"
#include "config/BackupContents.h"
#include "config/FullBackup.h"
#include "config/TvkFile.h"
#include "config/UserFile.h"

namespace tarvik {

FullBackupActions::FullBackupActions(Dialogs& dialogs, QWidget* owner, ConfiguratorCore& core,
                                     EditTracking& edits, CarefulRetry& retry, Log log,
                                     QObject* parent)
    : QObject(parent),
      dialogs_(dialogs),
      owner_(owner),
      core_(core),
      log_(std::move(log)),
      edits_(edits),
      retry_(retry) {
  connect(&core_, &ConfiguratorCore::fullDownloadFinished, this, &FullBackupActions::onDownloaded);
  connect(&core_, &ConfiguratorCore::restoreFinished, this, &FullBackupActions::onRestored);
}

void FullBackupActions::backUp() {
  if (core_.busy()) return;
  if (!edits_.mayDiscard(tr("before the backup reads the configuration from Tarvik"))) return;
  // A full backup is a .tvk file: "Load from File" reads its tables.
  const QString path = dialogs_.saveFileName(owner_, TablesFile::filter(), TablesFile::suffix);
  if (path.isEmpty()) return;
  retry_.start([this, path] { return startBackup(path); });
}

bool FullBackupActions::startBackup(const QString& path) {
  log_(tr("Back up everything: reading all blocks from Tarvik..."));
  if (!core_.startFullDownload()) return false;
  path_ = path;
  backingUp_ = true;
  Q_EMIT runningChanged(true);
  return true;
}

void FullBackupActions::restore() {
  if (core_.busy()) return;
  if (!edits_.mayDiscard(tr("before the restore replaces them"))) return;
  const QString path = dialogs_.openFileName(owner_, TablesFile::filter(), TablesFile::suffix);
  if (path.isEmpty()) return;
  // Only a whole file: the device would otherwise get defaults where the file is silent.
  const FullBackup::LoadResult file = FullBackup::loadWhole(path);
  if (!file.ok()) {
    error(file.message);
    return;
  }
  const QString shownPath = UserFile::shown(path);
  log_(file.settings ? tr("Restore everything from %1...").arg(shownPath)
                     : tr("Restore the tables from %1 (it has no settings)...").arg(shownPath));
  // The names go into the editors with the rest, never to the device; names the file holds
  // wrongly are left out, as a load leaves them out.
  const bool namesRead = file.namesProblem.isEmpty();
  if (!namesRead) {
    log_(tr("The preset names in %1 are left out: %2").arg(shownPath, file.namesProblem));
  }
  if (!file.labelsProblem.isEmpty()) {
    log_(tr("The loop names in %1 are left out: %2").arg(shownPath, file.labelsProblem));
  }
  startRestore(*file.tables, file.settings, namesRead ? file.names : PresetNames(),
               file.labelsProblem.isEmpty() ? file.labels : LoopLabels());
}

void FullBackupActions::restoreContents(const QString& what, const ConfigBytes& bytes,
                                        const std::optional<PresetNames>& names,
                                        const LoopLabels& labels) {
  if (core_.busy()) return;
  if (!edits_.mayDiscard(tr("before the restore replaces them"))) return;
  log_(bytes.settings ? tr("Send %1 to Tarvik...").arg(what)
                      : tr("Send %1 to Tarvik (it has no settings)...").arg(what));
  startRestore(bytes.tables(), bytes.settings, names, labels);
}

void FullBackupActions::sendEditors() {
  if (core_.busy()) return;
  const Configuration& configuration = core_.configuration();
  log_(tr("Send the editors to Tarvik..."));
  retry_.start([this, &configuration] {
    if (!core_.restore(configuration.tables(), configuration.recordBytes(), configuration.names()))
      return false;
    Q_EMIT runningChanged(true);
    return true;
  });
}

void FullBackupActions::startRestore(const PresetTables& tables,
                                     const std::optional<FullBackup::Settings>& settings,
                                     const std::optional<PresetNames>& names,
                                     const LoopLabels& labels) {
  retry_.start([this, tables, settings, names, labels] {
    if (!core_.restore(tables, settings, names.value_or(core_.configuration().names()), labels))
      return false;
    core_.fileHolds(
        {tables.presetPayload(), tables.ccMapPayload(), tables.pcRemapPayload(), settings}, names,
        labels.isEmpty() ? std::nullopt : std::optional(labels));
    Q_EMIT runningChanged(true);
    return true;
  });
}

void FullBackupActions::onDownloaded(bool ok, const QString& text) {
  if (!std::exchange(backingUp_, false)) return;
  Q_EMIT runningChanged(false);
  if (!ok) {
    log_(tr("Backup failed: %1").arg(text));
    Q_EMIT finished(false);
    return;
  }
  // What the device sent, not what the editors hold: nothing edited meanwhile gets in. The
  // loops' labels are the editors': the device has none, and without them a backup of
  // everything would lose what sits in which loop.
  const DeviceBackup backup = core_.deviceBackup(core_.configuration().labels());
  if (!backup.save(path_)) {
    error(cannotWriteText(path_));
    Q_EMIT finished(false);
    return;
  }
  core_.fileHolds(backup.bytes());
  // The device keeps no names, so the backup holds none: the editors' names stay as saved, or
  // as unsaved, as they were.
  log_(tr("Backup written to %1").arg(UserFile::shown(path_)));
  reportChanges(backup.contents);
  Q_EMIT finished(true);
}

void FullBackupActions::reportChanges(const BackupContents& backup) {
  if (backup.changes.empty()) return;
  QStringList lines;
  for (const BackupContents::Change& change : backup.changes) {
    lines << BackupContents::changeText(change);
    log_(tr("Backup differs from Tarvik: %1").arg(lines.last()));
  }
  dialogs_.warning(owner_, tr("Warning"),
                   tr("The backup was written, but it does not keep every value as Tarvik holds "
                      "it: this program sends these values otherwise, and the backup holds what "
                      "it would send.\n\n%1")
                       .arg(lines.join(QLatin1Char('\n'))));
}

void FullBackupActions::onRestored(bool ok, const QString& text) {
  Q_EMIT runningChanged(false);
  if (ok) {
    const int tries = core_.restoreTries();
    log_(tries > 1 ? tr("Restore verified (%1 tries): %2").arg(tries).arg(text)
                   : tr("Restore verified: %1").arg(text));
  } else {
    log_(tr("Restore failed: %1").arg(text));
    const RestoreCheck::Problem problem = core_.restoreProblem();
    if (problem == RestoreCheck::Problem::Differs || problem == RestoreCheck::Problem::Busy ||
        problem == RestoreCheck::Problem::Interfered)
      error(tr("Restore failed: %1").arg(text));
  }
  Q_EMIT finished(ok);
}

void FullBackupActions::error(const QString& text) {
  log_(text);
  dialogs_.error(owner_, tr("Error"), text);
}

}  // namespace tarvik
