// SPDX-License-Identifier: MIT
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

using namespace tarvik;
using tarvik::testing::CoreWindow;
using tarvik::testing::ctrlClickFirstRow;
using tarvik::testing::kAllTabs;
using tarvik::testing::kTimeoutThatFiresMs;
using tarvik::testing::kWaitMs;
using tarvik::testing::selectedRow;
using tarvik::testing::sentBack;
using tarvik::testing::WindowRig;

namespace {

const QStringList& kConnectLog = tarvik::testing::kCompleteConnectLog;
const QUrl& kNoUpdateServer = tarvik::testing::kUnreachableUpdateServer;
const char* const kSenders[] = {"Button1", "Button2", "Button3", "Button4", "Button5"};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void startsWithOnlyTheMidiTabAndPreselectedPorts() {
    WindowRig rig;
    QCOMPARE(rig.form->windowTitle(), QStringLiteral("Tarvik Configurator - Version: 1.9[*]"));
    QVERIFY(!rig.form->isWindowModified());
    QCOMPARE(rig.form->size(), QSize(814, 584));
    QCOMPARE(rig.form->minimumSize(), rig.form->maximumSize());
    QVERIFY(!(rig.form->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(rig.visibleTabs(), QStringList{QStringLiteral("TabSheet1")});
    // The device tabs are built once the window is on screen, and wait hidden for a device.
    auto* pages = rig.find<QTabWidget>("PageControl1");
    if (pages->count() == 1) {
      QVERIFY(QSignalSpy(rig.form.get(), &TForm1::deviceTabsBuilt).wait(kWaitMs));
    }
    QCOMPARE(pages->count(), 5);
    QCOMPARE(rig.visibleTabs(), QStringList{QStringLiteral("TabSheet1")});
    QCOMPARE(pages->currentIndex(), 0);
    QCOMPARE(rig.find<QListWidget>("inputDevices")->item(0)->text(), QStringLiteral("Tarvik MIDI"));
    QCOMPARE(selectedRow(rig.find<QListWidget>("inputDevices")), 0);
    QCOMPARE(selectedRow(rig.find<QListWidget>("outputDevices")), 0);
    QTimer& timer = CoreParts::machine(*rig.core).connectTimer();
    QCOMPARE(timer.objectName(), QStringLiteral("Timer1"));
    QVERIFY(!timer.isActive());
    QVERIFY(rig.button("Button1")->isEnabled());
    QCOMPARE(rig.logMessages(), QStringList());
  }

  void connectDownloadsTheWholeConfiguration() {
    const TarvikContents contents = TarvikContents::fromSeed(11);
    WindowRig rig(contents);
    QVERIFY(rig.connectAndDownload());
    QCOMPARE(rig.commandsNamed("Identify"), 7);
    QCOMPARE(rig.logMessages(), kConnectLog);
    QCOMPARE(rig.visibleTabs(), kAllTabs);
    QVERIFY(!BusyCursor::isBusy());
    QVERIFY(rig.form->portsOpened());

    const Configuration& configuration = rig.core->configuration();
    QCOMPARE(configuration.presetPayload(), contents.presets);
    QCOMPARE(configuration.ccMapPayload(), contents.ccMap);
    QCOMPARE(configuration.pcRemapPayload(), contents.pcRemap);
    QCOMPARE(configuration.recordBytes(), sentBack(contents.configRecord));
    // The tabs show what arrived.
    auto* presets = rig.form->findChild<PresetMatrixTab*>();
    auto* advanced = rig.form->findChild<AdvancedSettingsTab*>();
    QVERIFY(advanced->shownRecord() == configuration.record());
    for (int row : {0, 63, 127}) {
      for (int loop = 0; loop < PresetTables::kLoops; ++loop) {
        const bool on = (contents.presets[row] >> loop) & 1U;
        QCOMPARE(presets->model().index(row, loop).data(Qt::CheckStateRole).toInt(),
                 int(on ? Qt::Checked : Qt::Unchecked));
      }
      QCOMPARE(presets->model().index(row, PresetMatrixModel::kCcColumn).data(Qt::EditRole).toInt(),
               configuration.tables().cc(row));
    }
  }

  void versionMismatchOffersOnlyTheFirmwareTab_data() {
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::newRow("older minor") << 1 << 8;
    QTest::newRow("1.10 is not 1.9") << 1 << 10;
    QTest::newRow("newer major") << 2 << 0;
  }
  void versionMismatchOffersOnlyTheFirmwareTab() {
    QFETCH(int, major);
    QFETCH(int, minor);
    WindowRig rig;
    rig.device().setVersion(static_cast<std::uint8_t>(major), static_cast<std::uint8_t>(minor));
    QTest::mouseClick(rig.button("Button1"), Qt::LeftButton);
    QVERIFY(rig.dialogs.awaitErrors(1, kWaitMs));
    QCOMPARE(rig.dialogs.errors.size(), std::size_t{1});
    QCOMPARE(rig.dialogs.errors[0].caption, QStringLiteral("Error"));
    QCOMPARE(rig.dialogs.errors[0].text,
             QStringLiteral("Your Tarvik Version does not match to this software! Please Update "
                            "Firmware or Software!"));
    const QString version = QStringLiteral("%1.%2").arg(major).arg(minor);
    const QStringList found{QStringLiteral("Tarvik found! Firmware-Version: ") + version};
    QVERIFY(rig.awaitLog([&] { return rig.logMessages() == found; }));
    QCOMPARE(rig.logMessages(), found);
    QCOMPARE(rig.visibleTabs(), (QStringList{"TabSheet1", "TabSheet4"}));
    QCOMPARE(rig.find<QLabel>("currentVersion")->text(), version);
    QVERIFY(!rig.button("Button1")->isEnabled());
    QVERIFY(!BusyCursor::isBusy());
    QCOMPARE(rig.commandsNamed("DownloadPresets"), 0);
  }

  void silentDeviceTimesOutAndGivesTheButtonBack() {
    WindowRig rig;
    SimFaults faults;
    faults.silent = true;
    rig.device().setFaults(faults);
    CoreParts::machine(*rig.core).setConnectTimeout(kTimeoutThatFiresMs);
    // What the MIDI libraries said goes with the box, not into the log, after what was tried on
    // which MIDI system.
    const QStringList said{QStringLiteral("Cannot read socket fd = 11 err = Success")};
    rig.form->setMidiFailureDetail([&said] { return said; });
    QTest::mouseClick(rig.button("Button1"), Qt::LeftButton);
    QVERIFY(!rig.button("Button1")->isEnabled());
    QVERIFY(rig.dialogs.awaitErrors(1, kWaitMs));
    QCOMPARE(rig.dialogs.errors.size(), std::size_t{1});
    QCOMPARE(rig.dialogs.errors[0].caption, QStringLiteral("Timeout!"));
    QCOMPARE(rig.dialogs.errors[0].text, QStringLiteral("No Tarvik found :("));
    QCOMPARE(
        rig.dialogs.errorDetails[0],
        QStringList({QStringLiteral("MIDI system: in-memory"),
                     QStringLiteral("Identify was sent to the output \"Tarvik MIDI\"; no reply "
                                    "came on the input \"Tarvik MIDI\" (nor on any other "
                                    "open input).")}) +
            said);
    QVERIFY(rig.button("Button1")->isEnabled());
    QVERIFY(!BusyCursor::isBusy());
    QCOMPARE(rig.logMessages(), QStringList());
  }

  void deviceThatStopsAfterTheFirstIdentifyTripsTheWatchdog() {
    WindowRig rig;
    SimFaults faults;
    faults.answerFirst = 1;
    rig.device().setFaults(faults);
    CoreParts::machine(*rig.core).setReplyWatchdog(kTimeoutThatFiresMs);
    QTest::mouseClick(rig.button("Button1"), Qt::LeftButton);
    QVERIFY(rig.dialogs.awaitErrors(1, kWaitMs));
    QCOMPARE(rig.dialogs.errors.size(), std::size_t{1});
    QCOMPARE(rig.dialogs.errors[0].caption, QStringLiteral("Error"));
    QVERIFY(rig.button("Button1")->isEnabled());
    QVERIFY(!BusyCursor::isBusy());
    // The second Identify goes out three times (the default retries), then the chain gives up.
    QCOMPARE(rig.logMessages(),
             (QStringList{"Identify: no reply, try 2 of 3", "Identify: no reply, try 3 of 3",
                          "no reply from Tarvik while identifying - transfer aborted"}));
  }

  // What counts is the selection, not the current row: a Ctrl+click deselects and leaves the
  // row current, and keyboard focus makes a row current without selecting it.
  void connectNeedsBothPorts_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("byCtrlClick");
    QTest::addColumn<QString>("text");
    QTest::newRow("input deselected by ctrl+click")
        << "inputDevices" << true << "Please select a Midi Input Device!";
    QTest::newRow("output deselected by ctrl+click")
        << "outputDevices" << true << "Please select a Midi Output Device!";
    QTest::newRow("input selection cleared")
        << "inputDevices" << false << "Please select a Midi Input Device!";
    QTest::newRow("output selection cleared")
        << "outputDevices" << false << "Please select a Midi Output Device!";
  }
  void connectNeedsBothPorts() {
    QFETCH(QString, list);
    QFETCH(bool, byCtrlClick);
    QFETCH(QString, text);
    WindowRig rig;
    auto* ports = rig.find<QListWidget>(qPrintable(list));
    if (byCtrlClick) {
      ctrlClickFirstRow(ports);
    } else {
      ports->clearSelection();
    }
    // Nothing looks chosen either: the row stays neither selected nor current (tinted).
    QCOMPARE(ports->currentRow(), -1);
    QCOMPARE(selectedRow(ports), -1);

    QTest::mouseClick(rig.button("Button1"), Qt::LeftButton);
    QCOMPARE(rig.dialogs.errors.size(), std::size_t{1});
    QCOMPARE(rig.dialogs.errors[0].caption, QStringLiteral("Information"));
    QCOMPARE(rig.dialogs.errors[0].text, text);
    QCOMPARE(CoreParts::machine(*rig.core).identifyCount(), 0);
    QVERIFY(!rig.form->portsOpened());
    QVERIFY(rig.service().sent(0).empty());
    QVERIFY(rig.button("Button1")->isEnabled());
  }

  // Every reply is held until the test has looked, so each step of the chain is seen: no
  // sender and no port list may be used while the chain waits for the device, and a click on
  // another port then changes nothing, so every byte goes to the port the chain started on.
  void sendersAndPortsAreLockedWhileAChainRuns_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("commands");
    QTest::newRow("connect and download") << "Button1" << 11;
    QTest::newRow("submit presets") << "Button3" << 3;
    QTest::newRow("submit config") << "Button2" << 1;
  }
  void sendersAndPortsAreLockedWhileAChainRuns() {
    QFETCH(QString, start);
    QFETCH(int, commands);
    WindowRig rig(TarvikContents::fromSeed(7), kNoUpdateServer, [](InMemoryMidiService& service) {
      service.addInput("Other MIDI");
      service.addOutput("Other MIDI");
    });
    if (start != QStringLiteral("Button1")) QVERIFY(rig.connectAndDownload());
    auto* inputs = rig.find<QListWidget>("inputDevices");
    auto* outputs = rig.find<QListWidget>("outputDevices");
    rig.tarvik().holdReplies(true);
    QSignalSpy held(&rig.tarvik(), &InProcessTarvik::replyHeld);

    QTest::mouseClick(rig.button(qPrintable(start)), Qt::LeftButton);
    int seen = 0;
    while (rig.core->busy()) {
      QCOMPARE(held.count(), 1);
      // The first connect builds the device tabs on the identify reply, amid the chain: they
      // come up locked as well.
      for (const char* name : kSenders) {
        auto* sender = rig.form->findChild<QPushButton*>(QString::fromLatin1(name));
        QVERIFY2(sender == nullptr || !sender->isEnabled(), name);
      }
      for (QListWidget* ports : {inputs, outputs}) {
        QVERIFY2(!ports->isEnabled(), qPrintable(ports->objectName()));
        QTest::mouseClick(ports->viewport(), Qt::LeftButton, {},
                          ports->visualItemRect(ports->item(1)).center());
        QCOMPARE(selectedRow(ports), 0);
      }
      held.clear();
      rig.tarvik().releaseHeld();
      ++seen;
      // Either the answer to that reply went out (and its own reply is held) or the chain ended.
      QVERIFY(QTest::qWaitFor([&] { return !held.isEmpty() || !rig.core->busy(); }, kWaitMs));
    }
    QCOMPARE(seen, commands);
    QVERIFY(rig.dialogs.errors.empty());
    for (const char* name : kSenders) QVERIFY2(rig.button(name)->isEnabled(), name);
    QVERIFY(inputs->isEnabled());
    QVERIFY(outputs->isEnabled());
    QVERIFY(rig.service().sent(1).empty());
  }

