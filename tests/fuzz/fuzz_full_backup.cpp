// SPDX-License-Identifier: MIT
// Any bytes as a full backup (a .tvk file with "[settings]"), as `restore` and the window's
// "Restore everything..." read it: reading must never crash; it must take the tables exactly as
// the .tvk reader does; and whatever it accepts must survive a save and a second load unchanged.
#include "FuzzInput.h"
#include "config/FullBackup.h"
#include "config/TvkFile.h"

using namespace tarvik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const FullBackup::LoadResult first = FullBackup::parse(text);
  if (!first.ok()) {
    fuzz::require(!first.message.isEmpty(), "a refused backup says why");
    fuzz::require(!first.settings.has_value(), "a refused backup hands out no settings");
    return 0;
  }
  const TvkFile::LoadResult tables = TvkFile::parse(text);
  fuzz::require(tables.ok() && *tables.tables == *first.tables,
                "the tables are read as the .tvk reader reads them");

  const QByteArray saved = first.settings ? FullBackup::serialize(*first.tables, *first.settings)
                                          : TvkFile::serialize(*first.tables);
  const FullBackup::LoadResult second = FullBackup::parse(saved);
  fuzz::require(second.ok() && *second.tables == *first.tables,
                "save and load again keeps the tables");
  fuzz::require(second.settings == first.settings, "save and load again keeps the settings");
  return 0;
}
