// SPDX-License-Identifier: MIT
#include "config/ConfigBytes.h"

#include <algorithm>

namespace tarvik {

ConfigBytes ConfigBytes::fromTables(const PresetTables& tables,
                                    const std::optional<Settings>& settings) {
  return {tables.presetPayload(), tables.ccMapPayload(), tables.pcRemapPayload(), settings};
}

namespace {

template <std::size_t N>
void copyBlock(const QByteArray& bytes, std::array<std::uint8_t, N>& into) {
  Q_ASSERT(bytes.size() == static_cast<qsizetype>(N));
  std::copy(bytes.cbegin(), bytes.cend(), into.begin());
}

}  // namespace

ConfigBytes ConfigBytes::fromDevice(const DeviceBlocks& device) {
  ConfigBytes bytes;
  copyBlock(device[Block::Presets], bytes.presets);
  copyBlock(device[Block::CcMap], bytes.ccMap);
  copyBlock(device[Block::PcRemap], bytes.pcRemap);
  copyBlock(device[Block::Record], bytes.settings.emplace());
  return bytes;
}

PresetTables ConfigBytes::tables() const {
  PresetTables tables;
  tables.applyPresets(presets);
  tables.applyCcMap(ccMap);
  tables.applyPcRemap(pcRemap);
  return tables;
}

}  // namespace tarvik
