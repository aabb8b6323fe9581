// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "firmware/FirmwareImage.h"

namespace tarvik {

class FirmwareBackup;
class ServerFile;

// The firmware update as one operation, the same for the window and tarvik-cli: the image
// (given, or "firmware.txt" downloaded from the update server and checked), the setup kept
// before the flash (FirmwareBackup), then the flash. What each step says to the user is the
// front end's: the operation reports the steps and every way it can end without a flash.
//
// A device that a flash may have left in its bootloader cannot be read: it is flashed without
// a backup, as one the plan asks none of.
class FirmwareUpdate : public QObject {
  Q_OBJECT
 public:
  // How the flash goes ahead: after the setup was kept, without one because the plan asked
  // none, because the device may be in its bootloader, or because the user chose to go on
  // after the backup failed.
  enum class Backup { Kept, NotAsked, InBootloader, GoneWithout };
  // Why nothing was flashed after the image was checked: the plan's ready() said no, the link
  // was busy when the backup was to start, or no backup could be taken and the plan did not
  // flash without one.
  enum class Stop { NotReady, Busy, NoBackup };

  struct Plan {
    // Empty: the update server's firmware, downloaded and checked first.
    std::optional<FirmwareImage> image;
    // What the kept setup is marked with ("before firmware X").
    QString version;
    bool backup = true;
    // Once the image is checked, before anything goes to the device: with `backingUp`, the
    // file to keep the setup in besides the device history (empty for none). Nullopt stops
    // the update. Unset: ready, with no file.
    std::function<std::optional<QString>(bool backingUp)> ready;
    // No backup could be taken, for `why`: true flashes without one. Unset: false.
    std::function<bool(const QString& why)> flashWithoutBackup;
  };

  // `flash` starts the flash of a checked image. All must outlive this.
  FirmwareUpdate(ServerFile& download, FirmwareBackup& backup,
                 std::function<void(const FirmwareImage&)> flash, QObject* parent = nullptr);

  // False, with nothing reported, while an update runs.
  bool start(Plan plan);
  // From the download's start until the flash starts or the update stops.
  bool running() const { return plan_.has_value(); }

  // The download's outcome and the backup's (connected by the owner, after the receivers
  // of its own signals for them, so that front ends hear of the backup before the flash).
  void downloaded(const QByteArray& body);
  void downloadFailed();
  void backedUp(bool ok, const QString& text);

 Q_SIGNALS:
  // The downloaded firmware does not pass the check; nothing was sent.
  void refused(const tarvik::FirmwareImage& image);
  // The setup is being read and kept for firmware `version`.
  void backingUp(const QString& version);
  // Right before the flash starts.
  void flashing(const tarvik::FirmwareImage& image, tarvik::FirmwareUpdate::Backup backup);
  // `text`: why no backup could be taken, for Stop::NoBackup.
  void stopped(tarvik::FirmwareUpdate::Stop why, const QString& text);

 private:
  // By value: both end the plan that may hold the image.
  void proceed(FirmwareImage image);
  void flashNow(FirmwareImage image, Backup backup);
  void stop(Stop why, const QString& text = {});

  ServerFile& download_;
  FirmwareBackup& backup_;
  std::function<void(const FirmwareImage&)> flash_;
  std::optional<Plan> plan_;
  // Checked and waiting for the backup.
  std::optional<FirmwareImage> image_;
};

}  // namespace tarvik
