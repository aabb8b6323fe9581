// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

#include "config/ConfigRecord.h"
#include "config/LoopLabels.h"
#include "config/PresetNames.h"
#include "config/PresetTables.h"
#include "config/TvkFile.h"

namespace tarvik {

// A backup of everything the device keeps: a head "[backup]" that counts what follows the tables
// (the settings' keys, the names, the labels), then exactly the text of a .tvk file (TvkFile),
// followed by a section "[settings]" with the 20 bytes of the configuration record, one key per
// byte in wire order, each a decimal wire value. A .tvk reader that knows nothing of "[settings]"
// reads such a file as an ordinary .tvk file, since sections that are not row numbers carry nothing
// for it; and a .tvk file without "[settings]" is a backup of the three tables alone. A section
// "[names]" (PresetNames) may follow, with the names a setup of the library gives its presets;
// the restore and every reader of the tables or the settings pass over it. So do they over a
// section "[loops]" (LoopLabels) after it, with the loops' labels. Backups of earlier versions
// have no head; they read as before.
class FullBackup {
  Q_DECLARE_TR_FUNCTIONS(FullBackup)

 public:
  using Settings = std::array<std::uint8_t, kConfigRecordSize>;

  // The keys of "[settings]", in wire order.
  static const std::array<const char*, kConfigRecordSize> kSettingKeys;

  struct LoadResult {
    std::optional<PresetTables> tables;  // empty when the file was refused
    std::optional<Settings> settings;    // empty when the file has no "[settings]"
    PresetNames names;                   // empty when the file has no "[names]"
    // What is wrong with "[names]"; empty when it reads as written. A restore has no use for
    // names, so this does not refuse the file: a reader that keeps names must not take it.
    QString namesProblem;
    LoopLabels labels;  // empty when the file has no "[loops]"
    // What is wrong with "[loops]", as namesProblem.
    QString labelsProblem;
    QString message;     // why the file was refused; empty on success
    TvkFile::Gaps gaps;  // what the tables lack, as TvkFile reads them
    // Why the file is cut although what it holds reads: it ends inside a line, or a section
    // holds fewer entries than the head counts. Empty when it is whole.
    QString cut;
    bool ok() const { return tables.has_value(); }
    // What a whole read refuses an accepted file for: the first gap, else the cut; empty when
    // the file is whole (or was refused anyway).
    QString notWhole() const;
  };

  // The head, the tables, then "[settings]" when there are settings, then "[names]" when a
  // preset has a name, then "[loops]" when a loop has a label: without them it is exactly the
  // text of TvkFile::serialize, head and all left out.
  static QByteArray serialize(const PresetTables& tables, const std::optional<Settings>& settings,
                              const PresetNames& names = {}, const LoopLabels& labels = {});
  // Replaces the file atomically; on any failure the previous file stays as it was.
  static bool save(const QString& path, const PresetTables& tables, const Settings& settings,
                   const PresetNames& names = {}, const LoopLabels& labels = {});

  // The tables are read exactly as TvkFile reads them. "[settings]" is optional, but when it is
  // there it must be whole and exact: all 20 keys, no others, each a decimal 0..255, and the
  // bytes must be a record the program sends as they are (ConfigRecord's apply and toBytes give
  // them back unchanged). Otherwise the file is refused, so that a restore never sends settings
  // other than the ones the file shows.
  static LoadResult parse(const QByteArray& text);
  static LoadResult load(const QString& path);
  // As parse and load, but a file with gaps (a cut file, a value that does not read back as
  // written) is refused, naming the first, and so is a file cut anywhere else (notWhole): for a
  // restore, an import and a comparison, which would otherwise overwrite the device or the
  // library with defaults, or a shortened value, where the file was cut.
  static LoadResult parseWhole(const QByteArray& text);
  static LoadResult loadWhole(const QString& path);
};

}  // namespace tarvik
