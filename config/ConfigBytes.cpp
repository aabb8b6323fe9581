// SPDX-License-Identifier: MIT
#include "config/ConfigBytes.h"

#include <algorithm>

namespace tarvik {

ConfigBytes ConfigBytes::fromTables(const PresetTables& tables,
                                    const std::optional<Settings>& settings) {
  // The editors' record sends "no selection" of the Pin-20 function as 255, which reads back as
  // "none": the form holds what any later read of it would make of it.
  return {tables.presetPayload(), tables.ccMapPayload(), tables.pcRemapPayload(),
          settings ? std::optional(keptSettings(*settings)) : std::nullopt};
}

namespace {

template <std::size_t N>
void copyBlock(const QByteArray& bytes, std::array<std::uint8_t, N>& into) {
  std::copy_n(bytes.cbegin(), std::min<std::size_t>(N, static_cast<std::size_t>(bytes.size())),
              into.begin());
}

}  // namespace

ConfigBytes ConfigBytes::sent(const Configuration& configuration) {
  return {configuration.presetPayload(), configuration.ccMapPayload(),
          configuration.pcRemapPayload(), configuration.recordBytes()};
}

ConfigBytes ConfigBytes::raw(const DeviceBlocks& device) {
  ConfigBytes bytes;
  copyBlock(device[Block::Presets], bytes.presets);
  copyBlock(device[Block::CcMap], bytes.ccMap);
  copyBlock(device[Block::PcRemap], bytes.pcRemap);
  copyBlock(device[Block::Record], bytes.settings.emplace());
  return bytes;
}

QByteArray ConfigBytes::operator[](Block block) const {
  if (block == Block::Record) return settings ? bytesOf(*settings) : QByteArray();
  static constexpr Table ConfigBytes::*kTables[] = {&ConfigBytes::presets, &ConfigBytes::ccMap,
                                                    &ConfigBytes::pcRemap};
  return bytesOf(this->*kTables[static_cast<std::size_t>(block)]);
}

ConfigBytes ConfigBytes::kept() const { return fromTables(tables(), settings); }

ConfigBytes::Settings ConfigBytes::keptSettings(const Settings& settings) {
  // A record of its own, not the editors': those keep hidden CC-message values they never send.
  ConfigRecord record;
  record.apply(settings);
  return record.toBytes();
}

PresetTables ConfigBytes::tables() const {
  PresetTables tables;
  tables.applyPresets(presets);
  tables.applyCcMap(ccMap);
  tables.applyPcRemap(pcRemap);
  return tables;
}

}  // namespace tarvik