  void portListsAreLockedWhileAFlashRuns() {
    WindowRig rig;
    QVERIFY(rig.connectAndDownload());
    auto* inputs = rig.find<QListWidget>("inputDevices");
    auto* outputs = rig.find<QListWidget>("outputDevices");
    // Nothing listens at the update server's address, so the flash ends with its download,
    // which owns the link as the flash does.
    QSignalSpy failed(rig.core.get(), &ConfiguratorCore::firmwareDownloadFailed);
    rig.form->Button7Click();
    QVERIFY(rig.form->busy());
    QVERIFY(!inputs->isEnabled());
    QVERIFY(!outputs->isEnabled());
    QVERIFY(failed.wait(kWaitMs));
    QVERIFY(!rig.form->busy());
    QCOMPARE(rig.dialogs.errors.size(), std::size_t{1});
    QCOMPARE(rig.dialogs.errors[0].caption, TForm1::applicationTitle);
    QVERIFY(inputs->isEnabled());
    QVERIFY(outputs->isEnabled());
  }

  // The link keeps the ports its connect opened: an output selected or deselected afterwards
  // changes nothing for a submit, which still reaches the device, and nothing for the
  // shut-down, which closes the link's ports. Only the next connect takes the new selection.
  void aChangedOutputSelectionWaitsForTheNextConnect_data() {
    QTest::addColumn<bool>("deselect");
    QTest::newRow("another output selected") << false;
    QTest::newRow("output deselected") << true;
  }
  void aChangedOutputSelectionWaitsForTheNextConnect() {
    QFETCH(bool, deselect);
    WindowRig rig(TarvikContents::fromSeed(7), kNoUpdateServer,
                  [](InMemoryMidiService& service) { service.addOutput("Other MIDI"); });
    QVERIFY(rig.connectAndDownload());
    auto* outputs = rig.find<QListWidget>("outputDevices");
    if (deselect) {
      ctrlClickFirstRow(outputs);
    } else {
      outputs->setCurrentRow(1);
    }
    QCOMPARE(selectedRow(outputs), deselect ? -1 : 1);

    QTest::mouseClick(rig.button("Button3"), Qt::LeftButton);
    QVERIFY(rig.awaitChainEnd());
    QVERIFY(rig.button("Button3")->isEnabled());
    QVERIFY(rig.dialogs.errors.empty());
    QCOMPARE(rig.commandsNamed("SubmitPcRemap"), 1);
    QCOMPARE(rig.logMessages().constLast(), QStringLiteral("transmission successful"));
    QVERIFY(rig.service().sent(1).empty());

    const std::size_t sentToDevice = rig.service().sent(0).size();
    CoreParts::machine(*rig.core).setConnectTimeout(kTimeoutThatFiresMs);
    QTest::mouseClick(rig.button("Button1"), Qt::LeftButton);
    if (deselect) {
      QCOMPARE(rig.dialogs.errors.size(), std::size_t{1});
      QCOMPARE(rig.dialogs.errors[0].text, QStringLiteral("Please select a Midi Output Device!"));
      QVERIFY(rig.service().sent(1).empty());
    } else {
      // Nothing answers on the other output, so this connect runs into its time-out.
      QVERIFY(!rig.service().sent(1).empty());
      QVERIFY(rig.dialogs.awaitErrors(1, kWaitMs));
      QCOMPARE(rig.dialogs.errors.size(), std::size_t{1});
      QCOMPARE(rig.dialogs.errors[0].text, QStringLiteral("No Tarvik found :("));
    }
    QCOMPARE(rig.service().sent(0).size(), sentToDevice);

    rig.form.reset();
    QCOMPARE(rig.dialogs.errors.size(), std::size_t{1});
    QVERIFY(!rig.service().isInputOpen(0));
    QVERIFY(!rig.service().isOutputOpen(deselect ? 0 : 1));
  }

