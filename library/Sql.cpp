// SPDX-License-Identifier: MIT
#include "library/Sql.h"

#include <QCoreApplication>
#include <QSqlError>

namespace tarvik::sql {

QString errorText(const QSqlQuery& query) {
  QString text = query.lastError().databaseText();
  if (text.isEmpty()) text = query.lastError().text();
  if (text.isEmpty()) text = QCoreApplication::translate("Sql", "the database did not say why");
  return text.simplified();
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
  begun_ = query.exec(QStringLiteral("BEGIN IMMEDIATE"));
  if (!begun_) error_ = errorText(query);
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
