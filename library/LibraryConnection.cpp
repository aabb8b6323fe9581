// SPDX-License-Identifier: MIT
#include "library/LibraryConnection.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>
#include <atomic>

#include "library/LibraryFault.h"
#include "library/Schema.h"
#include "library/Sql.h"

namespace tarvik {
namespace {

QString uniqueConnectionName() {
  static std::atomic<int> next{0};
  return QStringLiteral("tarvik-library-%1").arg(next++);
}

const QByteArray kMagic("SQLite format 3\0", 16);
constexpr int kHeaderSize = 100;

quint32 bigEndianAt(const QByteArray& header, int offset) {
  return qFromBigEndian<quint32>(header.constData() + offset);
}

// Why an existing, non-empty file cannot be opened as a library; empty when it may be. SQLite
// writes to a database it opens as soon as it finds one to recover, so whether a file is this
// program's library at all is decided here, from its first bytes alone: the SQLite header, the
// application id at offset 68 and the layout version (user_version) at offset 60.
QString headerRefusal(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return LibraryConnection::tr("cannot be read (%1)").arg(file.errorString());
  }
  const QByteArray header = file.read(kHeaderSize);
  if (!header.startsWith(kMagic)) {
    return LibraryConnection::tr("not a setup library of this program (not an SQLite database)");
  }
  if (header.size() < kHeaderSize) {
    return LibraryConnection::tr("damaged setup library (the file ends inside its header)");
  }
  if (bigEndianAt(header, 68) != static_cast<quint32>(Schema::kApplicationId)) {
    return LibraryConnection::tr(
        "not a setup library of this program (a database of another program)");
  }
  if (const quint32 version = bigEndianAt(header, 60); version > Schema::kVersion) {
    return LibraryConnection::tr(
               "a setup library of a newer version of this program (layout %1; this version "
               "knows layouts up to %2)")
        .arg(version)
        .arg(Schema::kVersion);
  }
  return {};
}

// The check's first finding, short: it lists every page it finds wrong, one a line, after a
// line naming the database.
QString firstProblem(const QString& report) {
  for (const QString& line : report.split(u'\n')) {
    if (!line.trimmed().isEmpty() && !line.startsWith(QLatin1String("***"))) {
      return line.trimmed().left(120);
    }
  }
  return report.simplified().left(120);
}

}  // namespace

LibraryConnection::Opened LibraryConnection::open(const QString& path, Clock clock,
                                                  int busyTimeoutMs, const Waiting& waiting) {
  const QFileInfo info(path);
  if (info.exists() && !info.isFile()) return {nullptr, tr("%1: not a file").arg(path)};
  // An empty file holds nothing to lose: it is what a library is the moment SQLite creates it,
  // and a second program starting at that moment must be able to go on with it.
  const bool fresh = !info.exists() || info.size() == 0;
  if (!fresh) {
    if (const QString why = headerRefusal(path); !why.isEmpty())
      return {nullptr, path + ": " + why};
  } else if (!info.exists() && !QDir().mkpath(info.absolutePath())) {
    return {nullptr, tr("%1: its folder cannot be created").arg(path)};
  }

  std::unique_ptr<LibraryConnection> connection(
      new LibraryConnection(path, uniqueConnectionName(), std::move(clock)));
  QSqlDatabase& db = connection->db_;
  if (!db.isValid()) {
    return {nullptr, tr("%1: cannot be opened (Qt SQL has no SQLite driver; on Debian it is the "
                        "package libqt6sql6-sqlite)")
                         .arg(path)};
  }
  db.setDatabaseName(path);
  db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
  sql::setFileOf(db, path);
  if (!db.open()) return {nullptr, path + ": " + LibraryFault::describe(db.lastError(), path)};
  if (const QString why = connection->prepare(fresh, busyTimeoutMs, waiting); !why.isEmpty())
    return {nullptr, path + ": " + why};
  return {std::move(connection), {}};
}

std::jthread LibraryConnection::preloadDriver() {
  return std::jthread([] {
    const QString name = QStringLiteral("tarvik-driver-preload");
    // The driver goes with the connection, in this thread; the plugin stays loaded.
    { QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name); }
    QSqlDatabase::removeDatabase(name);
  });
}

LibraryConnection::LibraryConnection(const QString& path, const QString& name, Clock clock)
    : path_(path),
      name_(name),
      clock_(clock ? std::move(clock) : [] { return QDateTime::currentDateTimeUtc(); }),
      db_(QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name)) {}

LibraryConnection::~LibraryConnection() {
  db_.close();
  db_ = QSqlDatabase();
  QSqlDatabase::removeDatabase(name_);
}

QDateTime LibraryConnection::now() const { return clock_(); }

QString LibraryConnection::failure(const QString& driverText) const {
  return path_ + QStringLiteral(": ") + driverText;
}

