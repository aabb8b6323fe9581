// SPDX-License-Identifier: MIT
// The update check and the flash, driven through the window against the virtual Tarvik and a
// real HTTP server on 127.0.0.1.
#include <QAbstractItemModel>
#include <QEventLoop>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include "WindowRig.h"
#include "app/BusyCursor.h"
#include "core/CoreParts.h"
#include "firmware/Flasher.h"
#include "firmware/ServerFile.h"
#include "library/SetupLibrary.h"
#include "midi/PortWatcher.h"
#include "sim/fixtures/FirmwareFixture.h"
#include "sim/fixtures/UpdateServer.h"

using namespace tarvik;
using tarvik::fixtures::FirmwareFixture;
using tarvik::testing::WindowRig;

namespace {

constexpr int kWaitMs = 20000;
// Waits that the device or the server always answers in time; only a test that wants one to run
// out shortens it.
constexpr int kLongMs = 60000;

QStringList successfulFlashLog(int pages) {
  QStringList lines{QStringLiteral("Entering bootloader"), QStringLiteral("ok")};
  for (int k = 0; k < pages; ++k) {
    lines << QStringLiteral("Upload Flash Page %1 of %2").arg(k).arg(pages - 1)
          << QStringLiteral("verify ok");
  }
  lines << QStringLiteral("write RAM to FLASH...")
        << QStringLiteral("Firmware update successful! Reboot Tarvik...") << QString() << QString();
  return lines;
}

}  // namespace

class WindowFirmwareTest : public QObject {
  Q_OBJECT

  std::unique_ptr<fixtures::UpdateServer> server_;
  std::unique_ptr<WindowRig> rig_;
  // Where the setup is kept before each flash.
  QTemporaryDir dir_;
  std::unique_ptr<SetupLibrary> library_;
  int logBeforeFlash_ = 0;

