// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
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

  struct LoadResult {
    std::optional<PresetTables> tables;  // empty when the file was refused
    LoadError error = LoadError::None;
    QString message;  // why the file was refused, for the user; empty on success
    bool ok() const { return tables.has_value(); }
  };

  // Exactly the bytes of a saved file: ASCII, CR LF line ends, nothing but the 128 sections.
  static QByteArray serialize(const PresetTables& tables);

  // Replaces the file atomically; on any failure the previous file stays as it was.
  static bool save(const QString& path, const PresetTables& tables);
  // The same atomic replacement for any text (the full backup writes through it too).
  static bool saveText(const QString& path, const QByteArray& text);

  // A file that cannot be read, or holds none of the row sections, is refused so that the
  // caller can keep the grid as it is. Within an accepted file, missing or unreadable values
  // take their defaults (pc 0, cc 0, pcremap n) and out-of-range indices mean no selection.
  static LoadResult load(const QString& path);
  static LoadResult parse(const QByteArray& text);
};

}  // namespace tarvik
