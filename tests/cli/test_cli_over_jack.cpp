// SPDX-License-Identifier: MIT
// The real tarvik-cli executable as a user runs it: the platform MIDI service, JACK virtual
// ports and tarvik-sim in its own process, with the program's real time-outs.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "config/FullBackup.h"
#include "sim/fixtures/FirmwareFixture.h"
#include "sim/fixtures/UpdateServer.h"
#include "support/CliProcess.h"
#include "support/JackRig.h"

using tarvik::FullBackup;
using tarvik::PresetTables;
using tarvik::fixtures::FirmwareFixture;
using tarvik::testing::CliResult;
using tarvik::testing::JackRig;

namespace {

// Far beyond the program's own time-outs, so a stuck run shows as its own error.
constexpr int kRunTimeoutMs = 60000;

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class CliOverJackTest : public QObject {
  Q_OBJECT

  JackRig jack;
  QTemporaryDir dir;

  CliResult run(const QStringList& arguments, const QByteArray& input = {}) {
    QProcess cli;
    return tarvik::testing::runToEnd(cli, QStringLiteral(TARVIK_CLI_PATH), arguments, input,
                                     kRunTimeoutMs);
  }
  QString describe(const CliResult& result) {
    return tarvik::testing::describe(result, jack.simulatorOutput());
  }

  void startSimulator(const QStringList& options) {
    const QString failure = jack.startSimulator(QStringLiteral(TARVIK_SIM_PATH), options);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(dir.isValid());
    // Long cycles give both processes slack on a loaded machine (see the window's JACK test).
    jack.periodFrames = 1024;
    TARVIK_START_JACK_OR_SKIP(jack);
  }

  void cleanup() {
    if (QTest::currentTestFailed())
      qInfo().noquote() << "the JACK server said:\n" << jack.serverOutput().right(4096);
    jack.stopSimulator();
  }

  void cleanupTestCase() { jack.stopServer(); }

  void aRestoredSimulatorHoldsTheBackup() {
    const QString saved = dir.filePath(QStringLiteral("seed42.tvk"));
    startSimulator({QStringLiteral("--seed"), QStringLiteral("42")});
    const CliResult backup = run({QStringLiteral("backup"), saved});
    QVERIFY2(backup.exitCode == 0, qPrintable(describe(backup)));
    QVERIFY(!readFile(saved).isEmpty());
    QVERIFY(jack.stopSimulator());

    // A simulator fresh from the workshop holds something else.
    startSimulator({});
    const QString before = dir.filePath(QStringLiteral("factory.tvk"));
    const CliResult factory = run({QStringLiteral("backup"), before});
    QVERIFY2(factory.exitCode == 0, qPrintable(describe(factory)));
    QVERIFY(readFile(before) != readFile(saved));

    const CliResult restore = run({QStringLiteral("restore"), saved});
    QVERIFY2(restore.exitCode == 0, qPrintable(describe(restore)));
    QVERIFY(restore.out.startsWith("restore verified: "));

    const QString after = dir.filePath(QStringLiteral("after.tvk"));
    const CliResult again = run({QStringLiteral("backup"), after});
    QVERIFY2(again.exitCode == 0, qPrintable(describe(again)));
    QCOMPARE(readFile(after), readFile(saved));
  }

  // A careful restore as the link test's warning suggests it: paced and with more tries, still
  // verified by reading everything back.
  void aPacedRestoreVerifies() {
    const QString saved = dir.filePath(QStringLiteral("seed43.tvk"));
    startSimulator({QStringLiteral("--seed"), QStringLiteral("43")});
    const CliResult backup =
        run({QStringLiteral("--pace"), QStringLiteral("5"), QStringLiteral("backup"), saved});
    QVERIFY2(backup.exitCode == 0, qPrintable(describe(backup)));
    QVERIFY(jack.stopSimulator());

    startSimulator({});
    const CliResult restore =
        run({QStringLiteral("--pace"), QStringLiteral("5"), QStringLiteral("--retries"),
             QStringLiteral("3"), QStringLiteral("restore"), saved});
    QVERIFY2(restore.exitCode == 0, qPrintable(describe(restore)));
    QVERIFY2(restore.out.startsWith("restore verified"), qPrintable(describe(restore)));
    const QString after = dir.filePath(QStringLiteral("paced-after.tvk"));
    const CliResult again = run({QStringLiteral("backup"), after});
    QVERIFY2(again.exitCode == 0, qPrintable(describe(again)));
    QCOMPARE(readFile(after), readFile(saved));
  }

  // `restore --only` as a user runs it: the presets taken, and the rest of a simulator fresh
  // from the workshop as it was.
  void aPartialRestoreTakesOnlyItsPresets() {
    const QString saved = dir.filePath(QStringLiteral("seed44.tvk"));
    startSimulator({QStringLiteral("--seed"), QStringLiteral("44")});
    const CliResult backup = run({QStringLiteral("backup"), saved});
    QVERIFY2(backup.exitCode == 0, qPrintable(describe(backup)));
    QVERIFY(jack.stopSimulator());

    startSimulator({});
    const QString factory = dir.filePath(QStringLiteral("factory-44.tvk"));
    const CliResult before = run({QStringLiteral("backup"), factory});
    QVERIFY2(before.exitCode == 0, qPrintable(describe(before)));
    const CliResult restore = run({QStringLiteral("restore"), QStringLiteral("--only"),
                                   QStringLiteral("presets:3-5"), saved});
    QVERIFY2(restore.exitCode == 0, qPrintable(describe(restore)));
    QCOMPARE(restore.out, QStringLiteral("presets 3-5 from %1\nrestore verified\n").arg(saved));

    // Rows 2..4 of the presets and of the PC remap table are the backup's; all else, the CC
    // map and the settings too, is the workshop's.
    const QString after = dir.filePath(QStringLiteral("after-44.tvk"));
    const CliResult again = run({QStringLiteral("backup"), after});
    QVERIFY2(again.exitCode == 0, qPrintable(describe(again)));
    const FullBackup::LoadResult was = FullBackup::load(factory);
    const FullBackup::LoadResult given = FullBackup::load(saved);
    const FullBackup::LoadResult now = FullBackup::load(after);
    QVERIFY(was.ok() && given.ok() && now.ok());
    PresetTables expected = *was.tables;
    for (int row = 2; row <= 4; ++row) {
      expected.setMask(row, given.tables->mask(row));
      expected.setPcRemap(row, given.tables->pcRemap(row));
    }
    QVERIFY(expected != *was.tables);
    QVERIFY(*now.tables == expected);
    QVERIFY(now.settings == was.settings);
  }

  // `backup -` prints the file and nothing else; `restore -` reads it back from a pipe.
  void backupAndRestoreThroughStandardStreams() {
    const QString saved = dir.filePath(QStringLiteral("streams.tvk"));
    startSimulator({QStringLiteral("--seed"), QStringLiteral("43")});
    const CliResult backup = run({QStringLiteral("backup"), saved});
    QVERIFY2(backup.exitCode == 0, qPrintable(describe(backup)));
    const CliResult printed =
        run({QStringLiteral("-v"), QStringLiteral("backup"), QStringLiteral("-")});
    QVERIFY2(printed.exitCode == 0, qPrintable(describe(printed)));
    QCOMPARE(printed.out.toUtf8(), readFile(saved));
    QVERIFY(printed.err.contains("128 presets complete"));
    QVERIFY(jack.stopSimulator());

    startSimulator({});
    const CliResult restore =
        run({QStringLiteral("restore"), QStringLiteral("-")}, printed.out.toUtf8());
    QVERIFY2(restore.exitCode == 0, qPrintable(describe(restore)));
    const QString after = dir.filePath(QStringLiteral("streams-after.tvk"));
    const CliResult again = run({QStringLiteral("backup"), after});
    QVERIFY2(again.exitCode == 0, qPrintable(describe(again)));
    QCOMPARE(readFile(after), readFile(saved));
  }

  // The simulator's faults and the program's lines count the pages from 1: the page that failed
  // is the one after the last verified.
  void aFailedFlashNamesThePageAfterTheLastVerified_data() {
    QTest::addColumn<QStringList>("fault");
    QTest::addColumn<QString>("error");
    QTest::newRow("the third page reads back differently")
        << QStringList{"--bad-readback", "3"} << "tarvik-cli: page 3 read back differently";
    // The bootloader's real reply time-out (5 s) ends it.
    QTest::newRow("nothing answers after two pages")
        << QStringList{"--stop-after-pages", "2"}
        << "tarvik-cli: no reply from Tarvik while uploading flash page 3 of 4";
  }
  void aFailedFlashNamesThePageAfterTheLastVerified() {
    QFETCH(QStringList, fault);
    QFETCH(QString, error);
    const QString firmware = dir.filePath(QStringLiteral("four-pages.txt"));
    QFile file(firmware);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(4, 6)));
    file.close();
    startSimulator(fault);
    const CliResult flash = run({QStringLiteral("flash"), QStringLiteral("--no-backup"), firmware});
    QVERIFY2(flash.exitCode == 1, qPrintable(describe(flash)));
    QVERIFY2(flash.err.contains("flash: page 2 of 4 verified\n"), qPrintable(describe(flash)));
    QVERIFY2(!flash.err.contains("flash: page 3 of 4 verified\n"), qPrintable(describe(flash)));
    QVERIFY2(flash.err.contains(error), qPrintable(describe(flash)));
  }

  // The network module is found from the program's own folder, as installed.
  void flashesFromTheUpdateServerThroughItsModule() {
    tarvik::fixtures::UpdateServer server;
    QVERIFY(server.start());
    server.setFile("firmware.txt",
                   FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(2, 9)).toStdString());
    startSimulator({});
    const CliResult flash =
        run({QStringLiteral("flash"), QStringLiteral("--from-server"),
             QStringLiteral("--update-url"), QString::fromStdString(server.baseUrl())});
    QVERIFY2(flash.exitCode == 0, qPrintable(describe(flash)));
    QCOMPARE(server.requests().size(), std::size_t{1});
    QVERIFY(jack.simulatorOutput().contains("WriteRamToFlash"));
  }

  void flashesASmallImage() {
    const QString firmware = dir.filePath(QStringLiteral("firmware.txt"));
    QFile file(firmware);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(3, 5)));
    file.close();
    startSimulator({});
    const CliResult flash = run({QStringLiteral("flash"), firmware});
    QVERIFY2(flash.exitCode == 0, qPrintable(describe(flash)));
    // Not a terminal: plain progress lines.
    QVERIFY(flash.err.contains("flash: page 3 of 3 verified\n"));
    const QByteArray simulator = jack.simulatorOutput();
    QVERIFY(simulator.contains("UploadFlashPage page 3 (128 bytes)"));
    QVERIFY(simulator.contains("WriteRamToFlash"));
  }

  // Real round trips through JACK and a process of its own: their values are the machine's, their
  // form is the program's.
  void linkTestPrintsItsTwoLines_data() {
    QTest::addColumn<QStringList>("simulator");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("counts");
    QTest::addColumn<QString>("warning");
    QTest::newRow("a healthy link")
        << QStringList{} << QStringList{"linktest", "5"} << 0 << "sent 5, answered 5, lost 0 (0 %)"
        << "";
    QTest::newRow("one reply in five lost")
        << QStringList{"--lose-reply", "5"} << QStringList{"linktest", "10"} << 1
        << "sent 10, answered 8, lost 2 (20 %)"
        << "tarvik-cli: warning: 2 of 10 replies lost: try --pace 5\n";
    QTest::newRow("one reply in five lost at the careful pace")
        << QStringList{"--lose-reply", "5"} << QStringList{"--pace", "5", "linktest", "10"} << 1
        << "sent 10, answered 8, lost 2 (20 %)"
        << "tarvik-cli: warning: 2 of 10 replies lost: try --pace 10\n";
  }
  void linkTestPrintsItsTwoLines() {
    QFETCH(QStringList, simulator);
    QFETCH(QStringList, words);
    QFETCH(int, exitCode);
    QFETCH(QString, counts);
    QFETCH(QString, warning);
    startSimulator(simulator);
    const CliResult test = run(words);
    QVERIFY2(test.exitCode == exitCode, qPrintable(describe(test)));
    const QRegularExpression form(
        QStringLiteral("^(sent \\d+, answered \\d+, lost \\d+ \\(\\d+ %\\))\n"
                       "round trip: min (\\d+\\.\\d) ms, median (\\d+\\.\\d) ms, "
                       "max (\\d+\\.\\d) ms\n$"));
    const QRegularExpressionMatch match = form.match(test.out);
    QVERIFY2(match.hasMatch(), qPrintable(describe(test)));
    QCOMPARE(match.captured(1), counts);
    const double min = match.captured(2).toDouble();
    const double median = match.captured(3).toDouble();
    const double max = match.captured(4).toDouble();
    QVERIFY2(min > 0.0 && min <= median && median <= max, qPrintable(test.out));
    QCOMPARE(test.err, warning);
  }

  void monitorEndsCleanlyOnSigterm() {
    startSimulator({});
    QProcess monitor;
    monitor.start(QStringLiteral(TARVIK_CLI_PATH), {QStringLiteral("monitor")});
    QVERIFY(monitor.waitForStarted(10000));
    QByteArray err;
    // It announces itself once its input is open, and only then can a signal find it running.
    QVERIFY(QTest::qWaitFor(
        [&] {
          err += monitor.readAllStandardError();
          return err.contains("monitoring ") || monitor.state() == QProcess::NotRunning;
        },
        kRunTimeoutMs));
    QVERIFY2(monitor.state() == QProcess::Running, err.constData());
    monitor.terminate();  // SIGTERM to its own process id
    QVERIFY(
        QTest::qWaitFor([&] { return monitor.state() == QProcess::NotRunning; }, kRunTimeoutMs));
    QCOMPARE(monitor.exitStatus(), QProcess::NormalExit);
    QCOMPARE(monitor.exitCode(), 0);
  }
};

QTEST_GUILESS_MAIN(CliOverJackTest)
#include "test_cli_over_jack.moc"
