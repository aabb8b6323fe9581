// SPDX-License-Identifier: MIT
#include "library/DeviceHistory.h"

#include <QSqlQuery>

#include "library/LibraryConnection.h"
#include "library/SetupColumns.h"
#include "library/Sql.h"

namespace tarvik {

Result<bool> DeviceHistory::add(const QString& event, const ConfigBytes& bytes) {
  const Result<qint64> stored = store(event, bytes, false);
  if (!stored.ok()) return Result<bool>::failed(stored.error);
  return {*stored.value != 0, {}};
}

Result<qint64> DeviceHistory::addMarked(const QString& event, const ConfigBytes& bytes) {
  return store(event, bytes, true);
}

// The id of the new snapshot, 0 when an equal newest one made it unnecessary.
Result<qint64> DeviceHistory::store(const QString& event, const ConfigBytes& given,
                                    bool evenIfNewest) {
  if (event.trimmed().isEmpty()) return Result<qint64>::failed(tr("a snapshot needs an event"));
  // Compared and stored in the form every snapshot is read in.
  const ConfigBytes bytes = given.kept();
  const QSqlDatabase& db = connection_.database();
  auto failed = [this](const QString& text) {
    return Result<qint64>::failed(connection_.failure(text));
  };
  sql::Transaction transaction(db);
  if (!transaction.begun()) return failed(transaction.error());

  QSqlQuery query(db);
  if (!query.exec(QStringLiteral("SELECT presets, ccmap, pcremap, settings FROM snapshots "
                                 "ORDER BY id DESC LIMIT 1"))) {
    return failed(sql::errorText(query));
  }
  if (!evenIfNewest && query.next() &&
      SetupColumns::bytes(query.value(0), query.value(1), query.value(2), query.value(3)) ==
          bytes) {
    return {0, {}};
  }
  query.finish();
  if (!sql::run(query,
                QStringLiteral("INSERT INTO snapshots (time, event, presets, ccmap, pcremap, "
                               "settings) VALUES (?, ?, ?, ?, ?, ?)"),
                {SetupColumns::timeColumn(connection_.now()), event, bytesOf(bytes.presets),
                 bytesOf(bytes.ccMap), bytesOf(bytes.pcRemap),
                 SetupColumns::settingsColumn(bytes)})) {
    return failed(sql::errorText(query));
  }
  const qint64 id = query.lastInsertId().toLongLong();
  // Ids only grow, so the newest are the highest whatever the clock did meanwhile.
  if (!sql::run(query,
                QStringLiteral("DELETE FROM snapshots WHERE id <= (SELECT id FROM snapshots "
                               "ORDER BY id DESC LIMIT 1 OFFSET ?)"),
                {kLimit})) {
    return failed(sql::errorText(query));
  }
  if (!transaction.commit()) return failed(transaction.error());
  return {id, {}};
}

Result<QList<SnapshotSummary>> DeviceHistory::list() const {
  QSqlQuery query(connection_.database());
  query.setForwardOnly(true);
  if (!query.exec(QStringLiteral("SELECT id, time, event FROM snapshots ORDER BY id DESC"))) {
    return Result<QList<SnapshotSummary>>::failed(connection_.failure(sql::errorText(query)));
  }
  QList<SnapshotSummary> summaries;
  while (query.next()) {
    summaries.append({query.value(0).toLongLong(), SetupColumns::time(query.value(1)),
                      query.value(2).toString()});
  }
  return {std::move(summaries), {}};
}

Result<Snapshot> DeviceHistory::snapshot(qint64 id) const {
  QSqlQuery query(connection_.database());
  if (!sql::run(query,
                QStringLiteral("SELECT time, event, presets, ccmap, pcremap, settings FROM "
                               "snapshots WHERE id = ?"),
                {id})) {
    return Result<Snapshot>::failed(connection_.failure(sql::errorText(query)));
  }
  if (!query.next()) return Result<Snapshot>::failed(tr("no snapshot %1").arg(id));
  const auto bytes =
      SetupColumns::bytes(query.value(2), query.value(3), query.value(4), query.value(5));
  if (!bytes) {
    return Result<Snapshot>::failed(connection_.failure(tr("snapshot %1 is damaged").arg(id)));
  }
  return {Snapshot{id, SetupColumns::time(query.value(0)), query.value(1).toString(), *bytes}, {}};
}

}  // namespace tarvik
