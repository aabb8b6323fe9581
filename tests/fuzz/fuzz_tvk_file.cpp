// SPDX-License-Identifier: MIT
// Any bytes as a .tvk file: reading must never crash, and whatever it accepts must survive a
// save and a second load unchanged.
#include "FuzzInput.h"
#include "config/TvkFile.h"

using namespace tarvik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const TvkFile::LoadResult first = TvkFile::parse(text);
  if (!first.ok()) {
    fuzz::require(!first.message.isEmpty(), "a refused file says why");
    return 0;
  }
  const PresetTables& tables = *first.tables;
  for (int row = 0; row < PresetTables::kRows; ++row) {
    fuzz::require(tables.cc(row) >= -1 && tables.cc(row) < PresetTables::kCcItems,
                  "cc is an item index or -1");
    fuzz::require(tables.pcRemap(row) >= -1 && tables.pcRemap(row) < PresetTables::kPcRemapItems,
                  "pcremap is an item index or -1");
  }
  const TvkFile::LoadResult second = TvkFile::parse(TvkFile::serialize(tables));
  fuzz::require(second.ok() && *second.tables == tables, "save and load again keeps the tables");
  // What the program saves, restore and import take: a saved file never has a gap.
  fuzz::require(second.gaps.none(), "a saved file is whole");
  return 0;
}