// Reads first and writes only once the file has shown to be a library this version can use.
QString LibraryConnection::prepare(bool fresh, int busyTimeoutMs, const Waiting& waiting) {
  QString error;
  const auto applicationId = sql::scalar(db_, QStringLiteral("PRAGMA application_id"), &error);
  const auto version = sql::scalar(db_, QStringLiteral("PRAGMA user_version"), &error);
  // The first reads are where a full disk, a read-only folder or another program's exclusive
  // lock shows: the error says which, and "damaged" only when SQLite found the file so.
  if (!applicationId || !version) return error;

  if (applicationId->toLongLong() == 0 && fresh) {
    // Written while the file is still in its first journal mode, so that it lands in the file
    // itself: a file whose header says otherwise is never opened again (headerRefusal).
    QSqlQuery query(db_);
    if (!query.exec(QStringLiteral("PRAGMA application_id = %1").arg(Schema::kApplicationId))) {
      return tr("cannot be written (%1)").arg(sql::errorText(query));
    }
  } else if (applicationId->toLongLong() != Schema::kApplicationId) {
    return tr("not a setup library of this program (a database of another program)");
  }
  // The header may be older than the log: a newer program's upgrade can still be in the log.
  if (version->toInt() > Schema::kVersion) {
    return tr("a setup library of a newer version of this program (layout %1; this version "
              "knows layouts up to %2)")
        .arg(version->toInt())
        .arg(Schema::kVersion);
  }
  if (!fresh) {
    const auto check = sql::scalar(db_, QStringLiteral("PRAGMA quick_check"), &error);
    if (!check) return error;
    if (check->toString() != QLatin1String("ok")) {
      return tr("damaged setup library (%1)").arg(firstProblem(check->toString()));
    }
  }

  if (const QString why = useWriteAheadLog(busyTimeoutMs, waiting); !why.isEmpty()) return why;
  QSqlQuery query(db_);
  // A killed program loses nothing it has committed: the log is in the system's file cache and
  // the next opener reads it. A power cut or a system crash may undo the newest changes since
  // the log last went to the disk, but never leaves half a change. Flushing the log at every
  // commit (FULL) would make each change wait for the disk, 7 ms and more on a loaded machine.
  if (!query.exec(QStringLiteral("PRAGMA synchronous = NORMAL")) ||
      !query.exec(QStringLiteral("PRAGMA foreign_keys = ON"))) {
    return tr("cannot be set up (%1)").arg(sql::errorText(query));
  }
  return createOrUpgrade();
}

// SQLite turns the journal into a log under the write lock but without its busy handler: beside
// a program that holds the lock in the old journal mode (one creating the same library at this
// moment, or turning it into a log itself) the switch fails at once where a write would wait.
// So the wait is a write transaction's, which queues on the busy timeout as any write does, and
// the switch is tried again once the other program has let go; a file it has turned into a log
// meanwhile needs no switch any more. The message after the limit is a write's.
QString LibraryConnection::useWriteAheadLog(int busyTimeoutMs, const Waiting& waiting) {
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    QSqlError error;
    {
      QSqlQuery query(db_);
      if (query.exec(QStringLiteral("PRAGMA journal_mode = WAL")) && query.next()) {
        const QString mode = query.value(0).toString();
        if (mode.compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0) return {};
        return tr("cannot use a write-ahead log (%1)").arg(mode);
      }
      if (LibraryFault::causeOf(query.lastError(), path_) != LibraryFault::Cause::Locked) {
        return tr("cannot use a write-ahead log (%1)").arg(sql::errorText(query));
      }
      error = query.lastError();
    }
    if (waited.elapsed() >= busyTimeoutMs) {
      return tr("cannot use a write-ahead log (%1)")
          .arg(LibraryFault::waitedText(waited.elapsed(), error.databaseText().simplified()));
    }
    if (waiting) waiting();
    const sql::Transaction lock(db_);
    if (!lock.begun()) return tr("cannot use a write-ahead log (%1)").arg(lock.error());
  }  // the lock goes back here, before the switch is tried again
}

QString LibraryConnection::createOrUpgrade() {
  // A library of the current layout is left to readers' terms: taking the write lock here would
  // make every opener, `library list` and the window's start-up among them, wait for any
  // program that is writing.
  QString error;
  const auto current = sql::scalar(db_, QStringLiteral("PRAGMA user_version"), &error);
  if (!current) return error;
  if (current->toInt() == Schema::kVersion) return {};

  sql::Transaction transaction(db_);
  if (!transaction.begun()) return tr("cannot be written (%1)").arg(transaction.error());
  // Read again under the write lock: another program may have created or upgraded it meanwhile.
  const auto version = sql::scalar(db_, QStringLiteral("PRAGMA user_version"), &error);
  const auto objects =
      sql::scalar(db_, QStringLiteral("SELECT count(*) FROM sqlite_master"), &error);
  if (!version || !objects) return error;
  const int from = version->toInt();
  if (from == Schema::kVersion) return {};
  if (from > Schema::kVersion) {
    return tr("a setup library of a newer version of this program (layout %1)").arg(from);
  }
  if (from == 0) {
    if (objects->toInt() != 0) {
      return tr("not a setup library of this program (tables of an unknown layout)");
    }
    error = Schema::create(db_);
    if (!error.isEmpty()) return tr("cannot be created (%1)").arg(error);
  } else {
    error = Schema::upgrade(db_, from);
    if (!error.isEmpty()) {
      return tr("cannot be upgraded from layout %1 (%2)").arg(from).arg(error);
    }
  }
  if (!transaction.commit()) return tr("cannot be written (%1)").arg(transaction.error());
  return {};
}

}  // namespace tarvik
