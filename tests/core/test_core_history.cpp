// SPDX-License-Identifier: MIT
// The core's device history: what the device holds after a download and after a submit the
// device confirmed, recorded only once all four blocks are known.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "core/ConfiguratorCore.h"
#include "library/SetupLibrary.h"
#include "sim/InProcessTarvik.h"

using namespace tarvik;

class CoreHistoryTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;

  static bool download(ConfiguratorCore& core) {
    QSignalSpy finished(&core.fullDownload(), &FullDownload::finished);
    return core.fullDownload().start() && finished.wait(30000) && finished[0][0].toBool();
  }
  static bool submitPresets(ConfiguratorCore& core) {
    QSignalSpy finished(&core.machine(), &TransferMachine::chainFinished);
    return core.machine().startSubmitPresets() && finished.wait(30000);
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
    core.link().open(0, 0);

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
    // The newest snapshot is the device's own state, byte for byte.
    const ConfigBytes newest = opened.library->history().snapshot(history[0].id).value->bytes;
    const TarvikContents& held = device.device().contents();
    QVERIFY(newest.presets == held.presets);
    QVERIFY(newest.ccMap == held.ccMap);
    QVERIFY(newest.pcRemap == held.pcRemap);
    QVERIFY(newest.settings == std::optional(held.configRecord));
    core.setLibrary(nullptr);
  }
};

QTEST_GUILESS_MAIN(CoreHistoryTest)
#include "test_core_history.moc"
