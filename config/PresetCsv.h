// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <optional>

#include "config/ConfigBytes.h"
#include "config/PresetNames.h"
#include "config/PresetRows.h"
#include "config/PresetTables.h"

namespace tarvik {

// The presets as a spreadsheet takes them (RFC 4180: UTF-8, commas, CR LF line ends): a header
// line "preset,name,loop1,...,loop8,pc", then one line per preset 1..128 with its name, each
// loop as 1 (on) or 0 (off) and the program change it sends on as the matrix shows it: "1".."128",
// "none", or nothing where no program is chosen. A field is quoted when it holds a comma, a quote,
// a CR or an LF, a quote in it doubled.
//
// A CSV read back is a user's file that a spreadsheet has been through: it is bounded as every
// user file (UserFile), each field is checked as the editors check an edit, and the first line
// that cannot be taken is named ("line 7: ..."). It must hold every preset exactly once, in any
// order; empty lines are skipped. The CC map and the settings are not in it.
class PresetCsv {
  Q_DECLARE_TR_FUNCTIONS(PresetCsv)

 public:
  static constexpr int kFields = 3 + PresetTables::kLoops;

  static QByteArray write(const PresetTables& tables, const PresetNames& names);

  struct Read {
    // The presets in their order (row 0 is preset 1): loops, PC remap entry and name.
    std::optional<QList<PresetRow>> presets;
    QString error;  // "line 7: why", one line; empty on success
    bool ok() const { return presets.has_value(); }
    // The presets as a source of presets (a partial restore, "Take from..."): their loops and
    // PC remap entries in tables whose CC map is the start state, and their names. ok() only.
    ConfigBytes bytes() const;
    PresetNames names() const;
  };
  static Read parse(const QByteArray& text);
  // The file through UserFile::read; the error starts with the file as UserFile shows it.
  static Read read(const QString& path);

  // What the pc field says for a PC remap entry, and back (nothing for a text it cannot be).
  static QString programText(int pcRemap);
  static std::optional<int> programOf(const QString& text);
};

}  // namespace tarvik
