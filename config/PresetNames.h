// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <array>

#include "config/PresetTables.h"

namespace tarvik {

// A name for each of the 128 presets, kept with a setup in the library and written to a backup
// file as a section "[names]": keys "1".."128" (the preset number, row + 1), a key only for a
// preset that has a name, each value UTF-8 text. An empty name is no name.
//
// A name must survive that section unchanged, so it is one line of at most 40 characters with
// no control characters and no white space at either end (readers of INI text trim values).
class PresetNames {
  Q_DECLARE_TR_FUNCTIONS(PresetNames)

 public:
  static constexpr int kMaxLength = 40;

  const QString& name(int row) const { return names_[row]; }
  // The caller has checked the name with problem(): an unchecked one may not read back.
  void setName(int row, const QString& name) { names_[row] = name; }
  bool isEmpty() const { return *this == PresetNames{}; }

  // Why `name` cannot be a preset name ("is longer than 40 characters"); empty when it can.
  static QString problem(const QString& name);
  // The first name that cannot be a preset name, as "the name of preset N why"; empty when
  // all can.
  QString firstProblem() const;

  // The "[names]" section with CR LF line ends, or nothing at all when no preset has a name.
  QByteArray section() const;

  struct Read;
  // The names of every "[names]" section in a file's text (the section name in any letter
  // case). Keys outside 1..128, a key twice, a line that is not key=value and names that
  // could not have been written are problems; the names read so far are returned all the same.
  static Read read(const QByteArray& text);

  bool operator==(const PresetNames&) const = default;

 private:
  std::array<QString, kTableSize> names_{};
};

struct PresetNames::Read {
  PresetNames names;
  QString problem;  // why the section cannot be taken as written; empty when it can
};

}  // namespace tarvik
