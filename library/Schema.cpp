// SPDX-License-Identifier: MIT
#include "library/Schema.h"

#include <QHash>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include "config/PresetNames.h"
#include "library/SetupColumns.h"
#include "library/Sql.h"

namespace tarvik {
namespace {

const char* const kSetupsTable = R"(
CREATE TABLE setups (
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL UNIQUE,
  note TEXT NOT NULL,
  created INTEGER NOT NULL,
  changed INTEGER NOT NULL,
  search TEXT NOT NULL
))";

// As layout 2 made it; later layouts add their columns in their own steps.
const char* const kBlocksTable = R"(
CREATE TABLE setup_blocks (
  setup_id INTEGER PRIMARY KEY REFERENCES setups (id) ON DELETE CASCADE,
  presets BLOB NOT NULL CHECK (length(presets) = 128),
  ccmap BLOB NOT NULL CHECK (length(ccmap) = 128),
  pcremap BLOB NOT NULL CHECK (length(pcremap) = 128),
  settings BLOB CHECK (settings IS NULL OR length(settings) = 20),
  names TEXT
))";

const char* const kSnapshotsTable = R"(
CREATE TABLE snapshots (
  id INTEGER PRIMARY KEY,
  time INTEGER NOT NULL,
  event TEXT NOT NULL,
  presets BLOB NOT NULL CHECK (length(presets) = 128),
  ccmap BLOB NOT NULL CHECK (length(ccmap) = 128),
  pcremap BLOB NOT NULL CHECK (length(pcremap) = 128),
  settings BLOB CHECK (settings IS NULL OR length(settings) = 20)
))";

const char* const kSetListsTable = R"(
CREATE TABLE set_lists (
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL UNIQUE,
  created INTEGER NOT NULL,
  changed INTEGER NOT NULL
))";

// A song's preset as the device's bytes keep it: the loops' mask and the PC remap entry.
// loop_labels stays NULL until the song's loops have labels.
const char* const kSetSongsTable = R"(
CREATE TABLE set_songs (
  set_id INTEGER NOT NULL REFERENCES set_lists (id) ON DELETE CASCADE,
  position INTEGER NOT NULL,
  name TEXT NOT NULL,
  note TEXT NOT NULL,
  loops INTEGER NOT NULL CHECK (loops BETWEEN 0 AND 255),
  pcremap INTEGER NOT NULL CHECK (pcremap BETWEEN 0 AND 255),
  preset_name TEXT NOT NULL,
  source TEXT NOT NULL,
  preset INTEGER NOT NULL CHECK (preset BETWEEN 1 AND 128),
  loop_labels TEXT,
  PRIMARY KEY (set_id, position)
))";

QString runAll(const QSqlDatabase& db, const QStringList& statements) {
  QSqlQuery query(db);
  for (const QString& statement : statements) {
    if (!query.exec(statement)) return sql::errorText(query);
  }
  return {};
}

// The names of layout 1, one row (row index, name) each, for every setup at once.
QString namesOfLayout1(const QSqlDatabase& db, QHash<qint64, PresetNames>& names) {
  QSqlQuery query(db);
  query.setForwardOnly(true);
  if (!query.exec(QStringLiteral("SELECT setup_id, row, name FROM preset_names"))) {
    return sql::errorText(query);
  }
  while (query.next()) {
    const int row = query.value(1).toInt();
    // Stored under the rule of its day.
    const QString name = UserText::cleaned(query.value(2).toString());
    if (row < 0 || row >= kTableSize) {
      return Schema::tr("a preset name of setup %1 is for row %2, which does not exist")
          .arg(query.value(0).toLongLong())
          .arg(row);
    }
    if (const QString why = PresetNames::problem(name); !why.isEmpty()) {
      return Schema::tr("the name of preset %1 of setup %2 %3")
          .arg(row + 1)
          .arg(query.value(0).toLongLong())
          .arg(why);
    }
    names[query.value(0).toLongLong()].setName(row, name);
  }
  return {};
}

