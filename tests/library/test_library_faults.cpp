// SPDX-License-Identifier: MIT
// What goes wrong around the library file is named for what it is: a full disk, a read-only
// folder and another program's lock are never called a damaged library, and the library opens
// with all it held once the cause is gone. A program writing to the library keeps no other
// from opening and reading it; only a write waits for it, and then says why it gave up.
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include "library/LibraryRig.h"
#include "library/SetupLibrary.h"
#include "library/SmallDisk.h"

using namespace tarvik;
using namespace tarvik::test;

namespace {

// A connection of another program that holds the write lock until it is destroyed.
struct OtherWriter {
  explicit OtherWriter(const QString& path, const QStringList& first = {}) : raw(path) {
    error = raw.exec(first + QStringList{QStringLiteral("BEGIN IMMEDIATE"),
                                         QStringLiteral("DELETE FROM setups")});
  }
  RawDatabase raw;
  QString error;
};

bool storeOne(const QString& path, const QString& name) {
  SetupLibrary::Opened opened = SetupLibrary::open(path);
  return opened.library && opened.library->setups().store(sampleSetup(name, 1)).ok();
}

}  // namespace

class LibraryFaultsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void namesTheCauseAndNeverCallsItDamaged_data() {
    QTest::addColumn<QString>("cause");
    QTest::addColumn<bool>("storing");  // the cause meets a store, not the opening
    QTest::addColumn<QString>("reason");
    QTest::newRow("a full disk when opening") << "full" << false << "the disk is full";
    QTest::newRow("a full disk when storing") << "full" << true << "the disk is full";
    QTest::newRow("a read-only folder") << "readOnly" << false << "can only be read";
    QTest::newRow("a new library in a read-only folder")
        << "readOnlyNew" << false << "can only be read";
    QTest::newRow("another program's exclusive lock")
        << "exclusive" << false << "another program (or another configurator window) is writing";
  }
  void namesTheCauseAndNeverCallsItDamaged() {
    QFETCH(QString, cause);
    QFETCH(bool, storing);
    QFETCH(QString, reason);
    SmallDisk disk;
    if (!disk.problem().isEmpty()) QSKIP(qPrintable(disk.problem()));
    const QString path = disk.file(QStringLiteral("library.sqlite"));
    if (cause != "readOnlyNew") QVERIFY(storeOne(path, QStringLiteral("kept")));

    SetupLibrary::Opened open;
    if (storing) {
      open = SetupLibrary::open(path);
      QVERIFY2(open.library, qPrintable(open.error));
    }
    std::unique_ptr<OtherWriter> other;
    if (cause == "full") QVERIFY(disk.fill());
    if (cause.startsWith("readOnly")) QVERIFY(disk.setReadOnly(true));
    if (cause == "exclusive") {
      other = std::make_unique<OtherWriter>(path, QStringList{"PRAGMA locking_mode = EXCLUSIVE"});
      QCOMPARE(other->error, QString());
    }

    QString error;
    if (storing) {
      error = open.library->setups().store(sampleSetup(QStringLiteral("new"), 2)).error;
    } else {
      SetupLibrary::Opened opened = SetupLibrary::open(path, {}, 0);
      QVERIFY(!opened.library);
      error = opened.error;
    }
    QVERIFY2(error.startsWith(path + ": "), qPrintable(error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY2(!error.contains(QStringLiteral("damaged")), qPrintable(error));

    open.library.reset();
    other.reset();
    disk.empty();
    QVERIFY(disk.setReadOnly(false));
    SetupLibrary::Opened again = SetupLibrary::open(path);
    QVERIFY2(again.library, qPrintable(again.error));
    QCOMPARE(again.library->setups().list().value->size(), cause == "readOnlyNew" ? 0 : 1);
  }

  // Another program is inside a write; opening and reading go on at once beside it (a busy
  // timeout of 0 fails anything that would wait), and a write waits its timeout, then names
  // the holder.
  void readersGoOnBesideAWriterAndAWriteSaysWhoHoldsTheLock() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("library.sqlite"));
    QVERIFY(storeOne(path, QStringLiteral("kept")));
    auto other = std::make_unique<OtherWriter>(path);
    QCOMPARE(other->error, QString());

    SetupLibrary::Opened reader = SetupLibrary::open(path, {}, 0);
    QVERIFY2(reader.library, qPrintable(reader.error));
    const Result<QList<SetupSummary>> listed = reader.library->setups().list();
    QVERIFY2(listed.ok(), qPrintable(listed.error));
    QCOMPARE(listed.value->size(), 1);
    QVERIFY(reader.library->setups().setup(QStringLiteral("kept")).ok());
    QVERIFY(reader.library->history().list().ok());
    QVERIFY(reader.library->setLists().list().ok());

    constexpr int kTimeoutMs = 300;
    SetupLibrary::Opened writer = SetupLibrary::open(path, {}, kTimeoutMs);
    QVERIFY2(writer.library, qPrintable(writer.error));
    QElapsedTimer waited;
    waited.start();
    const Outcome refused = writer.library->setups().store(sampleSetup(QStringLiteral("new"), 2));
    QVERIFY(waited.elapsed() >= kTimeoutMs);
    QVERIFY(!refused.ok());
    QVERIFY2(refused.error.contains(
                 QStringLiteral("another program (or another configurator window) is writing")),
             qPrintable(refused.error));
    QVERIFY2(refused.error.contains(QStringLiteral(" s for it to finish")),
             qPrintable(refused.error));

    other.reset();
    QVERIFY(writer.library->setups().store(sampleSetup(QStringLiteral("new"), 2)).ok());
  }
};

QTEST_GUILESS_MAIN(LibraryFaultsTest)
#include "test_library_faults.moc"
