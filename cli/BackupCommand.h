// SPDX-License-Identifier: MIT
#pragma once

#include "cli/DeviceCommand.h"

namespace tarvik::cli {

// `backup FILE`: downloads all four blocks and writes them as a full backup (FullBackup),
// replacing FILE atomically. FILE is only touched once the whole download has arrived. FILE "-"
// is standard output, which then carries the backup's bytes and nothing else.
class BackupCommand : public DeviceCommand {
  Q_OBJECT
 public:
  BackupCommand(MidiPorts& ports, const CliOptions& options, Output output,
                QObject* parent = nullptr);

 protected:
  void readFile() override;
  void begin() override { openAndDownload(); }
  void onDownloaded(bool ok, const QString& text) override;

 private:
  // Writes what the device sent, or says why not.
  void save(bool ok, const QString& text);
};

}  // namespace tarvik::cli
