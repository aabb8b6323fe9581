// SPDX-License-Identifier: MIT
#include "cli/BackupCommand.h"

#include <QFileInfo>
#include <QTimer>

#include "config/BackupContents.h"
#include "config/FullBackup.h"
#include "config/UserFile.h"

namespace tarvik::cli {

BackupCommand::BackupCommand(MidiPorts& ports, const CliOptions& options, Output output,
                             QObject* parent)
    : CliCommand(output, parent),
      options_(options),
      session_(ports, options.verbose ? &output.err : nullptr, options.library),
      download_(session_.core().fullDownload()) {
  connect(&download_, &FullDownload::finished, this, &BackupCommand::onDownloaded);
}

void BackupCommand::readFile() {
  if (options_.fileIsStandardStream()) return;
  // A file that cannot be written fails now rather than after the device has been read. The
  // save replaces the file through a new one in its folder, which it must be able to write.
  const QFileInfo target(options_.file);
  const QFileInfo folder(target.absolutePath());
  if (!folder.isDir() || !folder.isWritable() || target.isDir() ||
      (target.exists() && !target.isWritable())) {
    fail(ExitCode::UsageOrFile, tr("cannot write %1").arg(UserFile::shown(options_.file)));
  }
}

void BackupCommand::begin() {
  if (const QString problem = session_.open(options_.in, options_.out); !problem.isEmpty()) {
    fail(ExitCode::DeviceFailure, problem);
    return;
  }
  session_.keepHistory(err());
  if (!download_.start()) fail(ExitCode::DeviceFailure, tr("the link is busy"));
}

void BackupCommand::onDownloaded(bool ok, const QString& text) {
  // The device has said all it will. Its ports close first, once the reply that ended the
  // download has left the input's handling, and side by side with the writing below.
  QTimer::singleShot(0, this, [this, ok, text] {
    session_.close();
    save(ok, text);
  });
}

void BackupCommand::save(bool ok, const QString& text) {
  if (!ok) {
    fail(ExitCode::DeviceFailure, text);
    return;
  }
  // What the device sent, through the editors' rules; every byte they change is said.
  const BackupContents backup = BackupContents::fromDevice(session_.core().deviceBlocks());
  for (const BackupContents::Change& change : backup.changes) {
    err() << kProgramName << ": " << tr("warning: %1").arg(BackupContents::changeText(change))
          << Qt::endl;
  }
  if (options_.fileIsStandardStream()) {
    // The text is ASCII; it leaves as it would be saved.
    out() << QString::fromLatin1(FullBackup::serialize(backup.tables, backup.settings));
    finish(ExitCode::Ok);
    return;
  }
  if (!FullBackup::save(options_.file, backup.tables, backup.settings)) {
    fail(ExitCode::UsageOrFile, tr("cannot write %1").arg(UserFile::shown(options_.file)));
    return;
  }
  out() << tr("backup written to %1").arg(UserFile::shown(options_.file)) << Qt::endl;
  finish(ExitCode::Ok);
}

}  // namespace tarvik::cli
