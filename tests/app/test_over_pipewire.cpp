// SPDX-License-Identifier: MIT
// JACK as Debian 12's desktops offer it: PipeWire with pipewire-jack. tarvik-sim and tarvik-cli
// run under pw-jack, the window in this process on pipewire-jack's libjack.
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "midi/MidiPorts.h"
#include "midi/RtMidiService.h"
#include "sim/fixtures/FirmwareFixture.h"
#include "support/CliProcess.h"
#include "support/CoreWindow.h"
#include "support/EntrySession.h"
#include "support/FakeDialogs.h"
#include "support/JackMidiService.h"
#include "support/ListTexts.h"
#include "support/PipeWireRig.h"

using tarvik::fixtures::FirmwareFixture;
using tarvik::testing::CliResult;
using tarvik::testing::PipeWireRig;

namespace {

// Far beyond the program's own time-outs, so a stuck run shows as its own error.
constexpr int kRunTimeoutMs = 60000;
// tarvik-cli's exit code when the device did not answer, refused, or differed.
constexpr int kDeviceFailure = 1;

// The simulator's ports keep jackd's names: its two clients, whose names differ only in case,
// are two nodes to PipeWire as well, and neither name is taken.
const QString kDeviceOutput = QStringLiteral("tarvik-sim:Tarvik MIDI");
const QString kDeviceInput = QStringLiteral("TARVIK-SIM:Tarvik MIDI");

}  // namespace

class OverPipeWireTest : public QObject {
  Q_OBJECT

  PipeWireRig pipewire;
  QTemporaryDir dir;

  // As the tests over jackd forgive one connect: a reply lost to a late cycle on a loaded machine
  // (see the rig's cycles) costs one more try, with a warning; a second loss fails.
  CliResult run(const QStringList& arguments) {
    CliResult result = runOnce(arguments);
    if (result.exitCode == kDeviceFailure) {
      qWarning().noquote() << "retrying once:" << arguments.join(QLatin1Char(' ')) << result.err;
      result = runOnce(arguments);
    }
    return result;
  }
  CliResult runOnce(const QStringList& arguments) {
    QProcess cli;
    return tarvik::testing::runToEnd(cli, QStringLiteral("pw-jack"),
                                     QStringList{QStringLiteral(TARVIK_CLI_PATH)} + arguments, {},
                                     kRunTimeoutMs);
  }
  QString describe(const CliResult& result) {
    return tarvik::testing::describe(result, pipewire.simulatorOutput());
  }
  void startSimulator(const QStringList& options) {
    const QString failure = pipewire.startSimulator(QStringLiteral(TARVIK_SIM_PATH), options);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(dir.isValid());
    TARVIK_START_PIPEWIRE_OR_SKIP(pipewire);
  }
  void cleanup() {
    if (QTest::currentTestFailed())
      qInfo().noquote() << "pipewire said:\n" << pipewire.serverOutput().right(4096);
    pipewire.stopSimulator();
  }
  void cleanupTestCase() { pipewire.stopServer(); }

  // Right after the simulator's banner: pipewire-jack needs no wait for its ports to be listed.
  void portsListsTheSimulatorAtOnce() {
    startSimulator({});
    const CliResult ports = run({QStringLiteral("ports")});
    QVERIFY2(ports.exitCode == 0, qPrintable(describe(ports)));
    QCOMPARE(ports.out, QStringLiteral("in:\t%1\nout:\t%2\n").arg(kDeviceOutput, kDeviceInput));
  }

  void theWindowPreselectsTheSimulatorsPair() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY2(maps.readAll().contains("/pipewire-0.3/jack/libjack.so"),
             "this process runs on jackd's libjack: CTest sets LD_LIBRARY_PATH as pw-jack does");
    startSimulator({});
    auto service = std::make_unique<tarvik::RtMidiService>();
    TARVIK_SKIP_UNLESS_ON_JACK(*service);
    tarvik::MidiPorts ports(std::move(service));
    tarvik::testing::FakeDialogs dialogs;
    tarvik::testing::CoreWindow window(dialogs, ports);
    window.form->show();
    QCOMPARE(tarvik::testing::selectedName(window.find<QListWidget>("inputDevices")),
             kDeviceOutput);
    QCOMPARE(tarvik::testing::selectedName(window.find<QListWidget>("outputDevices")),
             kDeviceInput);
  }

  // The program's own start-up, its platform module loaded after the first frame on
  // pipewire-jack's libjack as well.
  void theWindowsOwnStartUpConnectsAndHearsTheDevice() {
    startSimulator({QStringLiteral("--echo")});
    qputenv("TARVIK_PLATFORM_MODULE", TARVIK_PLATFORM_MODULE_PATH);
    const tarvik::testing::EntrySession session =
        tarvik::testing::runEntrySession(pipewire, 2 * kRunTimeoutMs);
    QCOMPARE(session.status, 0);
    const QString shortfall = session.shortfall(pipewire.simulatorOutput());
    QVERIFY2(shortfall.isEmpty(), qPrintable(shortfall));
  }

  void aVerifiedRestoreCarriesABackupToAnotherDevice() {
    const QString saved = dir.filePath(QStringLiteral("seed42.tvk"));
    startSimulator({QStringLiteral("--seed"), QStringLiteral("42")});
    const CliResult backup = run({QStringLiteral("backup"), saved});
    QVERIFY2(backup.exitCode == 0, qPrintable(describe(backup)));
    QVERIFY(pipewire.stopSimulator());

    // A simulator fresh from the workshop; the restore reads every part back to verify it.
    startSimulator({});
    const CliResult restore = run({QStringLiteral("restore"), saved});
    QVERIFY2(restore.exitCode == 0, qPrintable(describe(restore)));
    QVERIFY2(restore.out.startsWith("restore verified: "), qPrintable(describe(restore)));
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
    QVERIFY2(flash.err.contains("flash: page 3 of 3 verified\n"), qPrintable(describe(flash)));
    QVERIFY(pipewire.simulatorOutput().contains("WriteRamToFlash"));
  }
};

QTEST_MAIN(OverPipeWireTest)
#include "test_over_pipewire.moc"
