// SPDX-License-Identifier: MIT
// The update check and the flash, driven through the window against the virtual Tarvik and a
// real HTTP server on 127.0.0.1.
#include "WindowRig.h"

#include "app/BusyCursor.h"
#include "firmware/Flasher.h"
#include "sim/fixtures/FirmwareFixture.h"
#include "sim/fixtures/UpdateServer.h"

#include <QLabel>
#include <QPlainTextEdit>

using namespace tarvik;
using tarvik::fixtures::FirmwareFixture;
using tarvik::fixtures::UpdateServer;
using tarvik::testing::WindowRig;

namespace {

constexpr int kWaitMs = 20000;

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

  std::unique_ptr<UpdateServer> server_;
  std::unique_ptr<WindowRig> rig_;
  int logBeforeFlash_ = 0;

  // A connected window whose update check has offered the flash.
  void connectAndCheck(const QList<QByteArray>& pages, const SimFaults& faults = {}) {
    server_->setFile("changelog.txt", FirmwareFixture::changelog("2.0", {"new loops", "fixes"}).toStdString());
    server_->setFile("firmware.txt", FirmwareFixture::firmwareBody(pages).toStdString());
    QVERIFY(rig_->connectAndDownload());
    rig_->device().setFaults(faults);
    rig_->form->flasher().setReplyTimeout(400);
    QTest::mouseClick(rig_->button("Button6"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(rig_->button("Button7")->isEnabled(), kWaitMs);
    logBeforeFlash_ = static_cast<int>(rig_->logMessages().size());
  }
  QStringList flashLog() const { return rig_->logMessages().mid(logBeforeFlash_); }

 private Q_SLOTS:
  void init() {
    server_ = std::make_unique<UpdateServer>();
    QVERIFY(server_->start());
    rig_ = std::make_unique<WindowRig>(TarvikContents::fromSeed(2),
                                       QUrl(QString::fromStdString(server_->baseUrl())));
  }
  void cleanup() {
    rig_.reset();
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
    QTest::mouseClick(rig_->button("Button7"), Qt::LeftButton);
    QCOMPARE(rig_->dialogs.confirmations.size(), std::size_t{1});
    QCOMPARE(rig_->dialogs.confirmations[0].caption, QStringLiteral("Information"));
    QCOMPARE(rig_->dialogs.confirmations[0].text,
             QStringLiteral("Attention! \r\nDo not disconnect the power supply during the flash "
                            "procedure!!!!\r\n\r\nWant continue?"));
    QTRY_VERIFY_WITH_TIMEOUT(!rig_->form->flasher().running(), kWaitMs);

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
      QCOMPARE(QByteArray(reinterpret_cast<const char*>(held.data()), static_cast<int>(held.size())),
               pages[k]);
    }
    QCOMPARE(rig_->visibleTabs(), QStringList{QStringLiteral("TabSheet1")});
    QVERIFY(!BusyCursor::isBusy());
    QVERIFY(!rig_->button("Button7")->isEnabled());
    QVERIFY(rig_->button("Button1")->isEnabled());  // reply 17 leaves the connect button alone
  }

  void answeringNoSendsNothing() {
    connectAndCheck(FirmwareFixture::seededPages(2, 1));
    rig_->dialogs.confirmAnswer = false;
    const int commands = rig_->device().commandsReceived();
    server_->clearRequests();
    QTest::mouseClick(rig_->button("Button7"), Qt::LeftButton);
    QTest::qWait(50);
    QVERIFY(server_->requests().empty());
    QCOMPARE(rig_->device().commandsReceived(), commands);
    QVERIFY(rig_->button("Button7")->isEnabled());
    QVERIFY(flashLog().isEmpty());
  }

  void readBackMismatchLeavesTheBootloader() {
    SimFaults faults;
    faults.badReadbackPage = 3;
    connectAndCheck(FirmwareFixture::seededPages(8, 5), faults);
    QTest::mouseClick(rig_->button("Button7"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!rig_->form->flasher().running(), kWaitMs);
    const QStringList log = flashLog();
    QCOMPARE(log.mid(log.size() - 3),
             (QStringList{"Upload Flash Page 3 of 7", "verify failed! Programming canceled!",
                          "leave bootloader..."}));
    QVERIFY(rig_->device().flash().bootloaderLeft);
    QVERIFY(!rig_->device().flash().writtenToFlash);
    QVERIFY(rig_->button("Button7")->isEnabled());
    QVERIFY(!BusyCursor::isBusy());
  }

  void deviceThatFallsSilentMidFlashIsLeftInItsBootloaderNoLonger() {
    SimFaults faults;
    faults.stopAfterPages = 4;
    connectAndCheck(FirmwareFixture::seededPages(8, 6), faults);
    QTest::mouseClick(rig_->button("Button7"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!rig_->form->flasher().running(), kWaitMs);
    QCOMPARE(rig_->dialogs.errors.size(), std::size_t{1});
    QVERIFY(flashLog().contains(QStringLiteral("leave bootloader...")));
    QTRY_VERIFY(rig_->device().flash().bootloaderLeft);
    QVERIFY(!rig_->device().flash().writtenToFlash);
    QVERIFY(rig_->button("Button7")->isEnabled());
    QVERIFY(!BusyCursor::isBusy());
  }

  void pageReplyWhileEnteringTheBootloaderEndsThatWait() {
    SimFaults faults;
    faults.reply9ForBootloader = true;
    connectAndCheck(FirmwareFixture::seededPages(3, 8), faults);
    QTest::mouseClick(rig_->button("Button7"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!rig_->form->flasher().running(), kWaitMs);
    QCOMPARE(flashLog(), successfulFlashLog(3));
  }

  void nothingElseTalksToTheDeviceWhileFlashing() {
    SimFaults faults;
    faults.replyDelayMs = 20;
    connectAndCheck(FirmwareFixture::seededPages(6, 9), faults);
    QTest::mouseClick(rig_->button("Button7"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(flashLog().contains(QStringLiteral("ok")), kWaitMs);
    for (const char* name : {"Button1", "Button2", "Button3", "Button4", "Button5", "Button6",
                             "Button7"}) {
      QVERIFY2(!rig_->button(name)->isEnabled(), name);
    }
    const int commands = rig_->device().commandsReceived();
    rig_->form->Button1Click();  // even a direct call is refused
    QVERIFY(rig_->form->flasher().running());
    QTRY_VERIFY_WITH_TIMEOUT(!rig_->form->flasher().running(), kWaitMs);
    QVERIFY(rig_->device().commandsReceived() > commands);
    QCOMPARE(rig_->commandsNamed("Identify"), 7);
    QCOMPARE(flashLog(), successfulFlashLog(6));
  }
};

QTEST_MAIN(WindowFirmwareTest)
#include "test_window_firmware.moc"
