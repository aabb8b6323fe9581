// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QSqlError>
#include <QString>

namespace tarvik {

// Why the library file could not be read or written, for the user, told apart by SQLite's
// result code and, where that code says only "disk I/O error" or "unable to open", by a look at
// the disk: SQLite reports a full disk as an I/O error when it cannot grow the log's index, and
// a read-only folder as a file it cannot open. A user told that the file is damaged may delete
// it, so a file is called damaged only when SQLite found it so.
class LibraryFault {
  Q_DECLARE_TR_FUNCTIONS(LibraryFault)

 public:
  enum class Cause { Full, ReadOnly, Locked, Damaged, InputOutput, CannotOpen, Other };

  // `path` is the library file, whose disk and folder are looked at when the code alone cannot
  // tell; empty when there is none to look at.
  static Cause causeOf(const QSqlError& error, const QString& path);
  // What the cause means and what to do about it, then the driver's text in brackets.
  static QString text(Cause cause, const QString& driverText);
  static QString describe(const QSqlError& error, const QString& path);
  // A write that waited `waitedMs` for another program's write to end, and gave up.
  static QString waitedText(qint64 waitedMs, const QString& driverText);
};

}  // namespace tarvik
