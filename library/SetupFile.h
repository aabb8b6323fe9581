// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include "library/LibraryResult.h"
#include "library/Setup.h"

namespace tarvik {

// A setup as a file and back: the backup file (FullBackup), which a plain .tvk file is a part of.
class SetupFile {
 public:
  // A .tvk or backup file as a setup named after the file without its extension ("rig.tvk" ->
  // "rig"). Refused with "<file>: <reason>" when a restore would refuse the file (a cut one
  // too), when its "[names]" or "[loops]" section cannot be kept as written, and when the name
  // cannot name a setup.
  static Result<Setup> read(const QString& path);

  // What the backup writer makes of the setup's tables and settings (none: the .tvk text
  // alone), then "[names]" when a preset has a name and "[loops]" when a loop has a label. The
  // tables go through the editors' clamps as they do in any saved file; the settings are written as
  // stored.
  static QByteArray backupText(const Setup& setup);
};

}  // namespace tarvik
