// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <memory>
#include <thread>

namespace tarvik {

// The open library file: one connection of Qt SQL's SQLite driver, usable from the thread that
// opened it only. Opening refuses any file that is not this program's library, or that this
// version cannot use, before writing a byte to it; it creates a missing file and upgrades an
// older layout in place.
//
// Two programs may use one library at once: the journal is a write-ahead log (readers never wait
// for a writer) and a writer waits up to kBusyTimeoutMs for another writer's transaction.
// Opening a library of the current layout only reads, so it never waits for another program's
// write either; only a library to create or upgrade takes the write lock, and one that is not
// yet a log (being created by another program this moment) waits for the lock as a write does,
// so that the window and tarvik-cli can start together on a library that is not there yet.
class LibraryConnection {
  Q_DECLARE_TR_FUNCTIONS(LibraryConnection)

 public:
  using Clock = std::function<QDateTime()>;
  static constexpr int kBusyTimeoutMs = 10000;

  struct Opened {
    std::unique_ptr<LibraryConnection> connection;  // empty when refused
    QString error;                                  // "<file>: <reason>" on one line when refused
  };
  // `clock` gives the times the library records (the system clock when empty); a write waits
  // up to `busyTimeoutMs` for another program's. `waiting`, when given, is called each time the
  // open has to wait for another program's lock; the lock's release ends the wait.
  using Waiting = std::function<void()>;
  static Opened open(const QString& path, Clock clock = {}, int busyTimeoutMs = kBusyTimeoutMs,
                     const Waiting& waiting = {});

  // Loads the SQLite driver (Qt's plugin and the SQLite library behind it) on a thread of its
  // own, which its end waits for. tarvik-cli opens its library only once the device answers, to
  // record what it holds; started first thing, the loading overlaps the MIDI system's start and
  // the device's round trips instead of adding to them. Opening a library meanwhile is safe: Qt
  // guards its driver list, and a plugin loaded twice is loaded once. The thread must end before
  // the application object does.
  static std::jthread preloadDriver();

  ~LibraryConnection();
  LibraryConnection(const LibraryConnection&) = delete;
  LibraryConnection& operator=(const LibraryConnection&) = delete;

  const QSqlDatabase& database() const { return db_; }
  const QString& path() const { return path_; }
  QDateTime now() const;
  // A failure of the database, for the user: "<file>: <reason>" (sql::errorText()).
  QString failure(const QString& driverText) const;

 private:
  LibraryConnection(const QString& path, const QString& name, Clock clock);
  // Everything after the driver has opened the file; empty on success.
  QString prepare(bool fresh, int busyTimeoutMs, const Waiting& waiting);
  QString useWriteAheadLog(int busyTimeoutMs, const Waiting& waiting);
  QString createOrUpgrade();

  QString path_;
  QString name_;
  Clock clock_;
  QSqlDatabase db_;
};

}  // namespace tarvik
