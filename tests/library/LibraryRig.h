// SPDX-License-Identifier: MIT
// What the library tests share: sample contents, a clock the test drives, a connection of the
// test's own to look into a file, and the state of a file to compare before and after.
#pragma once

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <atomic>
#include <memory>

#include "config/ConfigBytes.h"
#include "config/PresetNames.h"
#include "library/LibraryConnection.h"
#include "library/Setup.h"
#include "library/SetupLibrary.h"

namespace tarvik::test {

// Blocks with every byte set, from a seed, including values the editors would clamp (CC entries
// above "LOOP 8", remaps above "none", settings the device would not take).
inline ConfigBytes sampleBytes(int seed, bool withSettings = true) {
  ConfigBytes bytes;
  for (int row = 0; row < kTableSize; ++row) {
    bytes.presets[row] = static_cast<std::uint8_t>(row * 7 + seed);
    bytes.ccMap[row] = static_cast<std::uint8_t>((row * 13 + seed) % 256);
    bytes.pcRemap[row] = static_cast<std::uint8_t>((row * 31 + seed * 3) % 256);
  }
  if (withSettings) {
    ConfigBytes::Settings settings{};
    for (int i = 0; i < kConfigRecordSize; ++i)
      settings[i] = static_cast<std::uint8_t>(250 + seed + i);
    bytes.settings = settings;
  }
  return bytes;
}

inline Setup sampleSetup(const QString& name, int seed, const QString& note = {}) {
  Setup setup;
  setup.name = name;
  setup.note = note;
  setup.bytes = sampleBytes(seed);
  setup.names.setName(0, QStringLiteral("Clean ") + QString::number(seed));
  setup.names.setName(127, QStringLiteral("Lead; wet = \"yes\""));
  return setup;
}

// The library's clock, moved on by the test.
struct DrivenClock {
  QDateTime now = QDateTime(QDate(2024, 5, 1), QTime(20, 15), Qt::UTC);
  LibraryConnection::Clock clock() {
    return [this] { return now; };
  }
  QDateTime advance(qint64 ms = 1000) {
    now = now.addMSecs(ms);
    return now;
  }
};

// What turns a library of the current layout back into one of layout 2, as the version before
// the set lists and the loops' labels left it.
inline const QStringList kBackToLayout2 = {
    QStringLiteral("DROP TABLE set_songs"), QStringLiteral("DROP TABLE set_lists"),
    QStringLiteral("ALTER TABLE setup_blocks DROP COLUMN labels"),
    QStringLiteral("PRAGMA user_version = 2")};

// A connection of the test's own, to craft files and to look into them past the library's API.
class RawDatabase {
 public:
  explicit RawDatabase(const QString& path) : name_(QStringLiteral("raw-%1").arg(next()++)) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    db.setDatabaseName(path);
    db.open();
  }
  ~RawDatabase() {
    QSqlDatabase::database(name_, false).close();
    QSqlDatabase::removeDatabase(name_);
  }
  RawDatabase(const RawDatabase&) = delete;
  RawDatabase& operator=(const RawDatabase&) = delete;

  QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }
  // Runs statements one by one; the first failure's text, or empty.
  QString exec(const QStringList& statements) {
    QSqlQuery query(db());
    for (const QString& statement : statements) {
      if (!query.exec(statement)) return statement + ": " + query.lastError().text();
    }
    return {};
  }
  QVariant value(const QString& statement) {
    QSqlQuery query(db());
    return query.exec(statement) && query.next() ? query.value(0) : QVariant();
  }

 private:
  static std::atomic<int>& next() {
    static std::atomic<int> counter{0};
    return counter;
  }
  QString name_;
};

// What a file is, to show that nothing wrote to it: its bytes, its time and the folder's names
// (no journal or log left behind).
struct FileState {
  QByteArray bytes;
  QDateTime modified;
  QStringList folder;

  static FileState of(const QString& path) {
    QFile file(path);
    FileState state;
    if (file.open(QIODevice::ReadOnly)) state.bytes = file.readAll();
    state.modified = QFileInfo(path).lastModified();
    state.folder = QFileInfo(path).dir().entryList(QDir::Files, QDir::Name);
    return state;
  }
  bool operator==(const FileState&) const = default;
};

inline bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A new, empty library in a temporary folder, on a clock the test drives; opened anew by each
// open().
struct FreshLibrary {
  // Empty on success, else why the library did not open.
  QString open() {
    if (!dir.isValid()) return QStringLiteral("no temporary folder");
    library.reset();
    const QString path = dir.filePath(QStringLiteral("library.sqlite"));
    QFile::remove(path);
    SetupLibrary::Opened opened = SetupLibrary::open(path, clock.clock());
    library = std::move(opened.library);
    return library ? QString() : opened.error;
  }

  QTemporaryDir dir;
  DrivenClock clock;
  std::unique_ptr<SetupLibrary> library;
};

}  // namespace tarvik::test