QString upgradeFrom1(const QSqlDatabase& db) {
  if (QString error = runAll(db, {QStringLiteral("ALTER TABLE setups RENAME TO setups_1"),
                                  QLatin1String(kSetupsTable), QLatin1String(kBlocksTable)});
      !error.isEmpty()) {
    return error;
  }
  QHash<qint64, PresetNames> names;
  if (QString error = namesOfLayout1(db, names); !error.isEmpty()) return error;

  QSqlQuery old(db);
  old.setForwardOnly(true);
  if (!old.exec(QStringLiteral("SELECT id, name, note, created, changed, presets, ccmap, pcremap, "
                               "settings FROM setups_1"))) {
    return sql::errorText(old);
  }
  QSqlQuery insert(db);
  while (old.next()) {
    const qint64 id = old.value(0).toLongLong();
    const QString name = old.value(1).toString();
    const QString note = old.value(2).toString();
    if (!sql::run(insert,
                  QStringLiteral("INSERT INTO setups (id, name, note, created, changed, search) "
                                 "VALUES (?, ?, ?, ?, ?, ?)"),
                  {id, name, note, old.value(3), old.value(4), SetupColumns::search(name, note)}) ||
        !sql::run(insert,
                  QStringLiteral("INSERT INTO setup_blocks (setup_id, presets, ccmap, pcremap, "
                                 "settings, names) VALUES (?, ?, ?, ?, ?, ?)"),
                  {id, old.value(5), old.value(6), old.value(7), old.value(8),
                   SetupColumns::packNames(names.value(id))})) {
      return Schema::tr("setup \"%1\": %2").arg(name, sql::errorText(insert));
    }
  }
  old.finish();
  return runAll(db,
                {QStringLiteral("DROP TABLE preset_names"), QStringLiteral("DROP TABLE setups_1"),
                 // The history keeps its columns and gains the size checks of the blocks.
                 QStringLiteral("ALTER TABLE snapshots RENAME TO snapshots_1"),
                 QLatin1String(kSnapshotsTable),
                 QStringLiteral("INSERT INTO snapshots (id, time, event, presets, ccmap, "
                                "pcremap, settings) SELECT id, time, event, presets, ccmap, "
                                "pcremap, settings FROM snapshots_1"),
                 QStringLiteral("DROP TABLE snapshots_1")});
}

// Layout 2 to 3. A new library takes this step too, so that a created and an upgraded library
// cannot differ.
QString addLoopLabels(const QSqlDatabase& db) {
  return runAll(db, {QStringLiteral("ALTER TABLE setup_blocks ADD COLUMN labels TEXT")});
}

QString setVersion(const QSqlDatabase& db, int version) {
  return runAll(db, {QStringLiteral("PRAGMA user_version = %1").arg(version)});
}

}  // namespace

QString Schema::create(const QSqlDatabase& db) {
  if (QString error = runAll(db, {QLatin1String(kSetupsTable), QLatin1String(kBlocksTable),
                                  QLatin1String(kSnapshotsTable), QLatin1String(kSetListsTable),
                                  QLatin1String(kSetSongsTable)});
      !error.isEmpty()) {
    return error;
  }
  if (QString error = addLoopLabels(db); !error.isEmpty()) return error;
  return setVersion(db, kVersion);
}

QString Schema::upgrade(const QSqlDatabase& db, int version) {
  if (version == 1) {
    if (QString error = upgradeFrom1(db); !error.isEmpty()) return error;
    version = 2;
  }
  if (version == 2) {
    if (QString error = runAll(db, {QLatin1String(kSetListsTable), QLatin1String(kSetSongsTable)});
        !error.isEmpty()) {
      return error;
    }
    if (QString error = addLoopLabels(db); !error.isEmpty()) return error;
    version = 3;
  }
  if (version != kVersion) return tr("no way from layout %1 to %2").arg(version).arg(kVersion);
  return setVersion(db, kVersion);
}

}  // namespace tarvik
