// SPDX-License-Identifier: MIT
#include "cli/DeviceCommand.h"

#include <QFileInfo>

#include "config/UserFile.h"

namespace tarvik::cli {

DeviceCommand::DeviceCommand(MidiPorts& ports, const CliOptions& options, Output output)
    : CliCommand(output),
      options_(options),
      session_(ports, options.verbose ? &output.err : nullptr, options.library) {
  core().setTransferCare(options.care);
}

void DeviceCommand::openAndRun(const std::function<bool()>& work, int failure) {
  if (const QString problem = session_.open(options_.in, options_.out); !problem.isEmpty()) {
    fail(failure, problem);
    return;
  }
  session_.keepHistory(err());
  if (!work()) fail(failure, busyText());
}

QString DeviceCommand::busyText() {
  return core().heardUnaskedReplies() ? ConfiguratorCore::unaskedRepliesText()
                                      : tr("the link is busy");
}

void DeviceCommand::openAndDownload(int failure) {
  // Only the download this command starts: a restore's read-back and the backup before a flash
  // run the same download and report through their own signals.
  connect(&core(), &ConfiguratorCore::fullDownloadFinished, this,
          [this, failure](bool ok, const QString& text) {
            if (ok) {
              onDownloaded();
            } else {
              fail(failure, text);
            }
          });
  openAndRun([this] { return core().startFullDownload(); }, failure);
}

SetupLibrary* DeviceCommand::libraryOrFail() {
  SetupLibrary* library = session_.library();
  if (library == nullptr) fail(ExitCode::UsageOrFile, session_.libraryError());
  return library;
}

void DeviceCommand::refuseUnwritableFile() {
  if (options_.fileIsStandardStream()) return;
  // The save replaces the file through a new one in its folder, which it must be able to write.
  const QFileInfo target(options_.file);
  const QFileInfo folder(target.absolutePath());
  if (!folder.isDir() || !folder.isWritable() || target.isDir() ||
      (target.exists() && !target.isWritable())) {
    fail(ExitCode::UsageOrFile, tr("cannot write %1").arg(UserFile::shown(options_.file)));
  }
}

void DeviceCommand::warn(const std::vector<BackupContents::Change>& changes) {
  for (const BackupContents::Change& change : changes) {
    err() << kProgramName << ": " << tr("warning: %1").arg(BackupContents::changeText(change))
          << Qt::endl;
  }
}

}  // namespace tarvik::cli
