// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include "config/PresetTables.h"
#include "config/UserTexts.h"

namespace tarvik {

// A name for each of the 128 presets, kept with a setup in the library and written to a backup
// file as a section "[names]": keys "1".."128" (the preset number, row + 1), a key only for a
// preset that has a name, each value UTF-8 text. An empty name is no name. A name is at most 40
// characters under UserText's rule.
class PresetNames : public NumberedTexts<kTableSize, 40> {
  Q_DECLARE_TR_FUNCTIONS(PresetNames)

 public:
  const QString& name(int row) const { return text(row); }
  // The caller has checked the name with problem(): an unchecked one may not read back.
  void setName(int row, const QString& name) { setText(row, name); }

  // The first name that cannot be a preset name, as "the name of preset N why"; empty when
  // all can.
  QString firstProblem() const;

  // The "[names]" section with CR LF line ends, or nothing at all when no preset has a name.
  QByteArray section() const;

  struct Read;
  // The names of every "[names]" section in a file's text (the section name in any letter
  // case). Keys outside 1..128, a key twice, a line that is not key=value and names that
  // could not have been written are problems; the names read so far are returned all the same.
  // A name an earlier version wrote is read as UserText::cleaned() leaves it.
  static Read read(const QByteArray& text);

  bool operator==(const PresetNames&) const = default;
};

struct PresetNames::Read {
  PresetNames names;
  QString problem;  // why the section cannot be taken as written; empty when it can
};

}  // namespace tarvik
