// SPDX-License-Identifier: MIT
// A program that uses a library the way a second front end would, for the tests that need a
// process of its own: one to kill with SIGKILL inside an import, two to write at once, one to
// hold the lock while another opens.
//
// Every open says "waiting" each time it has to wait for another program's lock.
//
//   library_child hold LIBRARY
//       makes LIBRARY a file of this program's that is not yet a library (its application id
//       alone, in SQLite's first journal mode, as a program creating it leaves it for a moment),
//       takes its write lock, says "holding", and lets go once a line comes on its input.
//   library_child store LIBRARY PREFIX COUNT
//       opens the library, says "ready", waits for a line on its input, then stores COUNT
//       setups PREFIX-1.. one change each and says "stored".
//   library_child import LIBRARY PAUSE FILE...
//       imports the files. With a number for PAUSE it says "paused" after that many files,
//       inside the import's transaction, and waits there; with "committed" it says so after
//       the import and waits. The test kills it while it waits.
//
// Exit status 0 when done, 1 with the reason on standard error.
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>
#include <iostream>
#include <string>

#include "library/Schema.h"
#include "library/SetupLibrary.h"

using namespace tarvik;

namespace {

void say(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

int fail(const QString& why) {
  std::fprintf(stderr, "%s\n", qPrintable(why));
  return 1;
}

// Killed while it waits here.
void waitForInput() {
  std::string line;
  std::getline(std::cin, line);
}

ConfigBytes bytesFor(int seed) {
  ConfigBytes bytes;
  for (int row = 0; row < kTableSize; ++row) {
    bytes.presets[row] = static_cast<std::uint8_t>(row + seed);
    bytes.ccMap[row] = static_cast<std::uint8_t>(seed);
    bytes.pcRemap[row] = static_cast<std::uint8_t>(row);
  }
  return bytes;
}

// What a loaded machine may take to pass a line from one process to the next: the give-up of a
// wait that the other process's release ends, not the program's limit.
constexpr int kBusyTimeoutMs = 120000;

int holdOn(QSqlDatabase db, const QString& path) {
  db.setDatabaseName(path);
  if (!db.open()) return fail(db.lastError().text());
  QSqlQuery query(db);
  if (!query.exec(QStringLiteral("PRAGMA application_id = %1").arg(Schema::kApplicationId)) ||
      !query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
    return fail(query.lastError().text());
  }
  say("holding");
  waitForInput();
  if (!query.exec(QStringLiteral("COMMIT"))) return fail(query.lastError().text());
  return 0;
}

int hold(const QString& path) {
  const QString name = QStringLiteral("holder");
  const int result = holdOn(QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name), path);
  QSqlDatabase::removeDatabase(name);
  return result;
}

int store(SetupLibrary& library, const QString& prefix, int count) {
  say("ready");
  waitForInput();
  for (int i = 1; i <= count; ++i) {
    Setup setup;
    setup.name = QStringLiteral("%1-%2").arg(prefix).arg(i);
    setup.bytes = bytesFor(i);
    if (const Outcome outcome = library.setups().store(setup); !outcome.ok()) {
      return fail(outcome.error);
    }
  }
  say("stored");
  return 0;
}

int import(SetupLibrary& library, const QString& pause, const QStringList& files) {
  // A page cache of a few pages, so that the import's pages go to the log on the disk long
  // before it commits: the kill then leaves uncommitted frames for the next opener to ignore.
  QSqlQuery query(library.connection().database());
  if (!query.exec(QStringLiteral("PRAGMA cache_size = 4")))
    return fail(QStringLiteral("cache_size"));
  const int pauseAt = pause.toInt();
  const Result<QStringList> imported =
      library.importFiles(files, IfExists::Refuse, [pauseAt](int done, int) {
        if (done != pauseAt) return;
        say("paused");
        waitForInput();
      });
  if (!imported.ok()) return fail(imported.error);
  if (pause == QLatin1String("committed")) {
    say("committed");
    waitForInput();
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (args.size() == 2 && args[0] == QLatin1String("hold")) return hold(args[1]);
  if (args.size() < 3) return fail(QStringLiteral("usage: library_child store|import LIBRARY ..."));
  SetupLibrary::Opened opened =
      SetupLibrary::open(args[1], {}, kBusyTimeoutMs, [] { say("waiting"); });
  if (!opened.library) return fail(opened.error);
  if (args[0] == QLatin1String("store") && args.size() == 4) {
    return store(*opened.library, args[2], args[3].toInt());
  }
  if (args[0] == QLatin1String("import")) return import(*opened.library, args[2], args.mid(3));
  return fail(QStringLiteral("unknown command"));
}
