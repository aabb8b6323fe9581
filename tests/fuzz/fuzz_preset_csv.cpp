// SPDX-License-Identifier: MIT
// Any bytes as a spreadsheet's CSV of the presets: reading must never crash, a refusal names its
// line, and whatever it accepts must come back the same once written and read again.
#include "FuzzInput.h"
#include "config/PresetCsv.h"

using namespace tarvik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const PresetCsv::Read first = PresetCsv::parse(text);
  if (!first.ok()) {
    fuzz::require(!first.error.isEmpty(), "a refused CSV says why");
    return 0;
  }
  fuzz::require(first.presets->size() == kTableSize, "every preset, once");
  const PresetTables tables = first.bytes().tables();
  const PresetCsv::Read second = PresetCsv::parse(PresetCsv::write(tables, first.names()));
  fuzz::require(second.ok() && *second.presets == *first.presets,
                "written and read again, the presets are the same");
  return 0;
}
