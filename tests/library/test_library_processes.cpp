// SPDX-License-Identifier: MIT
// The library across processes: an import killed with SIGKILL inside its transaction leaves a
// library that opens, passes SQLite's integrity check and holds none or all of the files; two
// programs storing setups at the same time both succeed, and an open beside another program's
// lock waits for it.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "config/FullBackup.h"
#include "config/TvkFile.h"
#include "library/LibraryRig.h"
#include "library/SetupLibrary.h"

using namespace tarvik;
using namespace tarvik::test;

namespace {

constexpr int kWaitMs = 120000;  // only ever ends early; the event it waits for ends it

// Waits until the process has written `line` (a whole line), or has ended without it.
bool waitForLine(QProcess& process, const QByteArray& line, QByteArray& output) {
  while (!output.split('\n').contains(line)) {
    if (process.state() == QProcess::NotRunning) return false;
    if (!process.waitForReadyRead(kWaitMs)) {
      output += process.readAllStandardOutput();
      return output.split('\n').contains(line);
    }
    output += process.readAllStandardOutput();
  }
  return true;
}

void start(QProcess& process, const QStringList& arguments) {
  process.setProgram(QStringLiteral(TARVIK_LIBRARY_CHILD));
  process.setArguments(arguments);
  process.setProcessChannelMode(QProcess::SeparateChannels);
  process.start();
}

qint64 fileSize(const QString& path) {
  return QFileInfo(path).exists() ? QFileInfo(path).size() : 0;
}

}  // namespace

class LibraryProcessesTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void aKilledImportLeavesNoneOrAll_data() {
    QTest::addColumn<QString>("pause");
    QTest::addColumn<int>("left");  // setups the library holds afterwards
    QTest::newRow("killed after the first file") << "1" << 0;
    QTest::newRow("killed half way, pages already in the log") << "150" << 0;
    QTest::newRow("killed after the last file, before the commit") << "300" << 0;
    QTest::newRow("killed after the commit") << "committed" << 300;
  }
  void aKilledImportLeavesNoneOrAll() {
    QFETCH(QString, pause);
    QFETCH(int, left);
    constexpr int kFiles = 300;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString library = dir.filePath(QStringLiteral("library.sqlite"));
    QStringList arguments{QStringLiteral("import"), library, pause};
    ConfigRecord record;
    record.magicFunction = 0;  // "none": a record a restore takes as written
    for (int i = 0; i < kFiles; ++i) {
      PresetTables tables;
      tables.setMask(i % kTableSize, static_cast<std::uint8_t>(i));
      const QString path = dir.filePath(QStringLiteral("setup %1.tvk").arg(i));
      QVERIFY(writeFile(path, FullBackup::serialize(tables, record.toBytes())));
      arguments.append(path);
    }
    {
      // One setup from before, which must survive whatever happens to the import.
      SetupLibrary::Opened opened = SetupLibrary::open(library);
      QVERIFY2(opened.library, qPrintable(opened.error));
      QVERIFY(opened.library->setups().store(sampleSetup(QStringLiteral("before"), 1)).ok());
    }

    QProcess child;
    start(child, arguments);
    QByteArray output;
    const QByteArray awaited = pause == "committed" ? "committed" : "paused";
    QVERIFY2(waitForLine(child, awaited, output), child.readAllStandardError().constData());
    if (pause.toInt() >= 150) {
      // The import did not just sit in memory: uncommitted pages are in the log on the disk.
      QVERIFY(fileSize(library + QStringLiteral("-wal")) > 0);
    }
    child.kill();
    QVERIFY(child.waitForFinished(kWaitMs));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    SetupLibrary::Opened reopened = SetupLibrary::open(library);
    QVERIFY2(reopened.library, qPrintable(reopened.error));
    const QList<SetupSummary> setups = *reopened.library->setups().list().value;
    QCOMPARE(setups.size(), left + 1);
    QVERIFY(reopened.library->setups().setup(QStringLiteral("before")).ok());
    RawDatabase raw(library);
    QCOMPARE(raw.value("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
    QCOMPARE(raw.value("SELECT count(*) FROM setup_blocks").toInt(), left + 1);
    if (left > 0) {
      const Setup last = *reopened.library->setups().setup(QStringLiteral("setup 299")).value;
      QCOMPARE(last.bytes.presets[299 % kTableSize], std::uint8_t{299 % 256});
    }
  }

  // The moment when another program creating the library holds its lock before the file is a
  // log: the open waits for it, as a write would, and goes on once it is released.
  void anOpenWaitsForAnotherProgramsLock() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString library = dir.filePath(QStringLiteral("created.sqlite"));
    QProcess holder;
    start(holder, {QStringLiteral("hold"), library});
    QByteArray holderOutput;
    QVERIFY2(waitForLine(holder, "holding", holderOutput),
             holder.readAllStandardError().constData());
    QProcess opener;
    start(opener,
          {QStringLiteral("store"), library, QStringLiteral("opener"), QStringLiteral("1")});
    QByteArray openerOutput;
    QVERIFY2(waitForLine(opener, "waiting", openerOutput),
             opener.readAllStandardError().constData());
    holder.write("go\n");
    QVERIFY(holder.waitForFinished(kWaitMs));
    QVERIFY2(holder.exitCode() == 0, holder.readAllStandardError().constData());

    QVERIFY2(waitForLine(opener, "ready", openerOutput), opener.readAllStandardError().constData());
    opener.write("go\n");
    QVERIFY(opener.waitForFinished(kWaitMs));
    QVERIFY2(opener.exitCode() == 0, opener.readAllStandardError().constData());
    SetupLibrary::Opened opened = SetupLibrary::open(library);
    QVERIFY2(opened.library, qPrintable(opened.error));
    QVERIFY(opened.library->setups().setup(QStringLiteral("opener-1")).ok());
  }

  // Both start on a library that does not exist yet, and both write once the other is ready.
  void twoProgramsStoreAtOnce() {
    constexpr int kEach = 60;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString library = dir.filePath(QStringLiteral("shared.sqlite"));
    QProcess first;
    QProcess second;
    start(first,
          {QStringLiteral("store"), library, QStringLiteral("first"), QString::number(kEach)});
    start(second,
          {QStringLiteral("store"), library, QStringLiteral("second"), QString::number(kEach)});
    QByteArray firstOutput;
    QByteArray secondOutput;
    QVERIFY2(waitForLine(first, "ready", firstOutput), first.readAllStandardError().constData());
    QVERIFY2(waitForLine(second, "ready", secondOutput), second.readAllStandardError().constData());
    first.write("go\n");
    second.write("go\n");

    QVERIFY(first.waitForFinished(kWaitMs));
    QVERIFY(second.waitForFinished(kWaitMs));
    QVERIFY2(first.exitCode() == 0, first.readAllStandardError().constData());
    QVERIFY2(second.exitCode() == 0, second.readAllStandardError().constData());

    SetupLibrary::Opened opened = SetupLibrary::open(library);
    QVERIFY2(opened.library, qPrintable(opened.error));
    QCOMPARE(opened.library->setups().list(QStringLiteral("first-")).value->size(), kEach);
    QCOMPARE(opened.library->setups().list(QStringLiteral("second-")).value->size(), kEach);
    RawDatabase raw(library);
    QCOMPARE(raw.value("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
  }
};

QTEST_GUILESS_MAIN(LibraryProcessesTest)
#include "test_library_processes.moc"
