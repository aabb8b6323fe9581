// SPDX-License-Identifier: MIT
#include "library/LibraryFault.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>

namespace tarvik {
namespace {

// SQLite's primary result codes; Qt's driver reports these, not the extended ones.
enum SqliteCode {
  kBusy = 5,
  kLocked = 6,
  kReadOnly = 8,
  kInputOutput = 10,
  kCorrupt = 11,
  kFull = 13,
  kCantOpen = 14,
  kNotADatabase = 26,
};

// Less than this left on the disk, and an I/O error is taken for a full disk: the log's index
// alone grows by 32 KiB at a time.
constexpr qint64 kRoomNeeded = 1024 * 1024;

LibraryFault::Cause onTheDisk(LibraryFault::Cause cause, const QString& path) {
  if (path.isEmpty()) return cause;
  const QFileInfo file(path);
  const QString folder = file.absolutePath();
  const QStorageInfo storage(QDir(folder).exists() ? folder : QDir::rootPath());
  if (storage.isValid() && storage.isReadOnly()) return LibraryFault::Cause::ReadOnly;
  const QFileInfo folderInfo(folder);
  if ((file.exists() && !file.isWritable()) || (folderInfo.exists() && !folderInfo.isWritable())) {
    return LibraryFault::Cause::ReadOnly;
  }
  if (storage.isValid() && storage.bytesAvailable() < kRoomNeeded) {
    return LibraryFault::Cause::Full;
  }
  return cause;
}

}  // namespace

LibraryFault::Cause LibraryFault::causeOf(const QSqlError& error, const QString& path) {
  // An extended code would carry the primary one in its low byte.
  switch (error.nativeErrorCode().toInt() & 0xFF) {
    case kFull:
      return Cause::Full;
    case kReadOnly:
      return Cause::ReadOnly;
    case kBusy:
    case kLocked:
      return Cause::Locked;
    case kCorrupt:
    case kNotADatabase:
      return Cause::Damaged;
    case kInputOutput:
      return onTheDisk(Cause::InputOutput, path);
    case kCantOpen:
      return onTheDisk(Cause::CannotOpen, path);
    default:
      return Cause::Other;
  }
}

QString LibraryFault::text(Cause cause, const QString& driverText) {
  // In the order of Cause.
  static const char* const kTexts[] = {
      QT_TR_NOOP("the disk is full, or the disk quota is used up: free some space and try again "
                 "(%1)"),
      QT_TR_NOOP("the file or its folder can only be read, not written (%1)"),
      QT_TR_NOOP("another program (or another configurator window) is writing to the library "
                 "and holds its lock (%1)"),
      QT_TR_NOOP("damaged setup library (%1)"),
      QT_TR_NOOP("the disk could not be read or written; the file itself may be fine (%1)"),
      QT_TR_NOOP("the file cannot be opened: its folder may be missing or not accessible (%1)"),
  };
  if (cause == Cause::Other) return driverText;
  return tr(kTexts[static_cast<std::size_t>(cause)]).arg(driverText);
}

QString LibraryFault::describe(const QSqlError& error, const QString& path) {
  QString driverText = error.databaseText();
  if (driverText.isEmpty()) driverText = error.text();
  if (driverText.isEmpty()) driverText = tr("the database did not say why");
  return text(causeOf(error, path), driverText.simplified());
}

QString LibraryFault::waitedText(qint64 waitedMs, const QString& driverText) {
  return tr("another program (or another configurator window) is writing to the library; "
            "this change waited %1 s for it to finish and gave up (%2)")
      .arg(QLocale().toString(waitedMs / 1000.0, 'f', 1), driverText);
}

}  // namespace tarvik
