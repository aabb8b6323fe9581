// SPDX-License-Identifier: MIT
#include "core/DeviceBackup.h"

#include "config/FullBackup.h"

namespace tarvik {

QByteArray DeviceBackup::text() const {
  return FullBackup::serialize(contents.tables, contents.settings, {}, labels);
}

bool DeviceBackup::save(const QString& path) const {
  // The device keeps no names, so the backup holds none.
  return FullBackup::save(path, contents.tables, contents.settings, {}, labels);
}

ConfigBytes DeviceBackup::bytes() const {
  const PresetTables& tables = contents.tables;
  return {tables.presetPayload(), tables.ccMapPayload(), tables.pcRemapPayload(),
          contents.settings};
}

}  // namespace tarvik
