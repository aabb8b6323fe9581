// SPDX-License-Identifier: MIT
#include "library/SetListStore.h"

#include <QSqlQuery>

#include "library/LibraryConnection.h"
#include "library/SetupColumns.h"
#include "library/Sql.h"

namespace tarvik {
namespace {

QString missing(const QString& name) {
  return SetListStore::tr("no set list named \"%1\"").arg(name);
}

// The id of set list `name`: 0 when there is none, -1 when the query failed (`error` says why).
qint64 findId(const QSqlDatabase& db, const QString& name, QString& error) {
  QSqlQuery query(db);
  if (!sql::run(query, QStringLiteral("SELECT id FROM set_lists WHERE name = ?"), {name})) {
    error = sql::errorText(query);
    return -1;
  }
  return query.next() ? query.value(0).toLongLong() : 0;
}

QString insertSongs(const QSqlDatabase& db, qint64 id, const QList<SetSong>& songs) {
  QSqlQuery query(db);
  if (!sql::run(query, QStringLiteral("DELETE FROM set_songs WHERE set_id = ?"), {id})) {
    return sql::errorText(query);
  }
  for (int i = 0; i < songs.size(); ++i) {
    const SetSong& song = songs[i];
    // The remap entry as it travels: "none" is 128, no selection 255.
    const int pcRemap = song.preset.pcRemap < 0 ? 255 : song.preset.pcRemap;
    if (!sql::run(query,
                  QStringLiteral("INSERT INTO set_songs (set_id, position, name, note, loops, "
                                 "pcremap, preset_name, source, preset, loop_labels) VALUES "
                                 "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                  {id, i + 1, song.name, SetupColumns::note(song.note), song.preset.mask, pcRemap,
                   SetupColumns::note(song.preset.name), SetupColumns::note(song.source),
                   song.sourcePreset,
                   song.loopLabels.isEmpty() ? QVariant(QMetaType::fromType<QString>())
                                             : QVariant(song.loopLabels)})) {
      return sql::errorText(query);
    }
  }
  return {};
}

}  // namespace

QString SetListStore::problem(const SetList& setList, int* song) {
  if (song != nullptr) *song = -1;
  if (QString why = SetupColumns::nameProblem(setList.name); !why.isEmpty()) return why;
  // Arranged at presets 1, 2, 3 ..., a set has room for one song a preset.
  if (setList.songs.size() > kTableSize) {
    return tr("a set list has at most %1 songs, one a preset").arg(kTableSize);
  }
  for (int i = 0; i < setList.songs.size(); ++i) {
    if (song != nullptr) *song = i;
    const SetSong& s = setList.songs[i];
    if (QString why = SetupColumns::nameProblem(s.name); !why.isEmpty()) return why;
    if (s.sourcePreset < 1 || s.sourcePreset > kTableSize) {
      return tr("preset %1 is not one of 1..%2").arg(s.sourcePreset).arg(kTableSize);
    }
    if (QString why = PresetNames::problem(s.preset.name); !why.isEmpty()) {
      return tr("the name of the preset %1").arg(why);
    }
  }
  if (song != nullptr) *song = -1;
  return {};
}

Result<QList<SetListSummary>> SetListStore::list() const {
  QSqlQuery query(connection_.database());
  query.setForwardOnly(true);
  if (!query.exec(QStringLiteral("SELECT l.name, l.changed, (SELECT count(*) FROM set_songs s "
                                 "WHERE s.set_id = l.id) FROM set_lists l ORDER BY "
                                 "lower(l.name), l.name"))) {
    return Result<QList<SetListSummary>>::failed(connection_.failure(sql::errorText(query)));
  }
  QList<SetListSummary> lists;
  while (query.next()) {
    lists.append(
        {query.value(0).toString(), query.value(2).toInt(), SetupColumns::time(query.value(1))});
  }
  return {lists, {}};
}

Result<SetList> SetListStore::setList(const QString& name) const {
  QSqlQuery query(connection_.database());
  query.setForwardOnly(true);
  if (!sql::run(query,
                QStringLiteral("SELECT s.name, s.note, s.loops, s.pcremap, s.preset_name, "
                               "s.source, s.preset, s.loop_labels FROM set_lists l LEFT JOIN "
                               "set_songs s ON s.set_id = l.id WHERE l.name = ? ORDER BY "
                               "s.position"),
                {name})) {
    return Result<SetList>::failed(connection_.failure(sql::errorText(query)));
  }
  SetList setList{name, {}};
  bool found = false;
  while (query.next()) {
    found = true;
    // The set list's own row when it has no songs.
    if (query.value(0).isNull()) continue;
    PresetTables tables;
    tables.setPcRemap(0, query.value(3).toInt());
    setList.songs.append({query.value(0).toString(),
                          query.value(1).toString(),
                          {static_cast<std::uint8_t>(query.value(2).toInt()), tables.pcRemap(0),
                           // Stored under the preset names' rule of its day.
                           UserText::cleaned(query.value(4).toString())},
                          query.value(5).toString(),
                          query.value(6).toInt(),
                          query.value(7).toString()});
  }
  if (!found) return Result<SetList>::failed(missing(name));
  return {setList, {}};
}

Outcome SetListStore::save(const SetList& setList, IfExists ifExists) {
  if (QString why = problem(setList); !why.isEmpty()) return Outcome::failed(why);
  const QSqlDatabase& db = connection_.database();
  sql::Transaction transaction(db);
  if (!transaction.begun()) return Outcome::failed(connection_.failure(transaction.error()));
  const qint64 now = SetupColumns::timeColumn(connection_.now());
  QString error;
  qint64 id = findId(db, setList.name, error);
  if (id < 0) return Outcome::failed(connection_.failure(error));
  if (id > 0 && ifExists == IfExists::Refuse) {
    return Outcome::failed(tr("a set list named \"%1\" exists").arg(setList.name));
  }
  QSqlQuery query(db);
  if (!(id > 0 ? sql::run(query, QStringLiteral("UPDATE set_lists SET changed = ? WHERE id = ?"),
                          {now, id})
               : sql::run(query,
                          QStringLiteral(
                              "INSERT INTO set_lists (name, created, changed) VALUES (?, ?, ?)"),
                          {setList.name, now, now}))) {
    return Outcome::failed(connection_.failure(sql::errorText(query)));
  }
  if (id == 0) id = query.lastInsertId().toLongLong();
  if (QString failed = insertSongs(db, id, setList.songs); !failed.isEmpty()) {
    return Outcome::failed(connection_.failure(failed));
  }
  if (!transaction.commit()) return Outcome::failed(connection_.failure(transaction.error()));
  return {};
}

Outcome SetListStore::rename(const QString& from, const QString& to) {
  if (QString why = SetupColumns::nameProblem(to); !why.isEmpty()) return Outcome::failed(why);
  QSqlQuery query(connection_.database());
  // One statement is one transaction; the unique name refuses a name that is taken.
  if (from != to && setList(to).ok()) {
    return Outcome::failed(tr("a set list named \"%1\" exists").arg(to));
  }
  if (!sql::run(query, QStringLiteral("UPDATE set_lists SET name = ?, changed = ? WHERE name = ?"),
                {to, SetupColumns::timeColumn(connection_.now()), from})) {
    return Outcome::failed(connection_.failure(sql::errorText(query)));
  }
  return query.numRowsAffected() == 1 ? Outcome{} : Outcome::failed(missing(from));
}

Outcome SetListStore::remove(const QString& name) {
  QSqlQuery query(connection_.database());
  // The songs go with it (ON DELETE CASCADE), in the same statement.
  if (!sql::run(query, QStringLiteral("DELETE FROM set_lists WHERE name = ?"), {name})) {
    return Outcome::failed(connection_.failure(sql::errorText(query)));
  }
  return query.numRowsAffected() == 1 ? Outcome{} : Outcome::failed(missing(name));
}

}  // namespace tarvik
