// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>

namespace tarvik::sql {

// Why a statement failed, on one line: what SQLite's result code means for the user (a full
// disk, a read-only folder, another program's lock, a damaged file), then the driver's text.
QString errorText(const QSqlQuery& query);

// The library file that the connection's failures are about: errorText() looks at its disk and
// folder when SQLite says no more than "disk I/O error". Kept on the connection's driver, which
// every query of the connection knows.
void setFileOf(const QSqlDatabase& db, const QString& path);

// Prepares `sql`, binds `values` in order and runs it.
bool run(QSqlQuery& query, const QString& sql, std::initializer_list<QVariant> values = {});

// A single value of the first row (a pragma, a count), or nothing when the statement failed.
std::optional<QVariant> scalar(const QSqlDatabase& db, const QString& sql, QString* error);

// The bytes of a BLOB column of exactly N bytes; nothing for any other length or a NULL.
template <std::size_t N>
std::optional<std::array<std::uint8_t, N>> bytesOf(const QVariant& value) {
  const QByteArray data = value.toByteArray();
  if (value.isNull() || data.size() != static_cast<qsizetype>(N)) return std::nullopt;
  std::array<std::uint8_t, N> bytes{};
  std::copy(data.begin(), data.end(), bytes.begin());
  return bytes;
}

// A write transaction that takes the write lock at its start (BEGIN IMMEDIATE), so that two
// programs writing at once queue on the busy timeout instead of one of them failing halfway.
// When the other program's write outlasts the timeout, error() says so and how long this one
// waited. Rolled back unless committed.
class Transaction {
 public:
  explicit Transaction(const QSqlDatabase& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  bool begun() const { return begun_; }
  const QString& error() const { return error_; }
  bool commit();

 private:
  QSqlDatabase db_;
  bool begun_ = false;
  bool done_ = false;
  QString error_;
};

}  // namespace tarvik::sql
