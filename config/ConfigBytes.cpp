// SPDX-License-Identifier: MIT
#include "config/ConfigBytes.h"

namespace tarvik {

ConfigBytes ConfigBytes::fromTables(const PresetTables& tables,
                                    const std::optional<Settings>& settings) {
  return {tables.presetPayload(), tables.ccMapPayload(), tables.pcRemapPayload(), settings};
}

PresetTables ConfigBytes::tables() const {
  PresetTables tables;
  tables.applyPresets(presets);
  tables.applyCcMap(ccMap);
  tables.applyPcRemap(pcRemap);
  return tables;
}

}  // namespace tarvik
