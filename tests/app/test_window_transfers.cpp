// SPDX-License-Identifier: MIT
// The window's submit chains and test controller against the virtual Tarvik: what goes out is
// exactly what the editors hold, a refusal or junk on the wire is never taken for success.
#include <QApplication>
#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include "WindowRig.h"
#include "app/BusyCursor.h"
#include "config/TvkFile.h"
#include "config/ui/AdvancedSettingsTab.h"
#include "config/ui/PresetMatrixTab.h"
#include "core/CoreParts.h"
#include "firmware/Flasher.h"
#include "firmware/ServerFile.h"
#include "support/ConnectLog.h"
#include "support/WithheldReplyClock.h"

using namespace tarvik;
using tarvik::testing::ctrlClickFirstRow;
using tarvik::testing::kTimeoutThatFiresMs;
using tarvik::testing::kWaitMs;
using tarvik::testing::sentBack;
using tarvik::testing::WindowRig;

namespace {

const QStringList& kConnectLog = tarvik::testing::kCompleteConnectLog;

}  // namespace

class WindowTransfersTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void submitsSendBackExactlyWhatWasDownloaded() {
    const TarvikContents held = TarvikContents::fromSeed(23);
    WindowRig rig(held);
    QVERIFY(rig.connectAndDownload());
    rig.device().setContents(TarvikContents::factory());

    QTest::mouseClick(rig.button("Button3"), Qt::LeftButton);
    QVERIFY(!rig.button("Button3")->isEnabled());
    QVERIFY(BusyCursor::isBusy());
    QVERIFY(rig.awaitChainEnd());
    QVERIFY(rig.button("Button3")->isEnabled());
    QVERIFY(!BusyCursor::isBusy());
    QTest::mouseClick(rig.button("Button2"), Qt::LeftButton);
    QVERIFY(rig.awaitChainEnd());
    QVERIFY(rig.button("Button2")->isEnabled());

