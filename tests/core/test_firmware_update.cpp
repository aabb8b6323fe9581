// SPDX-License-Identifier: MIT
// The core's firmware update against the simulated Tarvik: which steps run, in which order,
// and what reaches the device, for each way the backup before the flash can go.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>

#include "core/ConfiguratorCore.h"
#include "library/SetupLibrary.h"
#include "sim/InProcessTarvik.h"
#include "sim/fixtures/FirmwareFixture.h"

using namespace tarvik;
using fixtures::FirmwareFixture;
using Update = FirmwareUpdate;

class FirmwareUpdateTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;

 private Q_SLOTS:
  void initTestCase() { QVERIFY(dir_.isValid()); }

  void eachBackupOutcomeLeadsToItsStep_data() {
    QTest::addColumn<bool>("backup");
    QTest::addColumn<bool>("library");
    QTest::addColumn<bool>("ready");
    QTest::addColumn<bool>("goOnWithout");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("flashed");
    QTest::newRow("no backup asked: flashed at once")
        << false << true << true << false << QStringList{"ready without backup", "flash 1"} << true;
    QTest::newRow("the setup kept, then flashed")
        << true << true << true << false
        << QStringList{"ready with backup", "backing up v9", "backed up", "flash 0"} << true;
    QTest::newRow("no backup taken, the user goes on")
        << true << false << true << true
        << QStringList{"ready with backup", "backing up v9", "asked", "flash 3"} << true;
    QTest::newRow("no backup taken, the user stops")
        << true << false << true << false
        << QStringList{"ready with backup", "backing up v9", "asked", "stopped 2"} << false;
    QTest::newRow("not ready: nothing goes to the device")
        << true << true << false << false << QStringList{"ready with backup", "stopped 0"} << false;
  }
  void eachBackupOutcomeLeadsToItsStep() {
    QFETCH(bool, backup);
    QFETCH(bool, library);
    QFETCH(bool, ready);
    QFETCH(bool, goOnWithout);
    QFETCH(QStringList, steps);
    QFETCH(bool, flashed);
    SimulatedMidi device(TarvikContents::fromSeed(4));
    ConfiguratorCore core(device.ports());
    SetupLibrary::Opened opened =
        SetupLibrary::open(dir_.filePath(QString::fromLatin1(QTest::currentDataTag())));
    QVERIFY2(opened.library, qPrintable(opened.error));
    if (library) core.setLibrary(opened.library.get());
    core.openPorts(0, 0);

    QStringList seen;
    connect(&core, &ConfiguratorCore::firmwareBackingUp, this,
            [&](const QString& version) { seen << QStringLiteral("backing up ") + version; });
    connect(&core, &ConfiguratorCore::backedUpBeforeFlash, this, [&](bool ok, const QString&) {
      if (ok) seen << QStringLiteral("backed up");
    });
    connect(&core, &ConfiguratorCore::firmwareFlashing, this,
            [&](const FirmwareImage&, Update::Backup how) {
              seen << QStringLiteral("flash %1").arg(static_cast<int>(how));
            });
    connect(&core, &ConfiguratorCore::firmwareUpdateStopped, this,
            [&](Update::Stop why, const QString&) {
              seen << QStringLiteral("stopped %1").arg(static_cast<int>(why));
            });
    QSignalSpy flashEnded(&core, &ConfiguratorCore::flashFinished);
    QSignalSpy stopped(&core, &ConfiguratorCore::firmwareUpdateStopped);

    Update::Plan plan;
    plan.image =
        FirmwareImage::fromBody(FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(2, 3)));
    plan.version = QStringLiteral("v9");
    plan.backup = backup;
    plan.ready = [&](bool backingUp) -> std::optional<QString> {
      seen << (backingUp ? QStringLiteral("ready with backup")
                         : QStringLiteral("ready without backup"));
      return ready ? std::optional(QString()) : std::nullopt;
    };
    plan.flashWithoutBackup = [&](const QString&) {
      seen << QStringLiteral("asked");
      return goOnWithout;
    };
    QVERIFY(core.updateFirmware(std::move(plan)));
    // Nothing else while the flash owns the link.
    if (flashed) QVERIFY(!core.updateFirmware({}));
    QSignalSpy& end = flashed ? flashEnded : stopped;
    QVERIFY(!end.isEmpty() || end.wait(30000));

    QCOMPARE(seen, steps);
    QCOMPARE(device.device().flash().writtenToFlash, flashed);
    if (flashed) QCOMPARE(flashEnded.front().front().value<FlashEnd>(), FlashEnd::Flashed);
    if (!ready) QCOMPARE(device.device().commandsReceived(), 0);
    // Only a backup that was taken is kept, marked with the version.
    const Result<QList<SnapshotSummary>> history = opened.library->history().list();
    QVERIFY(history.ok());
    const bool kept = std::any_of(history.value->cbegin(), history.value->cend(),
                                  [](const SnapshotSummary& snapshot) {
                                    return snapshot.event == QLatin1String("before firmware v9");
                                  });
    QCOMPARE(kept, backup && library && ready);
  }
};

QTEST_GUILESS_MAIN(FirmwareUpdateTest)
#include "test_firmware_update.moc"
