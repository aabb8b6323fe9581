// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include "config/BackupContents.h"
#include "config/ConfigBytes.h"
#include "config/LoopLabels.h"

namespace tarvik {

// A backup file of what the device sent in its last whole download: the one writer behind the
// window's "Back up everything...", tarvik-cli's `backup` and the backup before a flash, so that
// the three files hold the same bytes for the same device. The blocks go through the editors'
// rules (BackupContents, whose changes name every byte they keep otherwise); the loops' labels
// come from whoever has them, as the device keeps none.
struct DeviceBackup {
  BackupContents contents;
  LoopLabels labels;

  // `device` must be complete().
  static DeviceBackup of(const DeviceBlocks& device, const LoopLabels& labels = {}) {
    return {BackupContents::fromDevice(device), labels};
  }
  // The file's text (FullBackup::serialize), for a stream that is not a file.
  QByteArray text() const;
  // Replaces `path` atomically; false when it could not be written (the old file stays).
  bool save(const QString& path) const;
  // What the file holds of the device's blocks, as a file's contents are measured.
  ConfigBytes bytes() const;
};

}  // namespace tarvik
