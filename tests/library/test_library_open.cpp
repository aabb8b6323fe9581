// SPDX-License-Identifier: MIT
// Opening a library: a file that is not one of this program's, or that this version cannot use,
// is refused with its name and the reason and left byte for byte as it was; a missing or empty
// file becomes a library; an older layout is upgraded in place, or left whole when it cannot be.
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "library/LibraryRig.h"
#include "library/Schema.h"
#include "library/SetupLibrary.h"

using namespace tarvik;
using namespace tarvik::test;

namespace {

// A library of `count` setups, closed, so that all of it is in the file itself.
QString newerLayout() {
  return QStringLiteral("PRAGMA user_version = %1").arg(Schema::kVersion + 1);
}

bool makeLibrary(const QString& path, int count) {
  SetupLibrary::Opened opened = SetupLibrary::open(path);
  if (!opened.library) return false;
  QList<Setup> setups;
  for (int i = 0; i < count; ++i) setups.append(sampleSetup(QStringLiteral("Setup %1").arg(i), i));
  return opened.library->setups().storeAll(setups, IfExists::Refuse).ok();
}

// Layout 1 as a program of that version left it (see Schema.h), with two setups, four names and
// two snapshots; `extra` runs last, to spoil it.
QString makeLayout1(const QString& path, const QStringList& extra = {}) {
  RawDatabase raw(path);
  const QString blob = QStringLiteral("zeroblob(128)");
  QStringList statements{
      QStringLiteral("PRAGMA application_id = %1").arg(Schema::kApplicationId),
      QStringLiteral("PRAGMA journal_mode = WAL"),
      QStringLiteral("BEGIN"),
      QStringLiteral("CREATE TABLE setups (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE, "
                     "note TEXT NOT NULL DEFAULT '', created INTEGER NOT NULL, changed INTEGER NOT "
                     "NULL, presets BLOB NOT NULL, ccmap BLOB NOT NULL, pcremap BLOB NOT NULL, "
                     "settings BLOB)"),
      QStringLiteral("CREATE TABLE preset_names (setup_id INTEGER NOT NULL, row INTEGER NOT NULL, "
                     "name TEXT NOT NULL, PRIMARY KEY (setup_id, row))"),
      QStringLiteral("CREATE TABLE snapshots (id INTEGER PRIMARY KEY, time INTEGER NOT NULL, "
                     "event TEXT NOT NULL, presets BLOB NOT NULL, ccmap BLOB NOT NULL, pcremap "
                     "BLOB NOT NULL, settings BLOB)"),
      QStringLiteral("INSERT INTO setups VALUES (1, 'Blues', 'Strat night', 1000, 2000, "
                     "randomblob(128), randomblob(128), randomblob(128), randomblob(20))"),
      QStringLiteral("INSERT INTO setups VALUES (7, 'Metal', '', 3000, 4000, %1, %1, %1, NULL)")
          .arg(blob),
      QStringLiteral("INSERT INTO preset_names VALUES (1, 0, 'Clean'), (1, 127, 'Solo'), "
                     "(7, 5, 'Chug'), (7, 64, 'Wall')"),
      QStringLiteral("INSERT INTO snapshots VALUES (1, 500, 'download', %1, %1, %1, "
                     "zeroblob(20)), (2, 600, 'submit', %1, %1, %1, NULL)")
          .arg(blob),
      QStringLiteral("PRAGMA user_version = 1")};
  statements += extra;
  statements.append(QStringLiteral("COMMIT"));
  return raw.exec(statements);
}

}  // namespace

class LibraryOpenTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void refusesAFileThatIsNotALibraryItCanUse_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a text file") << "text"
                                 << "not a setup library of this program";
    QTest::newRow("a file that ends inside the SQLite header") << "header"
                                                               << "damaged";
    QTest::newRow("a library cut short") << "truncated"
                                         << "damaged";
    QTest::newRow("a library with a page overwritten") << "page"
                                                       << "damaged";
    QTest::newRow("a database of another program") << "other"
                                                   << "another program";
    QTest::newRow("a database with another application id") << "otherId"
                                                            << "another program";
    QTest::newRow("a library of a newer layout") << "newer"
                                                 << "newer version";
    // A newer program's upgrade still in the log, the file's header not yet rewritten.
    QTest::newRow("a newer layout not yet in the file itself") << "newerInLog"
                                                               << "newer version";
  }
  void refusesAFileThatIsNotALibraryItCanUse() {
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("library.sqlite"));
    std::unique_ptr<RawDatabase> writerStillOpen;
    if (kind == "text") {
      QVERIFY(writeFile(path, "my setups:\nBlues\nMetal\n"));
    } else if (kind == "other" || kind == "otherId") {
      RawDatabase raw(path);
      QCOMPARE(
          raw.exec({kind == "otherId" ? "PRAGMA application_id = 42" : "PRAGMA user_version = 0",
                    "CREATE TABLE notes (text TEXT)", "INSERT INTO notes VALUES ('mine')"}),
          QString());
    } else {
      QVERIFY(makeLibrary(path, 300));
      QFile file(path);
      QVERIFY(file.open(QIODevice::ReadWrite));
      if (kind == "header") QVERIFY(file.resize(50));
      if (kind == "truncated") QVERIFY(file.resize(file.size() / 2));
      if (kind == "page") {
        QVERIFY(file.seek(4096 * 3));
        QCOMPARE(file.write(QByteArray(4096, '\x5A')), 4096);
      }
      file.close();
      if (kind == "newer") {
        RawDatabase raw(path);
        QCOMPARE(raw.exec({newerLayout()}), QString());
      }
      if (kind == "newerInLog") {
        writerStillOpen = std::make_unique<RawDatabase>(path);
        QCOMPARE(writerStillOpen->exec({"PRAGMA wal_autocheckpoint = 0", newerLayout()}),
                 QString());
      }
    }
    const FileState before = FileState::of(path);

    SetupLibrary::Opened opened = SetupLibrary::open(path);
    QVERIFY(!opened.library);
    QVERIFY2(opened.error.startsWith(path + ": "), qPrintable(opened.error));
    QVERIFY2(opened.error.contains(reason), qPrintable(opened.error));
    QVERIFY(!opened.error.contains(u'\n'));
    QVERIFY(FileState::of(path) == before);
  }

  void createsAMissingLibraryAndItsFolder() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new/folder/library.sqlite"));
    {
      SetupLibrary::Opened opened = SetupLibrary::open(path);
      QVERIFY2(opened.library, qPrintable(opened.error));
      QVERIFY(opened.library->setups().store(sampleSetup(QStringLiteral("First"), 1)).ok());
    }
    RawDatabase raw(path);
    QCOMPARE(raw.value("PRAGMA application_id").toInt(), Schema::kApplicationId);
    QCOMPARE(raw.value("PRAGMA user_version").toInt(), Schema::kVersion);
    QCOMPARE(raw.value("PRAGMA journal_mode").toString(), QStringLiteral("wal"));
    QCOMPARE(raw.value("SELECT name FROM setups").toString(), QStringLiteral("First"));
  }

  // A library is an empty file for a moment while it is created; a second program that starts
  // then goes on with it. An empty file has nothing to lose.
  void takesAnEmptyFileAsANewLibrary() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("library.sqlite"));
    QVERIFY(writeFile(path, {}));
    SetupLibrary::Opened opened = SetupLibrary::open(path);
    QVERIFY2(opened.library, qPrintable(opened.error));
    QVERIFY(opened.library->setups().list().value->isEmpty());
    // And it is a library the next time.
    opened.library.reset();
    QVERIFY2(SetupLibrary::open(path).library, "reopened");
  }

  void upgradesLayout1InPlace() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("library.sqlite"));
    QCOMPARE(makeLayout1(path), QString());
    QByteArray bluesPresets;
    {
      RawDatabase raw(path);
      bluesPresets = raw.value("SELECT presets FROM setups WHERE id = 1").toByteArray();
    }
    QCOMPARE(bluesPresets.size(), 128);

    SetupLibrary::Opened opened = SetupLibrary::open(path);
    QVERIFY2(opened.library, qPrintable(opened.error));
    SetupLibrary& library = *opened.library;
    const Result<Setup> blues = library.setups().setup(QStringLiteral("Blues"));
    QVERIFY2(blues.ok(), qPrintable(blues.error));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(blues.value->bytes.presets.data()), 128),
             bluesPresets);
    QVERIFY(blues.value->bytes.settings.has_value());
    QCOMPARE(blues.value->names.name(0), QStringLiteral("Clean"));
    QCOMPARE(blues.value->names.name(127), QStringLiteral("Solo"));
    QCOMPARE(blues.value->created.toMSecsSinceEpoch(), 1000);
    QCOMPARE(blues.value->changed.toMSecsSinceEpoch(), 2000);
    const Setup metal = *library.setups().setup(QStringLiteral("Metal")).value;
    QVERIFY(!metal.bytes.settings.has_value());
    QCOMPARE(metal.names.name(5), QStringLiteral("Chug"));
    QCOMPARE(metal.names.name(64), QStringLiteral("Wall"));
    QVERIFY(metal.names.name(0).isEmpty());
    // The filter works on what layout 1 did not have: the folded text of the note.
    QCOMPARE(library.setups().list(QStringLiteral("STRAT")).value->size(), 1);
    const QList<SnapshotSummary> history = *library.history().list().value;
    QCOMPARE(history.size(), 2);
    QCOMPARE(history[0].event, QStringLiteral("submit"));
    QVERIFY(!library.history().snapshot(history[0].id).value->bytes.settings.has_value());
    // The upgraded library takes changes like a new one.
    QVERIFY(library.setups().store(sampleSetup(QStringLiteral("Funk"), 3)).ok());

    RawDatabase raw(path);
    QCOMPARE(raw.value("PRAGMA user_version").toInt(), Schema::kVersion);
    QCOMPARE(raw.value("SELECT count(*) FROM sqlite_master WHERE name IN ('preset_names', "
                       "'setups_1', 'snapshots_1')")
                 .toInt(),
             0);
    QCOMPARE(raw.value("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
  }

  // The upgrade is one transaction: a setup it cannot carry over leaves the library of the
  // older version as it was, and says which setup.
  void leavesLayout1WholeWhenItCannotBeUpgraded() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("library.sqlite"));
    QCOMPARE(makeLayout1(path, {"INSERT INTO setups VALUES (9, 'Short', '', 1, 1, zeroblob(100), "
                                "zeroblob(128), zeroblob(128), NULL)"}),
             QString());
    const FileState before = FileState::of(path);
    SetupLibrary::Opened opened = SetupLibrary::open(path);
    QVERIFY(!opened.library);
    QVERIFY2(opened.error.contains(QStringLiteral("cannot be upgraded from layout 1")),
             qPrintable(opened.error));
    QVERIFY2(opened.error.contains(QStringLiteral("\"Short\"")), qPrintable(opened.error));
    QVERIFY(FileState::of(path) == before);
    RawDatabase raw(path);
    QCOMPARE(raw.value("PRAGMA user_version").toInt(), 1);
    QCOMPARE(raw.value("SELECT count(*) FROM preset_names").toInt(), 4);
  }

  void resolvesTheLibraryFile_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QString>("resolved");
    // The same file whichever program asks: the window's data folder.
    const QString fallback = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                             QStringLiteral("/Tarvik Configurator/library.sqlite");
    QTest::newRow("--library wins over the environment") << "/a/lib.sqlite"
                                                         << "/b/env.sqlite"
                                                         << "/a/lib.sqlite";
    QTest::newRow("the environment without --library") << ""
                                                       << "/b/env.sqlite"
                                                       << "/b/env.sqlite";
    QTest::newRow("the data folder without either") << ""
                                                    << "" << fallback;
  }
  void resolvesTheLibraryFile() {
    QFETCH(QString, option);
    QFETCH(QString, environment);
    QFETCH(QString, resolved);
    const QByteArray saved = qgetenv(SetupLibrary::kEnvironmentVariable);
    qputenv(SetupLibrary::kEnvironmentVariable, environment.toLocal8Bit());
    const QString path = SetupLibrary::path(option);
    qputenv(SetupLibrary::kEnvironmentVariable, saved);
    QCOMPARE(path, resolved);
  }
};

QTEST_GUILESS_MAIN(LibraryOpenTest)
#include "test_library_open.moc"
