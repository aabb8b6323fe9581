// SPDX-License-Identifier: MIT
#include "config/BackupContents.h"

#include <algorithm>
#include <span>

#include "config/ConfigBytes.h"

namespace tarvik {
namespace {

template <std::size_t N>
std::span<const std::uint8_t, N> itemsOf(const QByteArray& bytes) {
  return std::span<const std::uint8_t, N>(reinterpret_cast<const std::uint8_t*>(bytes.data()), N);
}

template <std::size_t N>
void listChanges(Block block, const QByteArray& device, const std::array<std::uint8_t, N>& kept,
                 std::vector<BackupContents::Change>& changes) {
  for (std::size_t i = 0; i < N; ++i) {
    const auto held = static_cast<std::uint8_t>(device[static_cast<qsizetype>(i)]);
    if (held != kept[i]) changes.push_back({block, static_cast<int>(i), held, kept[i]});
  }
}

}  // namespace

BackupContents BackupContents::fromDevice(const DeviceBlocks& device) {
  BackupContents backup;
  backup.tables.applyPresets(itemsOf<kTableSize>(device[Block::Presets]));
  backup.tables.applyCcMap(itemsOf<kTableSize>(device[Block::CcMap]));
  backup.tables.applyPcRemap(itemsOf<kTableSize>(device[Block::PcRemap]));
  FullBackup::Settings held{};
  std::ranges::copy(itemsOf<kConfigRecordSize>(device[Block::Record]), held.begin());
  backup.settings = ConfigBytes::keptSettings(held);

  listChanges(Block::Presets, device[Block::Presets], backup.tables.presetPayload(),
              backup.changes);
  listChanges(Block::CcMap, device[Block::CcMap], backup.tables.ccMapPayload(), backup.changes);
  listChanges(Block::PcRemap, device[Block::PcRemap], backup.tables.pcRemapPayload(),
              backup.changes);
  listChanges(Block::Record, device[Block::Record], backup.settings, backup.changes);
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
