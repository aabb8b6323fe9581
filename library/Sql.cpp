// SPDX-License-Identifier: MIT
#include "library/Sql.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDriver>
#include <QSqlError>

#include "library/LibraryFault.h"

namespace tarvik::sql {
namespace {

constexpr char kFileProperty[] = "tarvikLibraryFile";

QString fileOf(const QSqlQuery& query) {
  const QSqlDriver* driver = query.driver();
  return driver != nullptr ? driver->property(kFileProperty).toString() : QString();
}

}  // namespace

QString errorText(const QSqlQuery& query) {
  return LibraryFault::describe(query.lastError(), fileOf(query));
}

void setFileOf(const QSqlDatabase& db, const QString& path) {
  if (QSqlDriver* driver = db.driver()) driver->setProperty(kFileProperty, path);
}

bool run(QSqlQuery& query, const QString& sql, std::initializer_list<QVariant> values) {
  if (!query.prepare(sql)) return false;
  for (const QVariant& value : values) query.addBindValue(value);
  return query.exec();
}

std::optional<QVariant> scalar(const QSqlDatabase& db, const QString& sql, QString* error) {
  QSqlQuery query(db);
  if (!query.exec(sql) || !query.next()) {
    if (error)
      *error = query.lastError().isValid() ? errorText(query)
                                           : QCoreApplication::translate("Sql", "no result");
    return std::nullopt;
  }
  return query.value(0);
}

Transaction::Transaction(const QSqlDatabase& db) : db_(db) {
  QSqlQuery query(db_);
  QElapsedTimer waited;
  waited.start();
  begun_ = query.exec(QStringLiteral("BEGIN IMMEDIATE"));
  if (begun_) return;
  const QSqlError error = query.lastError();
  if (LibraryFault::causeOf(error, fileOf(query)) == LibraryFault::Cause::Locked) {
    error_ = LibraryFault::waitedText(waited.elapsed(), error.databaseText().simplified());
  } else {
    error_ = errorText(query);
  }
}

Transaction::~Transaction() {
  if (begun_ && !done_) {
    QSqlQuery query(db_);
    query.exec(QStringLiteral("ROLLBACK"));
  }
}

bool Transaction::commit() {
  if (!begun_ || done_) return false;
  QSqlQuery query(db_);
  if (!query.exec(QStringLiteral("COMMIT"))) {
    error_ = errorText(query);
    return false;
  }
  done_ = true;
  return true;
}

}  // namespace tarvik::sql
