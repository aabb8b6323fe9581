// SPDX-License-Identifier: MIT
#include "config/BackupContents.h"

#include "config/ConfigBytes.h"
#include "config/ConfigDiff.h"

namespace tarvik {

BackupContents BackupContents::fromDevice(const DeviceBlocks& device) {
  const ConfigBytes held = ConfigBytes::raw(device);
  const ConfigBytes kept = held.kept();
  BackupContents backup{held.tables(), *kept.settings, {}};
  for (const Difference& change : ConfigDiff::compare({held, {}, {}}, {kept, {}, {}})) {
    backup.changes.push_back({change.block, change.row, change.before, change.after});
  }
  return backup;
}

QString BackupContents::changeText(const Change& change) {
  const QString where =
      change.block == Block::Record
          ? QLatin1String(FullBackup::kSettingKeys[static_cast<std::size_t>(change.row)])
          : tr("%1 row %2").arg(blockName(change.block)).arg(change.row + 1);
  return tr("%1: Tarvik holds %2, the backup keeps %3")
      .arg(where, hexByte(change.device), hexByte(change.kept));
}

}  // namespace tarvik
