// SPDX-License-Identifier: MIT
// The core's device history: what the device holds after a download, after a submit the device
// confirmed and after a restore that wrote it, recorded only once all four blocks are known.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "core/ConfiguratorCore.h"
#include "core/CoreParts.h"
#include "library/SetupLibrary.h"
#include "sim/InProcessTarvik.h"

using namespace tarvik;

class CoreHistoryTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;

  static ConfigBytes keptOf(const TarvikContents& held) {
    return ConfigBytes{held.presets, held.ccMap, held.pcRemap, held.configRecord}.kept();
  }

  static bool download(ConfiguratorCore& core) {
    QSignalSpy finished(&core, &ConfiguratorCore::fullDownloadFinished);
    return core.startFullDownload() && finished.wait(30000) && finished[0][0].toBool();
  }
  static bool submitPresets(ConfiguratorCore& core) {
    QSignalSpy finished(&core, &ConfiguratorCore::transferFinished);
    return core.submitPresets() && finished.wait(30000);
  }

 private Q_SLOTS:
  void initTestCase() { QVERIFY(dir_.isValid()); }

  void recordsWhatTheDeviceHolds_data() {
    QTest::addColumn<bool>("downloadFirst");
    QTest::addColumn<int>("submitStatus");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("a download, then a confirmed submit")
        << true << 0xFF << QStringList{"submit", "download"};
    QTest::newRow("a submit before any download: the settings are not known")
        << false << 0xFF << QStringList{};
    // Reply 19 still confirms the CC map and PC remap table, which the device held already.
    QTest::newRow("refused presets change nothing the history knows")
        << true << 0x00 << QStringList{"download"};
  }
  void recordsWhatTheDeviceHolds() {
    QFETCH(bool, downloadFirst);
    QFETCH(int, submitStatus);
    QFETCH(QStringList, events);
    SimulatedMidi device(TarvikContents::fromSeed(11));
    SetupLibrary::Opened opened =
        SetupLibrary::open(dir_.filePath(QString::fromLatin1(QTest::currentDataTag())));
    QVERIFY2(opened.library, qPrintable(opened.error));
    ConfiguratorCore core(device.ports());
    core.setLibrary(opened.library.get());
    QSignalSpy announced(&core, &ConfiguratorCore::historyRecorded);
    core.openPorts(0, 0);

    if (downloadFirst) QVERIFY(download(core));
    SimFaults faults;
    faults.submitStatus = static_cast<std::uint8_t>(submitStatus);
    device.device().setFaults(faults);
    PresetTables tables = core.configuration().tables();
    tables.setMask(0, tables.mask(0) ^ 0x80);
    core.configuration().setTables(tables);
    QVERIFY(submitPresets(core));

    const QList<SnapshotSummary> history = *opened.library->history().list().value;
    QStringList recorded;
    for (const SnapshotSummary& snapshot : history) recorded.append(snapshot.event);
    QVERIFY2(recorded == events, qPrintable(recorded.join(QLatin1Char(','))));
    // Each snapshot stored is announced once, with its event, so that lists of it follow.
    QStringList announcedEvents;
    for (const QList<QVariant>& signal : announced) announcedEvents.prepend(signal[0].toString());
    QCOMPARE(announcedEvents, events);
    if (recorded.isEmpty()) return;
    // The newest snapshot is the device's own state, as a backup of it keeps it.
    const ConfigBytes newest = opened.library->history().snapshot(history[0].id).value->bytes;
    QVERIFY(newest == keptOf(device.device().contents()));
    core.setLibrary(nullptr);
  }

  // A restore that wrote the device is in the history whether or not its check passed: the
  // device holds something new either way.
  void recordsWhatARestoreLeft_data() {
    QTest::addColumn<int>("alteredCommand");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("a verified restore") << 0 << QStringList{"restore", "download"};
    QTest::newRow("a restore the device kept otherwise")
        << 7 << QStringList{"unverified restore", "download"};
  }
  void recordsWhatARestoreLeft() {
    QFETCH(int, alteredCommand);
    QFETCH(QStringList, events);
    SimulatedMidi device(TarvikContents::fromSeed(12));
    SetupLibrary::Opened opened =
        SetupLibrary::open(dir_.filePath(QString::fromLatin1(QTest::currentDataTag())));
    QVERIFY2(opened.library, qPrintable(opened.error));
    ConfiguratorCore core(device.ports());
    core.setLibrary(opened.library.get());
    core.openPorts(0, 0);
    QVERIFY(download(core));

    SimFaults faults;
    faults.alterStoredCommand = static_cast<std::uint8_t>(alteredCommand);
    faults.alteredItem = 3;
    device.device().setFaults(faults);
    const ConfigBytes file = keptOf(TarvikContents::fromSeed(13));
    QSignalSpy restored(&core, &ConfiguratorCore::restoreFinished);
    QVERIFY(core.restore(file.tables(), file.settings));
    QVERIFY(restored.wait(30000));
    QCOMPARE(restored[0][0].toBool(), alteredCommand == 0);

    const QList<SnapshotSummary> history = *opened.library->history().list().value;
    QStringList recorded;
    for (const SnapshotSummary& snapshot : history) recorded.append(snapshot.event);
    QCOMPARE(recorded, events);
    const ConfigBytes newest = opened.library->history().snapshot(history[0].id).value->bytes;
    QVERIFY(newest == keptOf(device.device().contents()));
    core.setLibrary(nullptr);
  }
};

QTEST_GUILESS_MAIN(CoreHistoryTest)
#include "test_core_history.moc"
