// SPDX-License-Identifier: MIT
#include "library/SetupStore.h"

#include <QSqlQuery>

#include "library/LibraryConnection.h"
#include "library/SetupColumns.h"
#include "library/Sql.h"

namespace tarvik {
namespace {

QString missing(const QString& name) { return SetupStore::tr("no setup named \"%1\"").arg(name); }
QString taken(const QString& name) {
  return SetupStore::tr("a setup named \"%1\" exists").arg(name);
}

QString checkContents(const QString& name, const PresetNames& names, const LoopLabels& labels) {
  if (QString why = SetupColumns::nameProblem(name); !why.isEmpty()) return why;
  if (QString why = names.firstProblem(); !why.isEmpty()) return why;
  return labels.firstProblem();
}

// Within a transaction: the columns of a new setup, or new contents for setup `id`; the blocks
// always in ConfigBytes' form, so that the file holds what a restore of it sends. False when a
// statement failed, as `query` tells.
bool insertSetup(QSqlQuery& query, const Setup& setup, qint64 now) {
  const ConfigBytes bytes = setup.bytes.kept();
  return sql::run(query,
                  QStringLiteral("INSERT INTO setups (name, note, created, changed, search) "
                                 "VALUES (?, ?, ?, ?, ?)"),
                  {setup.name, SetupColumns::note(setup.note), now, now,
                   SetupColumns::search(setup.name, setup.note)}) &&
         sql::run(query,
                  QStringLiteral("INSERT INTO setup_blocks (setup_id, presets, ccmap, pcremap, "
                                 "settings, names, labels) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                  {query.lastInsertId(), bytesOf(bytes.presets), bytesOf(bytes.ccMap),
                   bytesOf(bytes.pcRemap), SetupColumns::settingsColumn(bytes),
                   SetupColumns::packNames(setup.names), SetupColumns::packLabels(setup.labels)});
}

bool replaceContents(QSqlQuery& query, qint64 id, const ConfigBytes& given,
                     const PresetNames& names, const LoopLabels& labels, qint64 now) {
  const ConfigBytes bytes = given.kept();
  return sql::run(query,
                  QStringLiteral("UPDATE setup_blocks SET presets = ?, ccmap = ?, pcremap = ?, "
                                 "settings = ?, names = ?, labels = ? WHERE setup_id = ?"),
                  {bytesOf(bytes.presets), bytesOf(bytes.ccMap), bytesOf(bytes.pcRemap),
                   SetupColumns::settingsColumn(bytes), SetupColumns::packNames(names),
                   SetupColumns::packLabels(labels), id}) &&
         sql::run(query, QStringLiteral("UPDATE setups SET changed = ? WHERE id = ?"), {now, id});
}

}  // namespace

SetupStore::Found SetupStore::find(const QSqlDatabase& db, const QString& name) {
  QSqlQuery query(db);
  if (!sql::run(query, QStringLiteral("SELECT id, note FROM setups WHERE name = ?"), {name})) {
    return {-1, {}, sql::errorText(query)};
  }
  if (!query.next()) return {};
  return {query.value(0).toLongLong(), query.value(1).toString(), {}};
}

Result<QList<SetupSummary>> SetupStore::list(const QString& filter) const {
  if (QString error = refreshList(); !error.isEmpty()) {
    return Result<QList<SetupSummary>>::failed(connection_.failure(error));
  }
  const QString needle = SetupColumns::needle(filter);
  QList<SetupSummary> summaries;
  summaries.reserve(listed_.size());
  for (const Listed& entry : listed_) {
    if (needle.isEmpty() || entry.search.contains(needle)) summaries.append(entry.summary);
  }
  return {summaries, {}};
}

QString SetupStore::refreshList() const {
  QString error;
  // Read before the list: a change in between makes the next call read again, never less.
  const auto version =
      sql::scalar(connection_.database(), QStringLiteral("PRAGMA data_version"), &error);
  if (!version) return error;
  if (listedVersion_ == version->toLongLong()) return {};
  QSqlQuery query(connection_.database());
  query.setForwardOnly(true);
  if (!query.exec(QStringLiteral("SELECT name, note, created, changed, search FROM setups ORDER BY "
                                 "search, name"))) {
    return sql::errorText(query);
  }
  QList<Listed> entries;
  while (query.next()) {
    entries.append({{query.value(0).toString(), query.value(1).toString(),
                     SetupColumns::time(query.value(2)), SetupColumns::time(query.value(3))},
                    query.value(4).toString()});
  }
  listed_ = std::move(entries);
  listedVersion_ = version->toLongLong();
  return {};
}

Result<Setup> SetupStore::setup(const QString& name) const {
  QSqlQuery query(connection_.database());
  query.setForwardOnly(true);
  if (!sql::run(
          query,
          QStringLiteral("SELECT s.note, s.created, s.changed, b.presets, b.ccmap, b.pcremap, "
                         "b.settings, b.names, b.labels FROM setups s JOIN setup_blocks b ON "
                         "b.setup_id = s.id WHERE s.name = ?"),
          {name})) {
    return Result<Setup>::failed(connection_.failure(sql::errorText(query)));
  }
  if (!query.next()) return Result<Setup>::failed(missing(name));
  const auto bytes =
      SetupColumns::bytes(query.value(3), query.value(4), query.value(5), query.value(6));
  const auto names = SetupColumns::unpackNames(query.value(7));
  const auto labels = SetupColumns::unpackLabels(query.value(8));
  if (!bytes || !names || !labels) {
    return Result<Setup>::failed(connection_.failure(tr("setup \"%1\" is damaged").arg(name)));
  }
  return {Setup{name, query.value(0).toString(), SetupColumns::time(query.value(1)),
                SetupColumns::time(query.value(2)), *bytes, *names, *labels},
          {}};
}

Outcome SetupStore::store(const Setup& setup) {
  return {storeAll({setup}, IfExists::Refuse).error};
}

SetupStore::BatchOutcome SetupStore::storeAll(const QList<Setup>& setups, IfExists ifExists,
                                              const Progress& progress) {
  for (int i = 0; i < setups.size(); ++i) {
    if (QString why = checkContents(setups[i].name, setups[i].names, setups[i].labels);
        !why.isEmpty()) {
      return {why, i};
    }
  }
  const QSqlDatabase& db = connection_.database();
  listedVersion_.reset();
  sql::Transaction transaction(db);
  if (!transaction.begun()) return {connection_.failure(transaction.error())};
  const qint64 now = SetupColumns::timeColumn(connection_.now());
  QSqlQuery query(db);
  for (int i = 0; i < setups.size(); ++i) {
    const Setup& setup = setups[i];
    const Found found = find(db, setup.name);
    if (found.id < 0) return {connection_.failure(found.error)};
    if (found.id > 0 && ifExists == IfExists::Refuse) return {taken(setup.name), i};
    if (!(found.id > 0
              ? replaceContents(query, found.id, setup.bytes, setup.names, setup.labels, now)
              : insertSetup(query, setup, now))) {
      return {connection_.failure(sql::errorText(query))};
    }
    if (progress) progress(i + 1, static_cast<int>(setups.size()));
  }
  if (!transaction.commit()) return {connection_.failure(transaction.error())};
  return {};
}

Outcome SetupStore::databaseFailure(const QString& driverText) const {
  return Outcome::failed(connection_.failure(driverText));
}

Outcome SetupStore::transact(const std::function<Outcome(qint64 now)>& change) {
  // The data version moves only for other programs' writes; this connection's own are known here.
  listedVersion_.reset();
  sql::Transaction transaction(connection_.database());
  if (!transaction.begun()) return databaseFailure(transaction.error());
  if (Outcome outcome = change(SetupColumns::timeColumn(connection_.now())); !outcome.ok()) {
    return outcome;
  }
  if (!transaction.commit()) return databaseFailure(transaction.error());
  return {};
}

Outcome SetupStore::changeSetup(const QString& name, const QString& newName, const Change& change) {
  const QSqlDatabase& db = connection_.database();
  return transact([&](qint64 now) {
    const Found found = find(db, name);
    if (found.id < 0) return databaseFailure(found.error);
    if (found.id == 0) return Outcome::failed(missing(name));
    if (!newName.isNull()) {
      const Found other = find(db, newName);
      if (other.id < 0) return databaseFailure(other.error);
      if (other.id > 0) return Outcome::failed(taken(newName));
    }
    QSqlQuery query(db);
    return change(query, found, now) ? Outcome{} : databaseFailure(sql::errorText(query));
  });
}

Outcome SetupStore::replace(const QString& name, const ConfigBytes& bytes, const PresetNames& names,
                            const LoopLabels& labels) {
  if (QString why = names.firstProblem(); !why.isEmpty()) return Outcome::failed(why);
  if (QString why = labels.firstProblem(); !why.isEmpty()) return Outcome::failed(why);
  return changeSetup(name, {}, [&](QSqlQuery& query, const Found& found, qint64 now) {
    return replaceContents(query, found.id, bytes, names, labels, now);
  });
}

Outcome SetupStore::rename(const QString& from, const QString& to) {
  if (QString why = SetupColumns::nameProblem(to); !why.isEmpty()) return Outcome::failed(why);
  return changeSetup(from, from != to ? to : QString(),
                     [&](QSqlQuery& query, const Found& found, qint64 now) {
                       return sql::run(query,
                                       QStringLiteral("UPDATE setups SET name = ?, search = ?, "
                                                      "changed = ? WHERE id = ?"),
                                       {to, SetupColumns::search(to, found.note), now, found.id});
                     });
}

Outcome SetupStore::duplicate(const QString& from, const QString& to) {
  if (QString why = SetupColumns::nameProblem(to); !why.isEmpty()) return Outcome::failed(why);
  return changeSetup(from, to, [&](QSqlQuery& query, const Found& found, qint64 now) {
    return sql::run(query,
                    QStringLiteral("INSERT INTO setups (name, note, created, changed, search) "
                                   "VALUES (?, ?, ?, ?, ?)"),
                    {to, found.note, now, now, SetupColumns::search(to, found.note)}) &&
           sql::run(query,
                    QStringLiteral("INSERT INTO setup_blocks (setup_id, presets, ccmap, pcremap, "
                                   "settings, names, labels) SELECT ?, presets, ccmap, pcremap, "
                                   "settings, names, labels FROM setup_blocks WHERE setup_id = ?"),
                    {query.lastInsertId(), found.id});
  });
}

Outcome SetupStore::remove(const QString& name) {
  return changeSetup(name, {}, [](QSqlQuery& query, const Found& found, qint64) {
    return sql::run(query, QStringLiteral("DELETE FROM setup_blocks WHERE setup_id = ?"),
                    {found.id}) &&
           sql::run(query, QStringLiteral("DELETE FROM setups WHERE id = ?"), {found.id});
  });
}

Outcome SetupStore::setNote(const QString& name, const QString& note) {
  listedVersion_.reset();
  QSqlQuery query(connection_.database());
  // One statement is one transaction.
  if (!sql::run(
          query,
          QStringLiteral("UPDATE setups SET note = ?, search = ?, changed = ? WHERE name = ?"),
          {SetupColumns::note(note), SetupColumns::search(name, note),
           SetupColumns::timeColumn(connection_.now()), name})) {
    return databaseFailure(sql::errorText(query));
  }
  return query.numRowsAffected() == 1 ? Outcome{} : Outcome::failed(missing(name));
}

Outcome SetupStore::setPresetNames(const QString& name, const PresetNames& names) {
  if (QString why = names.firstProblem(); !why.isEmpty()) return Outcome::failed(why);
  return changeSetup(name, {}, [&](QSqlQuery& query, const Found& found, qint64 now) {
    return sql::run(query, QStringLiteral("UPDATE setup_blocks SET names = ? WHERE setup_id = ?"),
                    {SetupColumns::packNames(names), found.id}) &&
           sql::run(query, QStringLiteral("UPDATE setups SET changed = ? WHERE id = ?"),
                    {now, found.id});
  });
}

}  // namespace tarvik