  void busyCursorIsAStateNotAStack() {
    BusyCursor::set(true);
    BusyCursor::set(true);
    QVERIFY(BusyCursor::isBusy());
    BusyCursor::set(false);
    QVERIFY(!BusyCursor::isBusy());
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void saveAndLoadGoThroughTheDialogs() {
    WindowRig rig(TarvikContents::fromSeed(5));
    QVERIFY(rig.connectAndDownload());
    auto* presets = rig.form->findChild<PresetMatrixTab*>();
    const PresetTables downloaded = rig.core->configuration().tables();

    QTemporaryDir dir;
    rig.dialogs.nextFileName = dir.filePath(QStringLiteral("live.tvk"));
    QTest::mouseClick(rig.button("Button8"), Qt::LeftButton);
    QCOMPARE(rig.dialogs.fileFilters.last(), QStringLiteral("Tarvik Config File (*.tvk)"));
    QCOMPARE(rig.dialogs.fileSuffixes.last(), QStringLiteral("tvk"));
    QFile saved(rig.dialogs.nextFileName);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), TvkFile::serialize(downloaded));

    QTest::mouseClick(rig.button("Button10"), Qt::LeftButton);
    QVERIFY(!(presets->tables() == downloaded));
    QTest::mouseClick(rig.button("Button9"), Qt::LeftButton);
    QVERIFY(presets->tables() == downloaded);
    QCOMPARE(
        presets->model().index(5, PresetMatrixModel::kPcRemapColumn).data(Qt::EditRole).toInt(),
        downloaded.pcRemap(5));

