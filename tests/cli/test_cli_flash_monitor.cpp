// SPDX-License-Identifier: MIT
// flash and monitor against the simulated Tarvik in this process, and the stop signals.
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

#include "cli/CliRun.h"
#include "cli/FlashProgress.h"
#include "cli/MonitorCommand.h"
#include "cli/SignalWatch.h"
#include "config/TvkFile.h"
#include "library/SetupLibrary.h"
#include "midi/InMemoryMidiService.h"
#include "sim/InProcessTarvik.h"
#include "sim/fixtures/FirmwareFixture.h"
#include "sim/fixtures/UpdateServer.h"
#include "tests/cli/CommandRig.h"

using namespace tarvik;
using namespace tarvik::cli;
using tarvik::fixtures::FirmwareFixture;
using tarvik::testing::CapturedOutput;
using tarvik::testing::runToEnd;

namespace {

constexpr int kPages = 3;

QList<QByteArray> pages() { return FirmwareFixture::seededPages(kPages, 11); }

// The body with one digit of the second page line changed; the digest no longer fits.
QByteArray damagedBody() {
  QByteArray body = FirmwareFixture::firmwareBody(pages());
  const qsizetype second = body.indexOf('\n') + 1;
  body[second] = body[second] == '0' ? '1' : '0';
  return body;
}

bool writeFile(const QString& path, const QByteArray& text) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

bool flashedAsUploaded(const FlashImage& flash) {
  const QList<QByteArray> expected = pages();
  if (flash.uploadOrder != std::vector<int>{0, 1, 2}) return false;
  for (int page = 0; page < kPages; ++page) {
    const auto& held = flash.pages.at(page);
    if (QByteArray(reinterpret_cast<const char*>(held.data()), kFlashPageSize) != expected[page])
      return false;
  }
  return true;
}

// The flash command as the command line makes it, run to its end.
int flashToEnd(MidiPorts& ports, CliOptions options, Output output) {
  options.command = CommandKind::Flash;
  return runToEnd(*makeCommand(options, ports, output));
}

}  // namespace

class CliFlashMonitorTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir;

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(dir.isValid());
    // The network module of this build; the program finds it from its own folder.
    qputenv("TARVIK_CLI_NETWORK_MODULE", TARVIK_CLI_NETWORK_MODULE_PATH);
  }

  void flashesAFileAndReadsEveryPageBack() {
    const QString file = dir.filePath(QStringLiteral("firmware.txt"));
    QVERIFY(writeFile(file, FirmwareFixture::firmwareBody(pages())));
    SimulatedMidi device(TarvikContents::fromSeed(5));
    CliOptions options;
    options.file = file;
    options.library = dir.filePath(QStringLiteral("flashed.sqlite"));
    CapturedOutput output;
    QCOMPARE(flashToEnd(device.ports(), options, output.output()), ExitCode::Ok);
    QVERIFY(device.device().flash().writtenToFlash);
    QVERIFY(flashedAsUploaded(device.device().flash()));
    QCOMPARE(output.errText(), QStringLiteral("flash: bootloader entered, 3 pages to upload\n"
                                              "flash: page 1 of 3 verified\n"
                                              "flash: page 2 of 3 verified\n"
                                              "flash: page 3 of 3 verified\n"));
    // The setup first, where the user is told to find it.
    const QStringList out = output.outText().split(QLatin1Char('\n'));
    QCOMPARE(out.value(0), QStringLiteral("backup before the firmware update: snapshot 1 of the "
                                          "device history"));
    QVERIFY(out.value(1).startsWith(QStringLiteral("firmware flashed: 3 pages")));
    SetupLibrary::Opened library = SetupLibrary::open(options.library);
    QVERIFY2(library.library, qPrintable(library.error));
    const Result<Snapshot> kept = library.library->history().snapshot(1);
    QVERIFY2(kept.ok(), qPrintable(kept.error));
    QCOMPARE(kept.value->event, QStringLiteral("before firmware firmware.txt"));
    const TarvikContents& held = device.device().contents();
    QVERIFY(kept.value->bytes ==
            (ConfigBytes{held.presets, held.ccMap, held.pcRemap, held.configRecord}.kept()));
  }

  // Without the setup kept first nothing goes to the bootloader, unless --no-backup says so.
  void aFlashWithoutABackupIsRefused_data() {
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("libraryOpens");
    QTest::addColumn<bool>("noBackup");
    QTest::addColumn<int>("exitCode");
    // The connect time-out (1 s) must fire: nothing else can happen first.
    QTest::newRow("a silent device") << true << true << false << ExitCode::UsageOrFile;
    QTest::newRow("a library that cannot be opened")
        << false << false << false << ExitCode::UsageOrFile;
    QTest::newRow("--no-backup flashes all the same") << false << false << true << ExitCode::Ok;
  }
  void aFlashWithoutABackupIsRefused() {
    QFETCH(bool, silent);
    QFETCH(bool, libraryOpens);
    QFETCH(bool, noBackup);
    QFETCH(int, exitCode);
    const QString file = dir.filePath(QStringLiteral("firmware.txt"));
    QVERIFY(writeFile(file, FirmwareFixture::firmwareBody(pages())));
    SimulatedMidi device;
    SimFaults faults;
    faults.silent = silent;
    device.device().setFaults(faults);
    CliOptions options;
    options.file = file;
    options.noBackup = noBackup;
    // A folder is no library file.
    options.library = libraryOpens ? dir.filePath(QStringLiteral("refused.sqlite")) : dir.path();
    CapturedOutput output;
    QCOMPARE(flashToEnd(device.ports(), options, output.output()), exitCode);
    QCOMPARE(device.device().flash().bootloaderEntered, exitCode == ExitCode::Ok);
    QCOMPARE(output.errText().contains(QStringLiteral("no backup of the setup could be taken")),
             exitCode != ExitCode::Ok);
  }

  // After the bootloader was entered, every failure tells the device to leave it.
  // The page that failed is the one after the last verified, both counted from 1.
  void aFailedFlashLeavesTheBootloader_data() {
    QTest::addColumn<int>("badPage");  // the page number on the wire, from 0
    QTest::addColumn<int>("pagesAnswered");
    QTest::addColumn<QString>("error");
    QTest::newRow("the second page reads back differently")
        << 1 << -1 << "page 2 read back differently; programming canceled";
    // The bootloader's reply time-out (5 s) must fire: nothing else can happen first.
    QTest::newRow("the bootloader falls silent after a page")
        << -1 << 1 << "no reply from Tarvik while uploading flash page 2 of %1";
  }
  void aFailedFlashLeavesTheBootloader() {
    QFETCH(int, badPage);
    QFETCH(int, pagesAnswered);
    QFETCH(QString, error);
    error = error.arg(pages().size());
    const QString file = dir.filePath(QStringLiteral("firmware.txt"));
    QVERIFY(writeFile(file, FirmwareFixture::firmwareBody(pages())));
    SimulatedMidi device;
    SimFaults faults;
    faults.badReadbackPage = badPage;
    faults.stopAfterPages = pagesAnswered;
    device.device().setFaults(faults);
    CliOptions options;
    options.file = file;
    options.noBackup = true;
    CapturedOutput output;
    QCOMPARE(flashToEnd(device.ports(), options, output.output()), ExitCode::DeviceFailure);
    QVERIFY2(output.errText().contains(QStringLiteral("tarvik-cli: ") + error),
             qPrintable(output.errText()));
    const QString verified = QStringLiteral("flash: page %1 of %2 verified\n");
    QVERIFY(output.errText().contains(verified.arg(1).arg(pages().size())));
    QVERIFY(!output.errText().contains(verified.arg(2).arg(pages().size())));
    QVERIFY(device.device().flash().bootloaderEntered);
    QVERIFY(device.device().flash().bootloaderLeft);
    QVERIFY(!device.device().flash().writtenToFlash);
  }

  void aRefusedFirmwareFileSendsNothing_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("error");
    QTest::newRow("digest does not fit")
        << damagedBody() << "refused: its MD5 digest does not match its page lines";
    QTest::newRow("not there") << QByteArray() << "No such file";
  }
  void aRefusedFirmwareFileSendsNothing() {
    QFETCH(QByteArray, body);
    QFETCH(QString, error);
    const QString file = dir.filePath(QStringLiteral("refused.txt"));
    QFile::remove(file);
    if (!body.isEmpty()) QVERIFY(writeFile(file, body));
    SimulatedMidi device;
    CliOptions options;
    options.file = file;
    CapturedOutput output;
    QCOMPARE(flashToEnd(device.ports(), options, output.output()), ExitCode::UsageOrFile);
    QVERIFY2(output.errText().contains(error), qPrintable(output.errText()));
    QCOMPARE(device.device().commandsReceived(), 0);
  }

  void flashesFromTheUpdateServer_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("a sound image") << FirmwareFixture::firmwareBody(pages()) << ExitCode::Ok;
    QTest::newRow("a damaged image") << damagedBody() << ExitCode::UsageOrFile;
  }
  void flashesFromTheUpdateServer() {
    QFETCH(QByteArray, body);
    QFETCH(int, exitCode);
    fixtures::UpdateServer server;
    QVERIFY(server.start());
    server.setFile("firmware.txt", body.toStdString());
    SimulatedMidi device;
    CliOptions options;
    options.fromServer = true;
    options.noBackup = true;
    options.updateUrl = QUrl(QString::fromStdString(server.baseUrl()));
    CapturedOutput output;
    QCOMPARE(flashToEnd(device.ports(), options, output.output()), exitCode);
    QCOMPARE(server.requests().size(), std::size_t{1});
    QCOMPARE(server.requests().front().path, std::string("/downloads/tarvik/firmware.txt"));
    QCOMPARE(device.device().flash().writtenToFlash, exitCode == ExitCode::Ok);
    if (exitCode != ExitCode::Ok) QCOMPARE(device.device().commandsReceived(), 0);
  }

  void aMissingNetworkModuleIsNamed() {
    fixtures::UpdateServer server;
    QVERIFY(server.start());
    server.setFile("firmware.txt", FirmwareFixture::firmwareBody(pages()).toStdString());
    const QString missing = dir.filePath(QStringLiteral("no-such-network-module.so"));
    qputenv("TARVIK_CLI_NETWORK_MODULE", missing.toLocal8Bit());
    SimulatedMidi device;
    CliOptions options;
    options.fromServer = true;
    options.updateUrl = QUrl(QString::fromStdString(server.baseUrl()));
    CapturedOutput output;
    const int exitCode = flashToEnd(device.ports(), options, output.output());
    qputenv("TARVIK_CLI_NETWORK_MODULE", TARVIK_CLI_NETWORK_MODULE_PATH);
    QCOMPARE(exitCode, ExitCode::DeviceFailure);
    QCOMPARE(output.errText(),
             QStringLiteral("tarvik-cli: the update server cannot be reached: the program's module "
                            "%1 could not be loaded (the file does not exist)\n")
                 .arg(missing));
    QVERIFY(server.requests().empty());
    QCOMPARE(device.device().commandsReceived(), 0);
  }

  void progressBarRedrawsInPlaceOnATerminal() {
    QString text;
    QTextStream stream(&text);
    FlashProgress progress(stream, true);
    progress.update(0, 4);
    progress.update(2, 4);
    progress.update(4, 4);
    progress.end();
    stream.flush();
    const QString empty(FlashProgress::kBarWidth, QLatin1Char('-'));
    const QString full(FlashProgress::kBarWidth, QLatin1Char('#'));
    const QString half = QString(FlashProgress::kBarWidth / 2, QLatin1Char('#')) +
                         QString(FlashProgress::kBarWidth / 2, QLatin1Char('-'));
    QCOMPARE(text, "\rflash [" + empty + "] 0/4 pages\rflash [" + half + "] 2/4 pages\rflash [" +
                       full + "] 4/4 pages\n");
  }

  void monitorPrintsTheWindowsLinesWithTimeStamps() {
    SimulatedMidi device;
    CapturedOutput output;
    MonitorCommand monitor(device.ports(), CliOptions{}, output.output());
    monitor.setClock([] { return QTime(9, 5, 3, 7); });
    QSignalSpy printed(&monitor, &MonitorCommand::linePrinted);
    monitor.start();
    QVERIFY2(!monitor.done(), qPrintable(output.errText()));
    QVERIFY(output.errText().contains(QStringLiteral("monitoring Tarvik MIDI")));

    device.service().deliverShort(device.inPort(), 0xC1, 4, 0);
    device.service().deliverShort(device.inPort(), 0x90, 60, 100);  // not a monitored message
    device.service().deliverShort(device.inPort(), 0xBF, 7, 100);
    QVERIFY(QTest::qWaitFor([&] { return printed.size() == 2; }, 60000));
    QCOMPARE(
        output.outText(),
        QStringLiteral("[09:05:03.007] [MIDI IN] ProgrammChange - MidiChannel: 2 - ProgrammNr: 5\n"
                       "[09:05:03.007] [MIDI IN] ControllChange - MidiChannel: 16 - "
                       "ControllNr: 7 - Value: 100\n"));
    QSignalSpy finished(&monitor, &CliCommand::finished);
    monitor.interrupt();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(monitor.exitCode(), ExitCode::Ok);
    // The monitor sends nothing to the device.
    QCOMPARE(device.device().log().size(), std::size_t{0});
  }

  void stopSignalsArriveThroughTheEventLoop_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGTERM") << SIGTERM;
  }
  void stopSignalsArriveThroughTheEventLoop() {
    QFETCH(int, signalNumber);
    SignalWatch watch;
    QVERIFY(watch.active());
    QSignalSpy signalled(&watch, &SignalWatch::signalled);
    QCOMPARE(std::raise(signalNumber), 0);
    QVERIFY(signalled.wait(60000));
    QCOMPARE(signalled.size(), 1);
    QCOMPARE(signalled.front().front().toInt(), signalNumber);
  }

  // A transfer or flash that SIGINT or SIGTERM ends exits as a shell reports an interrupt; the
  // monitor, which only ends that way, exits 0. The device holds its replies, so that the
  // command is waiting for it when the signal comes.
  void aStopSignalEndsTheCommand_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("info, Ctrl+C") << int(CommandKind::Info) << SIGINT << ExitCode::Interrupted;
    QTest::newRow("backup, SIGTERM")
        << int(CommandKind::Backup) << SIGTERM << ExitCode::Interrupted;
    QTest::newRow("restore, Ctrl+C")
        << int(CommandKind::Restore) << SIGINT << ExitCode::Interrupted;
    QTest::newRow("flash before the write, SIGTERM")
        << int(CommandKind::Flash) << SIGTERM << ExitCode::Interrupted;
    QTest::newRow("monitor, Ctrl+C") << int(CommandKind::Monitor) << SIGINT << ExitCode::Ok;
    QTest::newRow("monitor, SIGTERM") << int(CommandKind::Monitor) << SIGTERM << ExitCode::Ok;
  }
  void aStopSignalEndsTheCommand() {
    QFETCH(int, command);
    QFETCH(int, signalNumber);
    QFETCH(int, exitCode);
    CliOptions options;
    options.command = static_cast<CommandKind>(command);
    if (options.command == CommandKind::Backup) {
      options.file = dir.filePath(QStringLiteral("interrupted.tvk"));
    } else if (options.command == CommandKind::Restore) {
      options.file = dir.filePath(QStringLiteral("to-restore.tvk"));
      QVERIFY(writeFile(options.file, TvkFile::serialize(PresetTables())));
    } else if (options.command == CommandKind::Flash) {
      options.file = dir.filePath(QStringLiteral("firmware.txt"));
      options.noBackup = true;
      QVERIFY(writeFile(options.file, FirmwareFixture::firmwareBody(pages())));
    }
    SimulatedMidi device;
    device.tarvik().holdReplies(true);
    QSignalSpy held(&device.tarvik(), &InProcessTarvik::replyHeld);
    CapturedOutput output;
    const std::unique_ptr<CliCommand> run = makeCommand(options, device.ports(), output.output());
    SignalWatch watch;
    QVERIFY(watch.active());
    interruptOnStopSignals(watch, *run);
    QSignalSpy finished(run.get(), &CliCommand::finished);
    run->start();
    QVERIFY2(!run->done(), qPrintable(output.errText()));
    if (options.command != CommandKind::Monitor && held.isEmpty()) QVERIFY(held.wait(60000));

    QCOMPARE(std::raise(signalNumber), 0);
    QVERIFY(finished.wait(60000));
    QCOMPARE(run->exitCode(), exitCode);
    QCOMPARE(output.errText().contains(QStringLiteral("tarvik-cli: interrupted")),
             exitCode == ExitCode::Interrupted);
    if (options.command == CommandKind::Backup) QVERIFY(!QFile::exists(options.file));
    if (options.command == CommandKind::Flash) {
      QVERIFY(device.device().flash().bootloaderLeft);
      QVERIFY(!device.device().flash().writtenToFlash);
    }
  }
};

QTEST_GUILESS_MAIN(CliFlashMonitorTest)
#include "test_cli_flash_monitor.moc"
