// SPDX-License-Identifier: MIT
// The library commands and diff against the simulated Tarvik in this process, each parsed from
// its command line as a user types it, with the library in a folder of the test's own.
#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "cli/CliRun.h"
#include "config/Configuration.h"
#include "config/FullBackup.h"
#include "library/LibraryRig.h"
#include "sim/InProcessTarvik.h"
#include "tests/cli/CommandRig.h"

using namespace tarvik;
using namespace tarvik::cli;
using tarvik::testing::Ran;
using tarvik::testing::runCommandLine;

namespace {

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Valid settings with a debounce time the editors would clamp (255 -> 254): a setup stored from
// the device must keep it.
TarvikContents deviceContents() {
  TarvikContents contents = TarvikContents::factory();
  contents.presets[3] = 0x81;
  contents.ccMap[9] = 200;  // no CC item: the editors read it as no selection
  contents.configRecord = {255, 2, 1, 5, 5, 6, 128, 10, 2, 1, 6, 127, 1, 0, 1, 127, 255, 1, 0, 3};
  return contents;
}

}  // namespace

class CliLibraryTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString library_;

  QString path(const QString& name) const { return dir_.filePath(name); }

  Ran run(SimulatedMidi& device, const QStringList& words) {
    return runCommandLine(device.ports(), library_, words);
  }
  Ran run(const QStringList& words) {
    SimulatedMidi device(deviceContents());
    return run(device, words);
  }

  // The backup command's file of a device with the seed's contents.
  QString backupOf(std::uint32_t seed, const QString& name) {
    SimulatedMidi device(TarvikContents::fromSeed(seed));
    const Ran ran = run(device, {"backup", path(name)});
    if (ran.exitCode != ExitCode::Ok) qFatal("backup failed: %s", qPrintable(ran.err));
    return path(name);
  }

 private Q_SLOTS:
  void initTestCase() { QVERIFY(dir_.isValid()); }
  void init() {
    library_ = path(QStringLiteral("%1.sqlite").arg(QTest::currentTestFunction()) +
                    QTest::currentDataTag());
  }

  // The file's bytes come back out of the library, and the list names each setup with the
  // time it was stored.
  void importListExportRoundTrip() {
    const QString b = backupOf(3, "Bridge.tvk");
    // Names and the loops' labels go in with the file and come back out with it.
    // The file as the program writes it, its head counting them.
    QByteArray text = readFile(b);
    text.replace("names=0\r\nloops=0\r\n", "names=2\r\nloops=1\r\n");
    QVERIFY(writeFile(
        b, text + "[names]\r\n1=Clean\r\n128=Lead \xc3\xa9\r\n[loops]\r\nloop3=Delay\r\n"));
    const QString a = backupOf(4, "amp.tvk");
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    const Ran imported = run({"library", "import", b, a});
    const QDateTime after = QDateTime::currentDateTime();
    QCOMPARE(imported.exitCode, ExitCode::Ok);
    QCOMPARE(imported.out, QStringLiteral("imported Bridge\nimported amp\n"));

    const Ran listed = run({"library", "list"});
    QCOMPARE(listed.exitCode, ExitCode::Ok);
    const QStringList lines = listed.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    const QRegularExpression line(
        QStringLiteral("^(\\w+)\t(\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d)$"));
    QStringList names;
    for (const QString& text : lines) {
      const QRegularExpressionMatch match = line.match(text);
      QVERIFY2(match.hasMatch(), qPrintable(text));
      names.append(match.captured(1));
      const QDateTime changed =
          QDateTime::fromString(match.captured(2), QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
      QVERIFY2(changed >= before && changed <= after, qPrintable(text));
    }
    QCOMPARE(names, (QStringList{"amp", "Bridge"}));  // by name, whatever the letter case

    QCOMPARE(run({"library", "export", "Bridge", path("out.tvk")}).exitCode, ExitCode::Ok);
    QCOMPARE(readFile(path("out.tvk")), readFile(b));
    const Ran toStandardOutput = run({"library", "export", "amp", "-"});
    QCOMPARE(toStandardOutput.exitCode, ExitCode::Ok);
    QCOMPARE(toStandardOutput.out.toUtf8(), readFile(a));
    QCOMPARE(run({"library", "export", "none", path("none.tvk")}).exitCode, ExitCode::UsageOrFile);
    QVERIFY(!QFile::exists(path("none.tvk")));
  }

  // Another program inside a write holds up no `library list`: it lists what was committed.
  void listsBesideAnotherProgramsWrite() {
    QCOMPARE(run({"library", "import", backupOf(5, "kept.tvk")}).exitCode, ExitCode::Ok);
    test::RawDatabase other(library_);
    QCOMPARE(other.exec({"BEGIN IMMEDIATE", "DELETE FROM setups"}), QString());
    const Ran listed = run({"library", "list"});
    QVERIFY2(listed.exitCode == ExitCode::Ok, qPrintable(listed.err));
    QVERIFY2(listed.out.startsWith(QStringLiteral("kept\t")), qPrintable(listed.out));
  }

  void importIsAllOrNothing_data() {
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");
    QTest::newRow("a file restore would refuse stores none")
        << "broken.tvk" << false << int(ExitCode::UsageOrFile) << "broken.tvk";
    QTest::newRow("a name that is taken stores none")
        << "taken.tvk" << false << int(ExitCode::UsageOrFile) << "taken";
    QTest::newRow("--replace takes the taken name")
        << "taken.tvk" << true << int(ExitCode::Ok) << "";
  }
  void importIsAllOrNothing() {
    QFETCH(QString, second);
    QFETCH(bool, replace);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    QVERIFY(writeFile(path("broken.tvk"), "notes for the gig\r\n"));
    QCOMPARE(run({"library", "import", backupOf(5, "taken.tvk")}).exitCode, ExitCode::Ok);
    const QString before = run({"library", "list"}).out;
    // The taken name's file now holds other contents, so a replace shows in the export.
    backupOf(6, "taken.tvk");

    QStringList words{"library", "import", backupOf(7, "fresh.tvk"), path(second)};
    if (replace) words.append("--replace");
    const Ran imported = run(words);
    QCOMPARE(imported.exitCode, exitCode);
    QVERIFY2(imported.err.contains(says), qPrintable(imported.err));
    const Ran after = run({"library", "list"});
    if (exitCode != ExitCode::Ok) {
      QCOMPARE(imported.err.count('\n'), 1);
      QCOMPARE(after.out, before);
      return;
    }
    QCOMPARE(after.out.count('\n'), 2);
    QCOMPARE(run({"library", "export", "taken", path("taken-out.tvk")}).exitCode, ExitCode::Ok);
    QCOMPARE(readFile(path("taken-out.tvk")), readFile(path("taken.tvk")));
  }

  // A change on the device shows byte by byte, library side first.
  void storedSetupDiffsWithTheDevice() {
    SimulatedMidi device(deviceContents());
    const Ran stored = run(device, {"library", "store", "live"});
    QCOMPARE(stored.exitCode, ExitCode::Ok);
    QCOMPARE(stored.out, QStringLiteral("stored live\n"));

    const Ran same = run(device, {"diff", "device", "library:live"});
    QCOMPARE(same.out, QString());
    QCOMPARE(same.exitCode, ExitCode::Ok);

    TarvikContents changed = device.device().contents();
    changed.presets[4] = 0x07;
    changed.ccMap[127] = 0x03;
    changed.configRecord[3] = 0x04;
    device.device().setContents(changed);
    const Ran differs = run(device, {"diff", "library:live", "device"});
    QCOMPARE(differs.out, QStringLiteral("presets 5: 0x00 -> 0x07\n"
                                         "ccmap 128: 0x00 -> 0x03\n"
                                         "settings muteMask: 0x05 -> 0x04\n"));
    QCOMPARE(differs.exitCode, ExitCode::DeviceFailure);

    // Taken without --replace: refused before the device is asked anything.
    const int commands = device.device().commandsReceived();
    QCOMPARE(run(device, {"library", "store", "live"}).exitCode, ExitCode::UsageOrFile);
    QCOMPARE(device.device().commandsReceived(), commands);
    QCOMPARE(run(device, {"library", "store", "live", "--replace"}).exitCode, ExitCode::Ok);
    QCOMPARE(run(device, {"diff", "device", "library:live"}).exitCode, ExitCode::Ok);
  }

  // A setup of a device holding values the editors cannot keep holds what a backup holds, says
  // so as a backup does, and comes back whole: restored, its diff with the device is empty;
  // exported, imported and restored again, too.
  void aStoredSetupRoundTrips_data() {
    QTest::addColumn<Block>("block");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("held");
    QTest::addColumn<QString>("warning");
    QTest::newRow("a CC map entry without an item")
        << Block::CcMap << 10 << 0xC8 << "CC map row 11: Tarvik holds 0xC8, the backup keeps 0xFF";
    QTest::newRow("a PC remap entry without an item")
        << Block::PcRemap << 5 << 0x90
        << "PC remap table row 6: Tarvik holds 0x90, the backup keeps 0xFF";
    QTest::newRow("a debounce time of 255")
        << Block::Record << 0 << 0xFF << "debounceTime: Tarvik holds 0xFF, the backup keeps 0xFE";
    QTest::newRow("a CC-message value while the function is another")
        << Block::Record << 10 << 112 << "magicChange: Tarvik holds 0x70, the backup keeps 0x00";
  }
  void aStoredSetupRoundTrips() {
    QFETCH(Block, block);
    QFETCH(int, row);
    QFETCH(int, held);
    QFETCH(QString, warning);
    TarvikContents contents = TarvikContents::factory();
    contents.presets[3] = 0x81;
    contents.configRecord[8] = 1;  // "Master Bypass": the CC-message values are not sent
    const auto value = static_cast<std::uint8_t>(held);
    if (block == Block::CcMap) contents.ccMap[row] = value;
    if (block == Block::PcRemap) contents.pcRemap[row] = value;
    if (block == Block::Record) contents.configRecord[row] = value;
    SimulatedMidi device(contents);

    const Ran stored = run(device, {"library", "store", "Live"});
    QCOMPARE(stored.exitCode, ExitCode::Ok);
    QCOMPARE(stored.err, "tarvik-cli: warning: " + warning + '\n');
    // Compared as the setup holds it: no difference, but not silently.
    const Ran before = run(device, {"diff", "library:Live", "device"});
    QCOMPARE(before.out, QString());
    QCOMPARE(before.err, stored.err);
    const Ran restored = run(device, {"library", "restore", "Live"});
    QVERIFY2(restored.exitCode == ExitCode::Ok, qPrintable(restored.err));
    const Ran same = run(device, {"diff", "library:Live", "device"});
    QCOMPARE(same.out, QString());
    QCOMPARE(same.err, QString());
    QCOMPARE(same.exitCode, ExitCode::Ok);

    QCOMPARE(run({"library", "export", "Live", path("Live.tvk")}).exitCode, ExitCode::Ok);
    QCOMPARE(run({"library", "import", path("Live.tvk"), "--replace"}).exitCode, ExitCode::Ok);
    QCOMPARE(run({"library", "export", "Live", path("again.tvk")}).exitCode, ExitCode::Ok);
    QCOMPARE(readFile(path("again.tvk")), readFile(path("Live.tvk")));
    QCOMPARE(run(device, {"restore", path("Live.tvk")}).exitCode, ExitCode::Ok);
    QCOMPARE(run(device, {"library", "restore", "Live"}).exitCode, ExitCode::Ok);
    QCOMPARE(run(device, {"diff", path("Live.tvk"), "device"}).out, QString());
  }

  // A label that differs is a line of its own; the device has none, so against it there is no
  // difference.
  void diffShowsALabelDifference() {
    const QByteArray text = readFile(backupOf(6, "rig.tvk"));
    QVERIFY(writeFile(path("fuzz.tvk"), text + "[loops]\r\nloop3=Fuzz\r\n"));
    QVERIFY(writeFile(path("delay.tvk"), text + "[loops]\r\nloop3=Delay\r\nloop8=Tape Echo\r\n"));
    const Ran ran = run({"diff", path("fuzz.tvk"), path("delay.tvk")});
    QCOMPARE(ran.exitCode, ExitCode::DeviceFailure);
    QCOMPARE(ran.out,
             QStringLiteral("loops 3: \"Fuzz\" -> \"Delay\"\nloops 8: \"\" -> \"Tape Echo\"\n"));
    SimulatedMidi device(TarvikContents::fromSeed(6));
    const Ran againstDevice = run(device, {"diff", "device", path("delay.tvk")});
    QCOMPARE(againstDevice.exitCode, ExitCode::Ok);
    QCOMPARE(againstDevice.out, QString());
  }

  void diffTroubleIsExitTwo_data() {
    QTest::addColumn<QStringList>("sides");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QString>("says");
    QTest::newRow("a file that is not there")
        << QStringList{"device", "missing.tvk"} << false << "missing.tvk";
    QTest::newRow("no such setup")
        << QStringList{"library:none", "device"} << false << "no setup named \"none\"";
    QTest::newRow("no such snapshot")
        << QStringList{"snapshot:99", "device"} << false << "no snapshot 99";
    QTest::newRow("a snapshot that is no number")
        << QStringList{"snapshot:last", "device"} << false << "names no snapshot";
    QTest::newRow("a setup without its name")
        << QStringList{"library:", "device"} << false << "names no setup";
    QTest::newRow("no device answers")
        << QStringList{"device", "library:live"} << true << "No Tarvik found";
  }
  void diffTroubleIsExitTwo() {
    QFETCH(QStringList, sides);
    QFETCH(bool, silent);
    QFETCH(QString, says);
    SimulatedMidi device(deviceContents());
    QCOMPARE(run(device, {"library", "store", "live"}).exitCode, ExitCode::Ok);
    const int commands = device.device().commandsReceived();
    SimFaults faults;
    faults.silent = silent;
    device.device().setFaults(faults);

    const Ran ran = run(device, QStringList{"diff"} + sides);
    QCOMPARE(ran.exitCode, ExitCode::UsageOrFile);
    QCOMPARE(ran.out, QString());
    QVERIFY2(ran.err.contains(says), qPrintable(ran.err));
    // A side that cannot be read ends the diff before the device is asked.
    if (!silent) QCOMPARE(device.device().commandsReceived(), commands);
  }

  // A backup's download and a restore, newest first. Each snapshot holds the device's bytes as
  // sent (a setup stored from the same device is equal to it, clamped settings and all), and
  // the same contents downloaded again add nothing.
  void historyFollowsBackupAndRestore() {
    const QString file = backupOf(8, "eight.tvk");
    // The backup of the file was a download too; this history starts after it.
    library_ = path("history.sqlite");
    SimulatedMidi device(TarvikContents::fromSeed(9));
    QCOMPARE(run(device, {"backup", path("nine.tvk")}).exitCode, ExitCode::Ok);
    QCOMPARE(run(device, {"library", "store", "nine"}).exitCode, ExitCode::Ok);
    QCOMPARE(run(device, {"restore", file}).exitCode, ExitCode::Ok);

    const Ran history = run({"library", "history"});
    QCOMPARE(history.exitCode, ExitCode::Ok);
    const QRegularExpression line(
        QStringLiteral("^(\\d+)\t\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\t(\\w+)$"));
    const QStringList lines = history.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    const QRegularExpressionMatch restored = line.match(lines[0]);
    const QRegularExpressionMatch downloaded = line.match(lines[1]);
    QVERIFY2(restored.hasMatch() && downloaded.hasMatch(), qPrintable(history.out));
    QCOMPARE(restored.captured(2), QStringLiteral("restore"));
    QCOMPARE(downloaded.captured(2), QStringLiteral("download"));
    QVERIFY(restored.captured(1).toLongLong() > downloaded.captured(1).toLongLong());

    QCOMPARE(run({"diff", "snapshot:" + restored.captured(1), file}).out, QString());
    QCOMPARE(run({"diff", "snapshot:" + downloaded.captured(1), "library:nine"}).out, QString());
    QCOMPARE(run(device, {"diff", "device", file}).exitCode, ExitCode::Ok);
    QCOMPARE(run({"library", "history"}).out, history.out);
  }

  // Another program's file is never written to: the library's commands end with its reason,
  // the device's commands warn and go on without the history.
  void aForeignLibraryFileStaysAsItIs_data() {
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("library list") << QStringList{"library", "list"} << int(ExitCode::UsageOrFile);
    QTest::newRow("library store")
        << QStringList{"library", "store", "x"} << int(ExitCode::UsageOrFile);
    QTest::newRow("diff with a setup")
        << QStringList{"diff", "library:x", "device"} << int(ExitCode::UsageOrFile);
    QTest::newRow("backup goes on") << QStringList{"backup", "-"} << int(ExitCode::Ok);
    QTest::newRow("info goes on") << QStringList{"info"} << int(ExitCode::Ok);
  }
  void aForeignLibraryFileStaysAsItIs() {
    QFETCH(QStringList, words);
    QFETCH(int, exitCode);
    const QByteArray foreign = "name,amount\r\nsnare,2\r\n";
    QVERIFY(writeFile(library_, foreign));
    // Contents the editors keep as they are: the one line on standard error is the library's.
    SimulatedMidi device;
    const Ran ran = run(device, words);
    QCOMPARE(ran.exitCode, exitCode);
    const QStringList errors = ran.err.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].startsWith(
                 "tarvik-cli: " + QString(exitCode == ExitCode::Ok ? "warning: " : "") + library_),
             qPrintable(ran.err));
    QCOMPARE(readFile(library_), foreign);
  }
};

QTEST_GUILESS_MAIN(CliLibraryTest)
#include "test_cli_library.moc"