    const TarvikContents& now = rig.device().contents();
    QCOMPARE(now.presets, held.presets);
    QCOMPARE(now.ccMap, held.ccMap);
    QCOMPARE(now.pcRemap, held.pcRemap);
    QCOMPARE(now.configRecord, sentBack(held.configRecord));
    const QStringList tail = rig.logMessages().mid(kConnectLog.size());
    QCOMPARE(tail,
             (QStringList{"submit presets", "transmission successful", "submit control changes",
                          "submit programm change remap table", "transmission successful",
                          "submit config", "transmission successful"}));
  }

  void startStateSubmitSendsTheEditorsDefaults() {
    WindowRig rig;
    SimFaults silent;
    silent.silent = true;
    rig.device().setFaults(silent);
    CoreParts::machine(*rig.core).setConnectTimeout(kTimeoutThatFiresMs);
    // A connect that times out still opens the ports; the editors keep their start values.
    QTest::mouseClick(rig.button("Button1"), Qt::LeftButton);
    QVERIFY(rig.dialogs.awaitErrors(1, kWaitMs));
    QCOMPARE(rig.dialogs.errors.size(), std::size_t{1});
    rig.device().setFaults({});
    rig.service().clearSent(0);
    // Nothing answered, so the tabs were never shown and their submit buttons are off; the
    // submits' handlers still send what the editors start with to the open ports.
    QCOMPARE(rig.visibleTabs(), QStringList{QStringLiteral("TabSheet1")});
    rig.form->buildDeviceTabs();
    QVERIFY(!rig.button("Button3")->isEnabled());
    QVERIFY(!rig.button("Button2")->isEnabled());

    rig.form->Button3Click();
    QVERIFY(rig.awaitChainEnd());
    rig.form->Button2Click();
    QVERIFY(rig.awaitChainEnd());

    std::vector<std::uint8_t> expected;
    auto command = [&](std::uint8_t code, std::uint8_t value, int count) {
      expected.push_back(0xFF);
      expected.push_back(code);
      expected.insert(expected.end(), static_cast<std::size_t>(count), value);
    };
    command(5, 0, 128);
    command(7, 8, 128);
    command(19, 255, 128);
    expected.push_back(0xFF);
    expected.push_back(4);
    for (int item : {0, 0, 0, 0, 0, 0, 0, 10, 255, 0, 0, 0, 0, 0, 0, 255, 255, 0, 0, 0}) {
      expected.push_back(static_cast<std::uint8_t>(item));
    }
    std::vector<std::uint8_t> wire;
    for (const auto& frame : rig.service().sent(0)) {
      QCOMPARE(frame.size(), std::size_t{4});
      QCOMPARE(frame[0], std::uint8_t{0xF0});
      QCOMPARE(frame[3], std::uint8_t{0xF7});
      wire.push_back(static_cast<std::uint8_t>(frame[1] << 4 | frame[2]));
    }
    QCOMPARE(wire, expected);
  }

  void failedSubmitStatusIsNotReportedAsSuccess() {
    WindowRig rig;
    QVERIFY(rig.connectAndDownload());
    SimFaults faults;
    faults.submitStatus = 0x00;
    rig.device().setFaults(faults);
    QTest::mouseClick(rig.button("Button3"), Qt::LeftButton);
    QVERIFY(rig.awaitChainEnd());
    QVERIFY(rig.button("Button3")->isEnabled());
    QTest::mouseClick(rig.button("Button2"), Qt::LeftButton);
    QVERIFY(rig.awaitChainEnd());
    QVERIFY(rig.button("Button2")->isEnabled());
    // The two tables still go out after the refused presets, but nothing calls it a success.
    QCOMPARE(
        rig.logMessages().mid(kConnectLog.size()),
        (QStringList{"submit presets", "Tarvik did not store the presets (status 0x00)",
                     "submit control changes", "submit programm change remap table",
                     "submit config", "Tarvik did not store the advanced settings (status 0x00)"}));
    QCOMPARE(rig.commandsNamed("SubmitPcRemap"), 1);
    QCOMPARE(rig.dialogs.warnings.size(), std::size_t{2});
    QVERIFY(rig.dialogs.warnings[0].text.startsWith(
        QStringLiteral("Tarvik did not store the presets (status 0x00)")));
    QVERIFY(rig.dialogs.errors.empty());
    QVERIFY(!BusyCursor::isBusy());
  }

  // "Test link" on the Midi tab: the same two lines as `tarvik-cli linktest`, in the event log,
  // then the pace to try, and nothing else may use the link meanwhile.
  void testLinkLogsItsTwoLines() {
    WindowRig rig;
    rig.device().setFaults(SimFaults{.loseReplyEvery = 5});
    const testing::WithheldReplyClock clock(rig.tarvik(), CoreParts::linkTest(*rig.core));
    QPushButton* testLink = rig.button("testLinkButton");
    QCOMPARE(testLink->text(), QStringLiteral("Test link"));
    QTest::mouseClick(testLink, Qt::LeftButton);
    QVERIFY(!testLink->isEnabled());
    QVERIFY(!rig.button("Button1")->isEnabled());
    const QString roundTrip = QStringLiteral("round trip: min 0.0 ms, median 0.0 ms, max 0.0 ms");
    const QString suggestion =
        QStringLiteral("10 of 50 replies lost: try a \"Transfer pace\" of 5 ms");
    QVERIFY(rig.awaitLog([&] { return rig.logMessages().contains(suggestion); }));
    QCOMPARE(rig.logMessages(),
             (QStringList{"Testing the link: 50 identifies, one after the other...",
                          "sent 50, answered 40, lost 10 (20 %)", roundTrip, suggestion}));
    QVERIFY(testLink->isEnabled());
    QVERIFY(rig.button("Button1")->isEnabled());
    QCOMPARE(rig.commandsNamed("Identify"), 50);
    QVERIFY(rig.dialogs.errors.empty());
  }

  void junkFramesDuringTheChainChangeNothing() {
    const TarvikContents contents = TarvikContents::fromSeed(31);
    WindowRig rig(contents);
    SimFaults faults;
    faults.junkFrames = true;
    faults.shortFrames = false;
    rig.device().setFaults(faults);
    QVERIFY(rig.connectAndDownload());
    QCOMPARE(rig.logMessages(), kConnectLog);
    QCOMPARE(rig.commandsNamed("Identify"), 7);
    QCOMPARE(rig.core->configuration().presetPayload(), contents.presets);
    QVERIFY(rig.dialogs.errors.empty());
  }

  void framesTooShortForTheirCodeAreDropped() {
    WindowRig rig;
    SimFaults faults;
    faults.shortFrames = true;  // every reply is F0, code, F7
    rig.device().setFaults(faults);
    CoreParts::machine(*rig.core).setConnectTimeout(kTimeoutThatFiresMs);
    QTest::mouseClick(rig.button("Button1"), Qt::LeftButton);
    QVERIFY(rig.dialogs.awaitErrors(1, kWaitMs));
    QCOMPARE(rig.dialogs.errors.size(), std::size_t{1});
    QCOMPARE(rig.dialogs.errors[0].text, QStringLiteral("No Tarvik found :("));
    QCOMPARE(rig.commandsNamed("Identify"), 1);
    // No reply counted, so no version and no device tab was ever shown.
    QCOMPARE(rig.visibleTabs(), QStringList{QStringLiteral("TabSheet1")});
    QCOMPARE(rig.logMessages(), QStringList());
  }

  void testControllerSendsAndTheMonitorLogsTheEcho() {
    WindowRig rig;
    QVERIFY(rig.connectAndDownload());
    rig.device().setEcho(true);
    rig.service().clearSent(0);
    rig.find<QComboBox>("ComboBox2")->setCurrentIndex(15);
    rig.find<QComboBox>("ComboBox3")->setCurrentIndex(127);
    QTest::mouseClick(rig.button("Button4"), Qt::LeftButton);
    rig.find<QComboBox>("ComboBox2")->setCurrentIndex(0);
    rig.find<QCheckBox>("CheckBox2")->setChecked(true);
    QTest::mouseClick(rig.button("Button5"), Qt::LeftButton);
    const auto sent = rig.service().sent(0);
    QCOMPARE(sent.size(), std::size_t{2});
    QCOMPARE(sent[0], (std::vector<std::uint8_t>{0xCF, 0x7F}));
    QCOMPARE(sent[1], (std::vector<std::uint8_t>{0xB0, 0x00, 0x7F}));
    const QStringList echoed{
        "[MIDI IN] ProgrammChange - MidiChannel: 16 - ProgrammNr: 128",
        "[MIDI IN] ControllChange - MidiChannel: 1 - ControllNr: 0 - Value: 127"};
    QVERIFY(rig.awaitLog([&] { return rig.logMessages().mid(kConnectLog.size()) == echoed; }));
    QCOMPARE(rig.logMessages().mid(kConnectLog.size()), echoed);
    QVERIFY(rig.dialogs.errors.empty());
  }

  void testControllerOpensAClosedOutputAndReportsAMissingOne() {
    WindowRig rig;
    rig.form->buildDeviceTabs();
    QVERIFY(!rig.service().isOutputOpen(0));
    QTest::mouseClick(rig.button("Button4"), Qt::LeftButton);
    QVERIFY(rig.service().isOutputOpen(0));
    QCOMPARE(rig.service().sent(0).size(), std::size_t{1});
    QVERIFY(rig.service().isOutputOpen(0));

    ctrlClickFirstRow(rig.find<QListWidget>("outputDevices"));
    QTest::mouseClick(rig.button("Button5"), Qt::LeftButton);
    QCOMPARE(rig.dialogs.errors.size(), std::size_t{1});
    QCOMPARE(rig.dialogs.errors[0].text,
             QStringLiteral("Listenindex überschreitet das Maximum (-1)"));
    QCOMPARE(rig.service().sent(0).size(), std::size_t{1});
  }
};

QTEST_MAIN(WindowTransfersTest)
#include "test_window_transfers.moc"