    // A file that is not there is refused and the grid stays as it is.
    QTest::mouseClick(rig.button("Button10"), Qt::LeftButton);
    const PresetTables cleared = presets->tables();
    rig.dialogs.nextFileName = dir.filePath(QStringLiteral("missing.tvk"));
    QTest::mouseClick(rig.button("Button9"), Qt::LeftButton);
    QCOMPARE(rig.dialogs.errors.size(), std::size_t{1});
    QVERIFY(presets->tables() == cleared);

    // A save that cannot be written says so and names the file.
    QFile blocker(dir.filePath(QStringLiteral("plain")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    rig.dialogs.nextFileName = dir.filePath(QStringLiteral("plain/sub.tvk"));
    QTest::mouseClick(rig.button("Button8"), Qt::LeftButton);
    QCOMPARE(rig.dialogs.errors.size(), std::size_t{2});
    QCOMPARE(rig.dialogs.errors[1].caption, TForm1::applicationTitle);
    QCOMPARE(rig.dialogs.errors[1].text,
             QStringLiteral("In %1 kann nicht geschrieben werden.").arg(rig.dialogs.nextFileName));

    // Cancelling either dialog does nothing.
    rig.dialogs.nextFileName.clear();
    QTest::mouseClick(rig.button("Button8"), Qt::LeftButton);
    QTest::mouseClick(rig.button("Button9"), Qt::LeftButton);
    QCOMPARE(rig.dialogs.errors.size(), std::size_t{2});
  }

  void interlockBoxesColourThePresetMatrix() {
    WindowRig rig;
    rig.form->buildDeviceTabs();
    auto* presets = rig.form->findChild<PresetMatrixTab*>();
    auto background = [&](int row) {
      return presets->model().index(row, 2).data(Qt::BackgroundRole);
    };
    rig.find<QCheckBox>("lockCB3")->setChecked(true);
    QCOMPARE(int(rig.core->configuration().record().lockMask), 0x04);
    QCOMPARE(background(0).value<QBrush>().color(), QColor(Qt::red));
    QCOMPARE(background(127).value<QBrush>().color(), QColor(Qt::red));
    QVERIFY(!presets->model().index(0, 1).data(Qt::BackgroundRole).isValid());
    rig.find<QCheckBox>("lockCB3")->setChecked(false);
    QVERIFY(!background(0).isValid());
    QVERIFY(!background(127).isValid());
  }

  void closingTheWindowClosesTheLinksPortsOnlyAfterAConnect() {
    {
      WindowRig rig;
      rig.form.reset();
      QVERIFY(rig.dialogs.errors.empty());
      QVERIFY(!rig.service().calls().empty());
      for (const std::string& call : rig.service().calls()) {
        QVERIFY2(call.rfind("inClose", 0) != 0 && call.rfind("outClose", 0) != 0, call.c_str());
      }
    }
    {
      WindowRig rig;
      QVERIFY(rig.connectAndDownload());
      QVERIFY(rig.service().isInputOpen(0));
      rig.form.reset();
      QVERIFY(!rig.service().isInputOpen(0));
      QVERIFY(!rig.service().isOutputOpen(0));
      QVERIFY(rig.dialogs.errors.empty());
    }
  }

  void aFailedEnumerationStillBringsTheWindowUp() {
    SimulatedMidi sim;
    sim.service().failNext("inGetDevCaps", MidiResult::Error);
    tarvik::testing::FakeDialogs dialogs;
    CoreWindow window(dialogs, sim.ports());
    window.form->show();
    QCOMPARE(dialogs.errors.size(), std::size_t{1});
    QCOMPARE(window.find<QListWidget>("inputDevices")->count(), 0);
    QCOMPARE(window.form->windowTitle(), QStringLiteral("Tarvik Configurator - Version: 1.9[*]"));
  }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
