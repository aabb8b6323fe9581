// SPDX-License-Identifier: MIT
#pragma once

#include "config/ConfigBytes.h"
#include "config/PresetTables.h"
#include "sim/TarvikContents.h"

namespace tarvik::testing {

// The tables a device's contents hold, as the program reads them.
inline PresetTables tablesOf(const TarvikContents& contents) {
  return ConfigBytes{contents.presets, contents.ccMap, contents.pcRemap, std::nullopt}.tables();
}

}  // namespace tarvik::testing
