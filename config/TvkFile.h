// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "config/PresetTables.h"

namespace tarvik {

// The .tvk configuration file: the three tables as INI text, one section per row "[0]".."[127]"
// with the keys pc (loop mask), cc and pcremap (selector indices, -1 for no selection).
// What the window says when `path` cannot be written. German in the English program too, as the
// first versions of the program had it, and kept so.
QString cannotWriteText(const QString& path);

class TvkFile {
  Q_DECLARE_TR_FUNCTIONS(TvkFile)

 public:
  enum class LoadError { None, Unreadable, NoSections };

  // What an accepted file lacks or holds in a form that does not read back as written: a cut
  // file, or one edited by hand. The tables hold defaults there, which a load may take and a
  // restore or an import, which would overwrite the device or the library with them, may not.
  struct Gaps {
    int incompleteRows = 0;  // rows without their section or without one of pc, cc, pcremap
    QStringList unreadable;  // "[3] pc=abc": not a number, or outside what the row can hold
    QString first;           // the first gap in row order; empty when the file is whole
    bool none() const { return first.isEmpty(); }
    // One line for the event log: how many rows, which values.
    QString summary() const;
  };

  struct LoadResult {
    std::optional<PresetTables> tables;  // empty when the file was refused
    LoadError error = LoadError::None;
    QString message;  // why the file was refused, for the user; empty on success
    Gaps gaps;
    bool ok() const { return tables.has_value(); }
  };

  // Exactly the bytes of a saved file: ASCII, CR LF line ends, nothing but the 128 sections.
  static QByteArray serialize(const PresetTables& tables);

  // Replaces the file atomically (UserFile::write); on any failure the previous file stays as
  // it was.
  static bool save(const QString& path, const PresetTables& tables);

  // A file that cannot be read, or holds none of the row sections, is refused so that the
  // caller can keep the grid as it is. Within an accepted file, missing or unreadable values
  // take their defaults (pc 0, cc 0, pcremap n) and out-of-range indices mean no selection;
  // `gaps` lists them.
  static LoadResult load(const QString& path);
  static LoadResult parse(const QByteArray& text);
  // The row a section names: row numbers are written without leading zeros, and anything else
  // is not a row.
  static std::optional<int> rowOfSection(const QByteArray& name);
  // The name a line "[...]" starts a section of, trimmed; nothing for any other line.
  static std::optional<QByteArray> sectionName(const QByteArray& line);

  // What a reader of numbered texts says of a line it cannot take: a line that is not key=value
  // (%1 the line), a key that is no number (%1 the key, %2 the highest number), a number twice,
  // a text that is not UTF-8 (%1 the number), a text refused (%1 the number, %2 why).
  struct NumberedTexts {
    QString notKeyValue, notNumber, twice, notUtf8, refused;
  };
  // Reads the numbered texts ("[names]", "[loops]") of every section `section` of a file's text
  // (its name in any letter case), up to a NUL byte as the INI readers of the other sections do.
  // `number` maps a key to 1..count (0 for none), `problem` says why a text cannot be one, and
  // `take` gets every text that can. The first problem as "[section]: why"; empty when none.
  static QString readNumbered(const QByteArray& text, const QByteArray& section, int count,
                              int (*number)(const QByteArray&), QString (*problem)(const QString&),
                              const NumberedTexts& texts,
                              const std::function<void(int, const QString&)>& take);
};

}  // namespace tarvik
