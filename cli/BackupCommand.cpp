// SPDX-License-Identifier: MIT
#include "cli/BackupCommand.h"

#include <QTimer>

#include "config/BackupContents.h"
#include "config/FullBackup.h"
#include "config/UserFile.h"

namespace tarvik::cli {

BackupCommand::BackupCommand(MidiPorts& ports, const CliOptions& options, Output output,
                             QObject* parent)
    : DeviceCommand(ports, options, output, parent) {}

void BackupCommand::readFile() { refuseUnwritableFile(); }

void BackupCommand::onDownloaded(bool ok, const QString& text) {
  // The device has said all it will. Its ports close first, once the reply that ended the
  // download has left the input's handling, and side by side with the writing below.
  QTimer::singleShot(0, this, [this, ok, text] {
    session().close();
    save(ok, text);
  });
}

void BackupCommand::save(bool ok, const QString& text) {
  if (!ok) {
    fail(ExitCode::DeviceFailure, text);
    return;
  }
  // What the device sent, through the editors' rules; every byte they change is said.
  const BackupContents backup = BackupContents::fromDevice(core().deviceBlocks());
  for (const BackupContents::Change& change : backup.changes) {
    err() << kProgramName << ": " << tr("warning: %1").arg(BackupContents::changeText(change))
          << Qt::endl;
  }
  if (options().fileIsStandardStream()) {
    // The text is ASCII; it leaves as it would be saved.
    out() << QString::fromLatin1(FullBackup::serialize(backup.tables, backup.settings));
    finish(ExitCode::Ok);
    return;
  }
  if (!FullBackup::save(options().file, backup.tables, backup.settings)) {
    fail(ExitCode::UsageOrFile, tr("cannot write %1").arg(UserFile::shown(options().file)));
    return;
  }
  out() << tr("backup written to %1").arg(UserFile::shown(options().file)) << Qt::endl;
  finish(ExitCode::Ok);
}

}  // namespace tarvik::cli
