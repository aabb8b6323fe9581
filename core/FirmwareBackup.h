// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "config/ConfigBytes.h"
#include "config/DeviceBlocks.h"

namespace tarvik {

class FullDownload;
class SetupLibrary;

// The full backup taken before a firmware update, and what the device holds after it. A new
// firmware may start from its factory configuration, so the setup is read from the device and
// kept as a snapshot of the device history marked "before firmware X" (and, when asked, a
// backup file) before the flash may start. At the first download after a written flash the
// device is compared with it, so that a front end can say what was lost and offer it back.
//
// The download is the core's own full download, so the configuration then holds the device's:
// a front end asks before unsaved work would go, as for any other download.
class FirmwareBackup : public QObject {
  Q_OBJECT
 public:
  struct Kept {
    qint64 snapshot = 0;
    QString file;  // empty when none was asked for
    QString version;
    ConfigBytes bytes;
  };

  FirmwareBackup(FullDownload& download, const DeviceBlocks& device,
                 std::function<SetupLibrary*()> library, QObject* parent = nullptr);

  // Reads the device and keeps it for the flash of firmware `version`, also in `file` unless
  // that is empty. False (nothing sent, nothing reported) while the link is busy. Without a
  // library nothing is read: the backup fails at once, as one that could not be stored.
  bool start(const QString& version, const QString& file = {});
  bool running() const { return running_; }
  // The last backup taken, until the device has been compared with it after the flash.
  const std::optional<Kept>& kept() const { return kept_; }
  // "snapshot 12 of the device history" and, with a file, " and rig.tvk": for a line or a box.
  QString whereText() const;
  // A flash was written after the backup, and the device has not been compared with it since.
  bool awaitingCheck() const { return awaitingCheck_; }

  // A flash may have left the device in its bootloader (the port went, or the write was never
  // confirmed): it cannot answer a backup's download then, and the next flash goes without one.
  bool deviceMayBeInBootloader() const { return inBootloader_; }
  void flashEnded(bool written, bool mayBeInBootloader);
  // The device answered an identify: it runs a firmware, not its bootloader.
  void deviceAnswered() { inBootloader_ = false; }
  // A download of all four blocks ended; after a written flash, the device is compared with the
  // backup once (comparedAfterFlash).
  void deviceDownloaded();

 Q_SIGNALS:
  // `text`: where the backup is kept, or why none could be taken.
  void finished(bool ok, const QString& text);
  // The first download after a written flash, against the backup: one line per differing byte
  // (ConfigDiff's), empty when the device holds what it held before.
  void comparedAfterFlash(const QStringList& differences);

 private:
  void onDownloaded(bool ok, const QString& text);
  QString keep(const QString& version, const QString& file);

  FullDownload& download_;
  const DeviceBlocks& device_;
  std::function<SetupLibrary*()> library_;
  bool running_ = false;
  QString version_;
  QString file_;
  std::optional<Kept> kept_;
  bool awaitingCheck_ = false;
  bool inBootloader_ = false;
};

}  // namespace tarvik
