// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QString>
#include <QtGlobal>

namespace tarvik {

// The layout of the library file. The file says what it is in its SQLite header: the
// application id marks it as this program's, the user version (PRAGMA user_version) is the
// layout below. A program upgrades an older layout in place; a newer one it leaves alone.
//
// Layout 1 kept the blocks in the setup list's own table and every preset name as a row of a
// table of its own. Layout 2 moves the blocks out of the list, so that filtering the list reads
// only the short columns, adds the case-folded text the filter looks in, and keeps a setup's
// names in one column: a setup with a few names no longer costs a row and an index entry each.
// Layout 3 adds the set lists, each song with a copy of its preset, so that the set stays as
// it was prepared whatever later happens to the setup it was taken from, and a column for the
// loops' labels that go with a setup.
class Schema {
  Q_DECLARE_TR_FUNCTIONS(Schema)

 public:
  static constexpr int kVersion = 3;
  static constexpr qint32 kApplicationId = 0x54564B4C;  // "TVKL"

  // The current layout in an empty database. Runs in the caller's write transaction.
  static QString create(const QSqlDatabase& db);
  // From layout `version` (1 up to the current one) to the current layout, one step after the
  // other. Runs in the caller's write transaction, so a failed step leaves the file as it was.
  static QString upgrade(const QSqlDatabase& db, int version);
};

}  // namespace tarvik