  void serveChangelog(const QByteArray& latest) {
    server_->setFile("changelog.txt",
                     FirmwareFixture::changelog(latest, {"new loops", "fixes"}).toStdString());
  }
  // Button1, then the download chain to its end.
  void connectDevice() {
    QTest::mouseClick(rig_->button("Button1"), Qt::LeftButton);
    QVERIFY(rig_->awaitChainEnd());
    QVERIFY(rig_->button("Button1")->isEnabled());
    QVERIFY2(rig_->dialogs.errors.empty(), qPrintable(errorTexts()));
  }
  // Button6, then the check's result.
  void runCheck() {
    QSignalSpy finished(rig_->core.get(), &ConfiguratorCore::updateChecked);
    QTest::mouseClick(rig_->button("Button6"), Qt::LeftButton);
    QVERIFY(finished.wait(kWaitMs));
  }
  // A connected window whose update check has offered the flash.
  void connectAndCheck(const QList<QByteArray>& pages, const SimFaults& faults = {}) {
    serveChangelog("2.0");
    server_->setFile("firmware.txt", FirmwareFixture::firmwareBody(pages).toStdString());
    connectDevice();
    rig_->device().setFaults(faults);
    runCheck();
    QVERIFY(rig_->button("Button7")->isEnabled());
    logBeforeFlash_ = static_cast<int>(rig_->logMessages().size());
  }
  // Button7 (confirmed), then the firmware download and the flash to their end; true when the
  // flash reported a written flash. A failed download or a refused image ends it without a
  // flash.
  bool flash() {
    QEventLoop loop;  // also ends the connections below with this call
    bool ended = false;
    bool flashed = false;
    const auto end = [&] {
      ended = true;
      loop.quit();
    };
    connect(rig_->core.get(), &ConfiguratorCore::firmwareDownloadFailed, &loop, end);
    connect(rig_->core.get(), &ConfiguratorCore::firmwareRefused, &loop, end);
    connect(rig_->core.get(), &ConfiguratorCore::firmwareUpdateStopped, &loop, end);
    connect(rig_->core.get(), &ConfiguratorCore::flashFinished, &loop, [&](FlashEnd result) {
      flashed = result == FlashEnd::Flashed;
      end();
    });
    QTest::mouseClick(rig_->button("Button7"), Qt::LeftButton);
    if (!ended) {
      QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
      loop.exec();
    }
    return ended && flashed;
  }
  QString errorTexts() const {
    QStringList texts;
    for (const auto& box : rig_->dialogs.errors)
      texts << box.caption + QStringLiteral(": ") + box.text;
    return texts.join(QStringLiteral("; "));
  }
  // From the flash's first line on: the backup's download goes before it.
  QStringList flashLog() const {
    const QStringList lines = rig_->logMessages().mid(logBeforeFlash_);
    const qsizetype entering = lines.indexOf(QStringLiteral("Entering bootloader"));
    return entering < 0 ? lines : lines.mid(entering);
  }
  // Runs `action` as soon as the event log gets `message`, before the program goes on.
  void onLogMessage(const QString& message, std::function<void()> action) {
    QAbstractItemModel* model = rig_->find<QListWidget>("ListBox1")->model();
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this, message, action = std::move(action)](const QModelIndex&, int first, int last) {
              const QStringList lines = rig_->logMessages();
              for (int row = first; row <= last; ++row) {
                if (lines.value(row) == message) action();
              }
            });
  }

 private Q_SLOTS:
  void init() {
    server_ = std::make_unique<fixtures::UpdateServer>();
    QVERIFY(server_->start());
    rig_ = std::make_unique<WindowRig>(TarvikContents::fromSeed(2),
                                       QUrl(QString::fromStdString(server_->baseUrl())));
    CoreParts::machine(*rig_->core).setConnectTimeout(kLongMs);
    CoreParts::machine(*rig_->core).setReplyWatchdog(kLongMs);
    CoreParts::updateCheck(*rig_->core).setRequestTimeout(kLongMs);
    CoreParts::firmwareDownload(*rig_->core).setRequestTimeout(kLongMs);
    CoreParts::flasher(*rig_->core).setReplyTimeout(kLongMs);
    CoreParts::flasher(*rig_->core).setWriteTimeout(kLongMs);
    SetupLibrary::Opened opened =
        SetupLibrary::open(dir_.filePath(QString::fromLatin1(QTest::currentTestFunction()) +
                                         QString::fromLatin1(QTest::currentDataTag())));
    QVERIFY2(opened.library, qPrintable(opened.error));
    library_ = std::move(opened.library);
    rig_->core->setLibrary(library_.get());
  }
  void cleanup() {
    rig_->core->setLibrary(nullptr);
    rig_.reset();
    library_.reset();
    server_->stop();
    server_.reset();
  }

  void updateCheckShowsTheChangeLogAndOffersTheFlash() {
    connectAndCheck(FirmwareFixture::seededPages(2, 1));
    QCOMPARE(rig_->find<QLabel>("latestVersion")->text(), QStringLiteral("2.0"));
    QCOMPARE(rig_->find<QLabel>("currentVersion")->text(), QStringLiteral("1.9"));
    const QString shown = rig_->find<QPlainTextEdit>("Memo1")->toPlainText();
    QVERIFY2(!shown.contains(QStringLiteral("2.0")), qPrintable(shown));
    QVERIFY(shown.contains(QStringLiteral("new loops")));
    QVERIFY(shown.contains(QStringLiteral("fixes")));
  }

  void flashWritesTheImageAndHidesTheDeviceTabs() {
    const QList<QByteArray> pages = FirmwareFixture::seededPages(96, 77);
    connectAndCheck(pages);
    QVERIFY(flash());
    QCOMPARE(rig_->dialogs.confirmations.size(), std::size_t{1});
    QCOMPARE(rig_->dialogs.confirmations[0].caption, QStringLiteral("Information"));
    QCOMPARE(rig_->dialogs.confirmations[0].text,
             QStringLiteral("Attention! \r\nDo not disconnect the power supply during the flash "
                            "procedure!!!!\r\n\r\nWant continue?"));

    QCOMPARE(flashLog(), successfulFlashLog(96));
    QVERIFY(rig_->dialogs.errors.empty());
    const FlashImage& image = rig_->device().flash();
    QVERIFY(image.writtenToFlash);
    QVERIFY(!image.bootloaderLeft);
    QCOMPARE(image.uploadOrder.size(), std::size_t{96});
    QCOMPARE(image.uploadOrder.front(), 0);
    QCOMPARE(image.uploadOrder.back(), 95);
    for (int k = 0; k < 96; ++k) {
      const auto& held = image.pages.at(k);
      QCOMPARE(
          QByteArray(reinterpret_cast<const char*>(held.data()), static_cast<int>(held.size())),
          pages[k]);
    }
    QCOMPARE(rig_->visibleTabs(), QStringList{QStringLiteral("TabSheet1")});
    QVERIFY(!BusyCursor::isBusy());
    QVERIFY(!rig_->button("Button7")->isEnabled());
    QVERIFY(rig_->button("Button1")->isEnabled());  // reply 17 leaves the connect button alone
  }

  // A new firmware may start from its factory setup: the next connect says so and offers the
  // setup kept before the flash back, or, when the program cannot configure the new firmware,
  // its box says where that setup is kept.
  void theSetupFromBeforeTheFlashIsOfferedBack_data() {
    QTest::addColumn<bool>("newVersion");
    QTest::newRow("the same version, the setup reset: sent back, verified") << false;
    QTest::newRow("another version: the mismatch box names the backup") << true;
  }
  void theSetupFromBeforeTheFlashIsOfferedBack() {
    QFETCH(bool, newVersion);
    const TarvikContents before = rig_->device().contents();
    connectAndCheck(FirmwareFixture::seededPages(2, 1));
    QVERIFY(flash());
    const QList<SnapshotSummary> history = *library_->history().list().value;
    QCOMPARE(history.front().event, QStringLiteral("before firmware 2.0"));
    const QString where = QStringLiteral("snapshot %1 of the device history").arg(history[0].id);

    rig_->device().setContents(TarvikContents::factory());
    if (newVersion) rig_->device().setVersion(2, 0);
    QSignalSpy restored(rig_->core.get(), &ConfiguratorCore::restoreFinished);
    QTest::mouseClick(rig_->button("Button1"), Qt::LeftButton);
    if (newVersion) {
      QVERIFY(rig_->dialogs.awaitErrors(1, kWaitMs));
      QVERIFY2(rig_->dialogs.errors[0].text.contains(where),
               qPrintable(rig_->dialogs.errors[0].text));
      return;
    }
    QVERIFY(restored.wait(kWaitMs));
    QVERIFY2(restored[0][0].toBool(), qPrintable(restored[0][1].toString()));
    QCOMPARE(rig_->dialogs.confirmations.size(), std::size_t{2});
    QVERIFY2(rig_->dialogs.confirmations[1].text.contains(where),
             qPrintable(rig_->dialogs.confirmations[1].text));
    const TarvikContents& now = rig_->device().contents();
    QCOMPARE(now.presets, before.presets);
    QCOMPARE(now.ccMap, before.ccMap);
    QCOMPARE(now.pcRemap, before.pcRemap);
  }

  void answeringNoSendsNothing() {
    connectAndCheck(FirmwareFixture::seededPages(2, 1));
    rig_->dialogs.confirmAnswer = false;
    const int commands = rig_->device().commandsReceived();
    QSignalSpy running(&CoreParts::flasher(*rig_->core), &Flasher::runningChanged);
    QTest::mouseClick(rig_->button("Button7"), Qt::LeftButton);
    // The flash starts, if at all, within the click: it is the only way to the server and the
    // device from here.
    QCOMPARE(rig_->dialogs.confirmations.size(), std::size_t{1});
    QCOMPARE(running.size(), 0);
    QVERIFY(!rig_->core->flashRunning());
    QCOMPARE(rig_->device().commandsReceived(), commands);
    QVERIFY(rig_->button("Button7")->isEnabled());
    QVERIFY(!BusyCursor::isBusy());
    QVERIFY(flashLog().isEmpty());
  }

  void readBackMismatchLeavesTheBootloader() {
    SimFaults faults;
    faults.badReadbackPage = 3;
    connectAndCheck(FirmwareFixture::seededPages(8, 5), faults);
    QVERIFY(!flash());
    const QStringList log = flashLog();
    QCOMPARE(log.mid(log.size() - 5),
             (QStringList{"Upload Flash Page 3 of 7",
                          "flash page 4 of 8 read back different, try 2 of 3",
                          "flash page 4 of 8 read back different, try 3 of 3",
                          "verify failed! Programming canceled!", "leave bootloader..."}));
    QVERIFY(rig_->device().flash().bootloaderLeft);
    QVERIFY(!rig_->device().flash().writtenToFlash);
    QVERIFY(rig_->button("Button7")->isEnabled());
    QVERIFY(!BusyCursor::isBusy());
  }

  void deviceThatFallsSilentMidFlashIsLeftInItsBootloaderNoLonger() {
    SimFaults faults;
    faults.stopAfterPages = 4;
    connectAndCheck(FirmwareFixture::seededPages(8, 6), faults);
    // Only the wait that nothing answers is short.
    onLogMessage(QStringLiteral("Upload Flash Page 4 of 7"),
                 [this] { CoreParts::flasher(*rig_->core).setReplyTimeout(400); });
    QVERIFY(!flash());
    QCOMPARE(rig_->dialogs.errors.size(), std::size_t{1});
    QCOMPARE(rig_->dialogs.errors[0].caption, QStringLiteral("Timeout!"));
    QCOMPARE(rig_->dialogs.errors[0].text,
             QStringLiteral("no reply from Tarvik while uploading flash page 5 of 8 - "
                            "programming canceled"));
    QVERIFY(flashLog().contains(QStringLiteral("leave bootloader...")));
    // The device logs each command it takes; the one that leaves the bootloader may still be on
    // its way when the box is shown.
    QSignalSpy deviceLog(&rig_->tarvik(), &InProcessTarvik::logLine);
    while (!rig_->device().flash().bootloaderLeft) QVERIFY(deviceLog.wait(kWaitMs));
    QVERIFY(!rig_->device().flash().writtenToFlash);
    QVERIFY(rig_->button("Button7")->isEnabled());
    QVERIFY(!BusyCursor::isBusy());
  }

  void pageReplyWhileEnteringTheBootloaderEndsThatWait() {
    SimFaults faults;
    faults.reply9ForBootloader = true;
    connectAndCheck(FirmwareFixture::seededPages(3, 8), faults);
    QVERIFY(flash());
    QCOMPARE(flashLog(), successfulFlashLog(3));
  }

  void nothingElseTalksToTheDeviceWhileFlashing() {
    // The flash alone, its first reply held: without a library no backup is read first, and
    // going on without one is confirmed.
    rig_->core->setLibrary(nullptr);
    connectAndCheck(FirmwareFixture::seededPages(6, 9));
    rig_->tarvik().holdReplies(true);
    QSignalSpy held(&rig_->tarvik(), &InProcessTarvik::replyHeld);
    QSignalSpy finished(rig_->core.get(), &ConfiguratorCore::flashFinished);
    QTest::mouseClick(rig_->button("Button7"), Qt::LeftButton);
    // The device has taken EnterBootloader and its answer is held: the flash waits for it.
    QVERIFY(held.wait(kWaitMs));
    QCOMPARE(rig_->tarvik().pendingReplies(), 1);
    QVERIFY(rig_->core->flashRunning());
    for (const char* name :
         {"Button1", "Button2", "Button3", "Button4", "Button5", "Button6", "Button7"}) {
      QVERIFY2(!rig_->button(name)->isEnabled(), name);
    }
    const int commands = rig_->device().commandsReceived();
    rig_->form->Button1Click();  // even a direct call is refused
    QCOMPARE(rig_->device().commandsReceived(), commands);
    QVERIFY(rig_->core->flashRunning());
    rig_->tarvik().holdReplies(false);
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(finished.first().first().value<FlashEnd>(), FlashEnd::Flashed);
    QCOMPARE(rig_->commandsNamed("Identify"), 7);
    QCOMPARE(flashLog(), successfulFlashLog(6));
  }

  void portThatVanishesMidFlashEndsItWithHowToRecover() {
    // The flash alone, its first reply held: without a library no backup is read first, and
    // going on without one is confirmed.
    rig_->core->setLibrary(nullptr);
    connectAndCheck(FirmwareFixture::seededPages(6, 9));
    rig_->tarvik().holdReplies(true);
    QSignalSpy held(&rig_->tarvik(), &InProcessTarvik::replyHeld);
    QSignalSpy finished(rig_->core.get(), &ConfiguratorCore::flashFinished);
    QTest::mouseClick(rig_->button("Button7"), Qt::LeftButton);
    QVERIFY(held.wait(kWaitMs));
    rig_->service().setInputPresent(rig_->sim.inPort(), false);
    rig_->core->rescanPorts();
    // At once, not after the bootloader's time-out (a minute here).
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().value<FlashEnd>(), FlashEnd::PortGone);
    QVERIFY(rig_->button("Button7")->isEnabled());
    QVERIFY(rig_->button("Button1")->isEnabled());
    QCOMPARE(rig_->dialogs.errors.size(), std::size_t(1));
    QVERIFY2(rig_->dialogs.errors.front().text.contains(QStringLiteral("bootloader")),
             qPrintable(errorTexts()));
    QCOMPARE(flashLog(),
             (QStringList{QStringLiteral("Entering bootloader"),
                          QStringLiteral("MIDI input Tarvik MIDI disconnected"),
                          QStringLiteral("MIDI port Tarvik MIDI vanished - programming canceled"),
                          QStringLiteral("Tarvik may still be in its bootloader: connect again "
                                         "and flash the firmware once more")}));
  }

  // A check started before a submit or a flash took the link, answered only while it holds the
  // link: once the link is free the flash button shows that check's result, except that a flash
  // that ended has the last word (on again after a failure, off after a written flash).
  void checkEndingWhileTheLinkIsBusy_data() {
    QTest::addColumn<QByteArray>("firstLatest");
    QTest::addColumn<QByteArray>("secondLatest");
    QTest::addColumn<QString>("holder");  // "submit", "failing flash" or "flash"
    QTest::addColumn<bool>("flashEnabled");
    QTest::newRow("older version during a submit disables")
        << QByteArray("2.0") << QByteArray("1.8") << "submit" << false;
    QTest::newRow("newer version during a submit enables")
        << QByteArray("1.8") << QByteArray("2.0") << "submit" << true;
    QTest::newRow("failed flash enables again")
        << QByteArray("2.0") << QByteArray("1.8") << "failing flash" << true;
    QTest::newRow("written flash stays off")
        << QByteArray("2.0") << QByteArray("2.0") << "flash" << false;
  }
  void checkEndingWhileTheLinkIsBusy() {
    QFETCH(QByteArray, firstLatest);
    QFETCH(QByteArray, secondLatest);
    QFETCH(QString, holder);
    QFETCH(bool, flashEnabled);
    serveChangelog(firstLatest);
    server_->setFile(
        "firmware.txt",
        FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(3, 4)).toStdString());
    connectDevice();
    runCheck();
    if (holder == QLatin1String("failing flash")) {
      SimFaults faults;
      faults.badReadbackPage = 1;
      rig_->device().setFaults(faults);
    }

    serveChangelog(secondLatest);
    server_->hold();
    rig_->tarvik().holdReplies(true);
    QSignalSpy checked(rig_->core.get(), &ConfiguratorCore::updateChecked);
    QTest::mouseClick(rig_->button("Button6"), Qt::LeftButton);
    QVERIFY(CoreParts::updateCheck(*rig_->core).running());
    QSignalSpy flashed(rig_->core.get(), &ConfiguratorCore::flashFinished);
    if (holder == QLatin1String("submit")) {
      QTest::mouseClick(rig_->button("Button3"), Qt::LeftButton);
      QVERIFY(CoreParts::machine(*rig_->core).chainRunning());
    } else {
      // The firmware download (held by the server too) and then the flash own the link.
      QTest::mouseClick(rig_->button("Button7"), Qt::LeftButton);
      QVERIFY(rig_->form->busy());
    }
    server_->release();
    QVERIFY(checked.wait(kWaitMs));
    QCOMPARE(rig_->find<QLabel>("latestVersion")->text(), QString::fromLatin1(secondLatest));
    QVERIFY(!rig_->button("Button7")->isEnabled());

    rig_->tarvik().holdReplies(false);
    if (holder == QLatin1String("submit")) {
      QVERIFY(rig_->awaitChainEnd());
      QVERIFY(rig_->button("Button3")->isEnabled());
    } else {
      QVERIFY(flashed.wait(kWaitMs));
      QCOMPARE(flashed.first().first().value<FlashEnd>() == FlashEnd::Flashed,
               holder == QLatin1String("flash"));
    }
    QVERIFY2(rig_->dialogs.errors.empty(), qPrintable(errorTexts()));
    QCOMPARE(rig_->button("Button7")->isEnabled(), flashEnabled);
  }

  // Errors that end the flash as an error leaving the click handler would are shown as the
  // window shows those, under its title; a bad download keeps its own caption.
  void flashErrorCaptions_data() {
    QTest::addColumn<QByteArray>("firmware");  // empty: the server has no firmware.txt
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("textPart");
    QTest::newRow("firmware.txt missing")
        << QByteArray() << TForm1::applicationTitle << "server replied: Not Found";
    QTest::newRow("digest mismatch") << QByteArray("0123\nFFFF\n") << "Error"
                                     << "Download failed!";
  }
  void flashErrorCaptions() {
    QFETCH(QByteArray, firmware);
    QFETCH(QString, caption);
    QFETCH(QString, textPart);
    connectAndCheck(FirmwareFixture::seededPages(2, 1));
    if (firmware.isEmpty()) {
      server_->removeFile("firmware.txt");
    } else {
      server_->setFile("firmware.txt", firmware.toStdString());
    }
    QVERIFY(!flash());
    QCOMPARE(rig_->dialogs.errors.size(), std::size_t{1});
    QCOMPARE(rig_->dialogs.errors[0].caption, caption);
    QVERIFY2(rig_->dialogs.errors[0].text.contains(textPart),
             qPrintable(rig_->dialogs.errors[0].text));
    QCOMPARE(rig_->device().flash().uploadOrder.size(), std::size_t{0});
    QVERIFY(rig_->button("Button7")->isEnabled());
    QVERIFY(!BusyCursor::isBusy());
  }
};

QTEST_MAIN(WindowFirmwareTest)
#include "test_window_firmware.moc"
