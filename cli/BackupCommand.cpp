// SPDX-License-Identifier: MIT
#include <QTimer>

#include "cli/CliRun.h"
#include "cli/DeviceCommand.h"
#include "config/UserFile.h"

namespace tarvik::cli {

// `backup FILE`: downloads all four blocks and writes them as a full backup (FullBackup),
// replacing FILE atomically. FILE is only touched once the whole download has arrived. FILE "-"
// is standard output, which then carries the backup's bytes and nothing else.
class BackupCommand : public DeviceCommand {
  Q_OBJECT
 public:
  using DeviceCommand::DeviceCommand;

 protected:
  void readFile() override { refuseUnwritableFile(); }
  void begin() override { openAndDownload(); }
  void onDownloaded() override {
    // The device has said all it will. Its ports close first, once the reply that ended the
    // download has left the input's handling, and side by side with the writing below.
    QTimer::singleShot(0, this, [this] {
      session().close();
      save();
    });
  }

 private:
  // Writes what the device sent.
  void save() {
    // What the device sent, through the editors' rules; every byte they change is said.
    const DeviceBackup backup = core().deviceBackup();
    warn(backup.contents.changes);
    if (options().fileIsStandardStream()) {
      // The text is ASCII; it leaves as it would be saved.
      out() << QString::fromLatin1(backup.text());
      finish(ExitCode::Ok);
      return;
    }
    if (!backup.save(options().file)) {
      fail(ExitCode::UsageOrFile, tr("cannot write %1").arg(UserFile::shown(options().file)));
      return;
    }
    out() << tr("backup written to %1").arg(UserFile::shown(options().file)) << Qt::endl;
    finish(ExitCode::Ok);
  }
};

std::unique_ptr<CliCommand> makeBackupCommand(MidiPorts& ports, const CliOptions& options,
                                              Output output) {
  return std::make_unique<BackupCommand>(ports, options, output);
}

}  // namespace tarvik::cli

#include "BackupCommand.moc"
