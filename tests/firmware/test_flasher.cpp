// SPDX-License-Identifier: MIT
// The flash against the simulated Tarvik's bootloader over the real link: what goes on the wire,
// what the device is left with, and how each way of failing ends the flash.
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <numeric>
#include <optional>

#include "FlashHarness.h"

using tarvik::Command;
using tarvik::FirmwareImage;
using tarvik::FlashEnd;
using tarvik::Flasher;
using tarvik::SimFaults;
using tarvik::fixtures::FirmwareFixture;
using tarvik::testing::FlashRig;
using tarvik::testing::imageOf;
using Bytes = std::vector<std::uint8_t>;

namespace {

int code(Command command) { return static_cast<int>(command); }

QStringList successLog(int pageCount) {
  QStringList log{"Entering bootloader", "ok"};
  for (int k = 0; k < pageCount; ++k) {
    log << QStringLiteral("Upload Flash Page %1 of %2").arg(k).arg(pageCount - 1) << "verify ok";
  }
  log << "write RAM to FLASH..."
      << "Firmware update successful! Reboot Tarvik...";
  return log;
}

QByteArray pageOf(const tarvik::FlashImage& flash, int page) {
  const auto& bytes = flash.pages.at(page);
  return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<qsizetype>(bytes.size()));
}

Bytes frame(std::uint8_t value) {
  return {0xF0, static_cast<std::uint8_t>(value >> 4), static_cast<std::uint8_t>(value & 0x0F),
          0xF7};
}

const QString kSendError =
    QStringLiteral("An unspecified error occurred in the in-memory MIDI service.");

}  // namespace

class TestFlasher : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void flashesWholeImage() {
    FlashRig rig;
    const QList<QByteArray> pages = FirmwareFixture::seededPages(96, 11);
    QSignalSpy running(&rig.flasher, &Flasher::runningChanged);

    const auto end = rig.flash(imageOf(pages));
    QVERIFY(end);
    QCOMPARE(end->how, FlashEnd::Flashed);
    QCOMPARE(end->detail, QString());

    QCOMPARE(rig.log, successLog(96));
    std::vector<int> expectedNumbers(96);
    std::iota(expectedNumbers.begin(), expectedNumbers.end(), 0);
    const auto& flash = rig.device().flash();
    QCOMPARE(flash.uploadOrder, expectedNumbers);
    QCOMPARE(flash.pages.size(), std::size_t{96});
    for (int k = 0; k < 96; ++k) {
      QCOMPARE(pageOf(flash, k), pages[k]);
    }
    QVERIFY(flash.bootloaderEntered);
    QVERIFY(flash.writtenToFlash);
    QVERIFY(!flash.bootloaderLeft);
    QCOMPARE(rig.count(Command::EnterBootloader), 1);
    QCOMPARE(rig.count(Command::WriteRamToFlash), 1);
    QCOMPARE(rig.device().ignoredInputs(), 0);
    // 2 frames to enter, 131 per page, 2 to write.
    QCOMPARE(rig.wire().size(), std::size_t{2 + 96 * 131 + 2});
    QCOMPARE(rig.progress.size(), 97);
    for (int k = 0; k <= 96; ++k) QCOMPARE(rig.progress[k], (QPair<int, int>{k, 96}));
    QVERIFY(!rig.flasher.running());
    QVERIFY(!rig.machine.flashOwnsLink());
    QCOMPARE(running.size(), 2);
    QCOMPARE(running.at(0).first().toBool(), true);
    QCOMPARE(running.at(1).first().toBool(), false);
  }

  // The command line opens the ports and flashes at once: EnterBootloader waits until the
  // ports carry data, or the bootloader would never hear it.
  void enteringTheBootloaderWaitsUntilThePortsCarry() {
    FlashRig rig;
    rig.sim.service().holdCarrying(true);
    QSignalSpy finished(&rig.flasher, &Flasher::finished);
    rig.flasher.start(imageOf(FirmwareFixture::seededPages(2, 3)));
    QVERIFY(rig.flasher.running());
    QVERIFY(rig.wire().empty());
    rig.sim.service().holdCarrying(false);
    rig.sim.service().releaseCarrying();
    QVERIFY(!finished.isEmpty() || finished.wait(tarvik::testing::kFlashWaitMs));
    QCOMPARE(finished.first().at(0).value<FlashEnd>(), FlashEnd::Flashed);
    QCOMPARE(rig.count(Command::EnterBootloader), 1);
  }

  void pageGoesOutAsNibbleFrames() {
    FlashRig rig;
    QList<QByteArray> pages = FirmwareFixture::seededPages(4, 5);
    pages[3][0] = 0x0C;
    const auto end = rig.flash(imageOf(pages));
    QVERIFY(end && end->how == FlashEnd::Flashed);

    const auto wire = rig.wire();
    const std::size_t page3 = 2 + 3 * 131;
    QCOMPARE(wire.at(page3), (Bytes{0xF0, 0x0F, 0x0F, 0xF7}));
    QCOMPARE(wire.at(page3 + 1), (Bytes{0xF0, 0x00, 0x09, 0xF7}));
    QCOMPARE(wire.at(page3 + 2), (Bytes{0xF0, 0x00, 0x03, 0xF7}));
    QCOMPARE(wire.at(page3 + 3), (Bytes{0xF0, 0x00, 0x0C, 0xF7}));
    for (int j = 1; j < 128; ++j) {
      QCOMPARE(wire.at(page3 + 3 + static_cast<std::size_t>(j)),
               frame(static_cast<std::uint8_t>(pages[3][j])));
    }
  }

  // The download checks the file (test_firmware_download); an image it refused never reaches
  // the device.
  void refusedImageSendsNothing_data() {
    QTest::addColumn<QByteArray>("body");
    const QList<QByteArray> lines = FirmwareFixture::pageLines(FirmwareFixture::seededPages(3, 9));
    FirmwareFixture::Options crlf;
    crlf.lineEnds = FirmwareFixture::LineEnds::CrLf;
    QTest::newRow("digest mismatch") << FirmwareFixture::firmwareText(lines, crlf);
    QTest::newRow("empty body") << QByteArray();
    QTest::newRow("257 pages") << FirmwareFixture::firmwareBody(
        FirmwareFixture::seededPages(257, 2));
    QList<QByteArray> badHex = lines;
    badHex[2][100] = 'x';
    QTest::newRow("bad hex") << FirmwareFixture::firmwareText(badHex);
  }
  void refusedImageSendsNothing() {
    QFETCH(QByteArray, body);
    FlashRig rig;
    const FirmwareImage image = FirmwareImage::fromBody(body);
    QVERIFY(!image.ok());
    QSignalSpy running(&rig.flasher, &Flasher::runningChanged);
    QSignalSpy finished(&rig.flasher, &Flasher::finished);
    rig.flasher.start(image);
    QVERIFY(!rig.flasher.running());
    QVERIFY(rig.wire().empty());
    QVERIFY(rig.log.isEmpty());
    QVERIFY(running.isEmpty());
    QVERIFY(finished.isEmpty());
  }

  void runningChainKeepsTheFlashAway() {
    FlashRig rig;
    rig.setFaults([](SimFaults& f) { f.silent = true; });
    QVERIFY(rig.machine.startSubmitConfig());
    const std::size_t sent = rig.wire().size();
    rig.flasher.start(imageOf(FirmwareFixture::seededPages(2, 1)));
    QVERIFY(!rig.flasher.running());
    QCOMPARE(rig.wire().size(), sent);
  }

  void abortsOnReadBackMismatch_data() {
    QTest::addColumn<int>("badPage");
    QTest::newRow("first page") << 0;
    QTest::newRow("middle page") << 5;
    QTest::newRow("last page") << 9;
  }
  void abortsOnReadBackMismatch() {
    QFETCH(int, badPage);
    FlashRig rig;
    rig.setFaults([badPage](SimFaults& f) { f.badReadbackPage = badPage; });
    const auto end = rig.flash(imageOf(FirmwareFixture::seededPages(10, 4)));
    QVERIFY(end);
    QCOMPARE(end->how, FlashEnd::VerifyFailed);
    QCOMPARE(end->detail, QString());

    QStringList expected{"Entering bootloader", "ok"};
    for (int k = 0; k < badPage; ++k) {
      expected << QStringLiteral("Upload Flash Page %1 of 9").arg(k) << "verify ok";
    }
    // The page goes out three times (the default retries) before the flash is given up.
    expected
        << QStringLiteral("Upload Flash Page %1 of 9").arg(badPage)
        << QStringLiteral("flash page %1 of 10 read back different, try 2 of 3").arg(badPage + 1)
        << QStringLiteral("flash page %1 of 10 read back different, try 3 of 3").arg(badPage + 1)
        << "verify failed! Programming canceled!"
        << "leave bootloader...";
    QCOMPARE(rig.log, expected);
    std::vector<int> commands{code(Command::EnterBootloader)};
    commands.insert(commands.end(), static_cast<std::size_t>(badPage + 3),
                    code(Command::UploadFlashPage));
    commands.push_back(code(Command::LeaveBootloader));
    QCOMPARE(rig.commands(), commands);
    QVERIFY(rig.device().flash().bootloaderLeft);
    QVERIFY(!rig.device().flash().writtenToFlash);
    QVERIFY(!rig.flasher.running());
    QVERIFY(!rig.machine.flashOwnsLink());
  }

  // The reply time-out is shortened only for the wait the device leaves unanswered: a short one
  // on the answered waits before it could beat a reply on a busy machine.
  void silentDeviceTimesOut_data() {
    QTest::addColumn<bool>("silentOnEnter");
    QTest::addColumn<int>("stopAfterPages");
    QTest::addColumn<QString>("silentWaitLine");  // logged just before the unanswered command
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("uploads");
    QTest::newRow("while entering bootloader")
        << true << -1 << "Entering bootloader"
        << "no reply from Tarvik while entering bootloader - programming canceled" << 0;
    QTest::newRow("mid-flash")
        << false << 7 << "Upload Flash Page 7 of 11"
        << "no reply from Tarvik while uploading flash page 8 of 12 - programming canceled" << 10;
  }
  void silentDeviceTimesOut() {
    QFETCH(bool, silentOnEnter);
    QFETCH(int, stopAfterPages);
    QFETCH(QString, silentWaitLine);
    QFETCH(QString, line);
    QFETCH(int, uploads);
    FlashRig rig;
    rig.setFaults([&](SimFaults& f) {
      if (silentOnEnter) f.answerFirst = 0;
      f.stopAfterPages = stopAfterPages;
    });
    rig.onLog = [&](const QString& logged) {
      if (logged == silentWaitLine) rig.flasher.setReplyTimeout(200);
    };
    const auto end = rig.flash(imageOf(FirmwareFixture::seededPages(12, 4)));
    QVERIFY(end);
    QCOMPARE(end->how, FlashEnd::NoReply);
    QCOMPARE(end->detail, line);

    QCOMPARE(rig.log.mid(rig.log.size() - 2), (QStringList{line, "leave bootloader..."}));
    // Each unanswered command went out three times (the default retries).
    QCOMPARE(rig.log.filter(QLatin1String(": no reply, try ")).size(), 2);
    QCOMPARE(int(rig.device().flash().uploadOrder.size()), uploads);
    QCOMPARE(rig.commands().back(), code(Command::LeaveBootloader));
    QCOMPARE(rig.count(Command::WriteRamToFlash), 0);
    QVERIFY(rig.device().flash().bootloaderLeft);
  }

  // The user gives up (tarvik-cli's Ctrl+C): the bootloader is told to leave, except while the
  // device writes its flash, which must not be cut off.
  void cancelLeavesBootloaderUnlessWriting_data() {
    QTest::addColumn<QString>("cancelAfter");  // the line logged just before the command
    QTest::addColumn<bool>("canceled");
    QTest::newRow("entering bootloader") << "Entering bootloader" << true;
    QTest::newRow("uploading a page") << "Upload Flash Page 3 of 11" << true;
    QTest::newRow("writing flash") << "write RAM to FLASH..." << false;
  }
  void cancelLeavesBootloaderUnlessWriting() {
    QFETCH(QString, cancelAfter);
    QFETCH(bool, canceled);
    FlashRig rig;
    // The device stays silent after the command, so the cancel meets the flash waiting for it.
    rig.setFaults([&](SimFaults& f) {
      if (cancelAfter == QStringLiteral("Entering bootloader")) f.answerFirst = 0;
      if (cancelAfter.startsWith(QStringLiteral("Upload"))) f.stopAfterPages = 3;
      f.silentOnWrite = true;
    });
    std::optional<bool> accepted;
    rig.onLog = [&](const QString& logged) {
      if (logged != cancelAfter) return;
      // Once the command has gone out.
      QTimer::singleShot(0, &rig.context, [&] { accepted = rig.flasher.cancel(); });
    };
    // Nothing else can come first: the device never confirms the write.
    rig.flasher.setWriteTimeout(200);
    const auto end = rig.flash(imageOf(FirmwareFixture::seededPages(12, 4)));
    QVERIFY(end);
    QCOMPARE(accepted, std::optional<bool>(canceled));
    QCOMPARE(end->how, canceled ? FlashEnd::Canceled : FlashEnd::WriteUnconfirmed);
    QCOMPARE(rig.count(Command::LeaveBootloader), canceled ? 1 : 0);
    if (canceled) QCOMPARE(rig.log.last(), QStringLiteral("leave bootloader..."));
    QVERIFY(!rig.flasher.running());
    QVERIFY(!rig.flasher.cancel());
  }

  void sendFailureLeavesBootloader_data() {
    QTest::addColumn<int>("failingByte");  // 0-based, over the whole flash
    QTest::newRow("marker of EnterBootloader") << 0;
    QTest::newRow("inside page 2") << 2 + 2 * 131 + 40;
  }
  void sendFailureLeavesBootloader() {
    QFETCH(int, failingByte);
    FlashRig rig;
    rig.sim.service().failCall("outLongMsg", failingByte, tarvik::MidiResult::Error);
    const auto end = rig.flash(imageOf(FirmwareFixture::seededPages(5, 4)));
    QVERIFY(end);
    QCOMPARE(end->how, FlashEnd::SendFailed);
    QCOMPARE(end->detail, kSendError);

    QCOMPARE(rig.log.mid(rig.log.size() - 2),
             (QStringList{"programming canceled: " + kSendError, "leave bootloader..."}));
    // Everything before the failing byte, then LeaveBootloader whole.
    const auto wire = rig.wire();
    QCOMPARE(int(wire.size()), failingByte + 2);
    QCOMPARE(wire[wire.size() - 2], frame(tarvik::kCommandMarker));
    QCOMPARE(wire.back(), frame(static_cast<std::uint8_t>(Command::LeaveBootloader)));
    QCOMPARE(rig.count(Command::WriteRamToFlash), 0);
    QVERIFY(!rig.flasher.running());
  }

  void pageReplyEndsBootloaderEntry() {
    FlashRig rig;
    rig.setFaults([](SimFaults& f) { f.reply9ForBootloader = true; });
    const auto end = rig.flash(imageOf(FirmwareFixture::seededPages(3, 8)));
    QVERIFY(end);
    QCOMPARE(end->how, FlashEnd::Flashed);
    QCOMPARE(rig.log, successLog(3));
  }

  void longPageLineVerifies() {
    const QList<QByteArray> pages = FirmwareFixture::seededPages(2, 6);
    QList<QByteArray> lines = FirmwareFixture::pageLines(pages);
    lines[0] += "Z";
    lines[1] += "0";
    FlashRig rig;
    const auto end = rig.flash(FirmwareImage::fromBody(FirmwareFixture::firmwareText(lines)));
    QVERIFY(end);
    QCOMPARE(end->how, FlashEnd::Flashed);
    QCOMPARE(rig.log, successLog(2));
    QCOMPARE(pageOf(rig.device().flash(), 0), pages[0]);
    QCOMPARE(pageOf(rig.device().flash(), 1), pages[1]);
    QCOMPARE(rig.wire().size(), std::size_t{2 + 2 * 131 + 2});
  }

  void unconfirmedWriteGivesUp() {
    FlashRig rig;
    rig.setFaults([](SimFaults& f) { f.silentOnWrite = true; });
    // Nothing else can come first: the device never confirms the write.
    rig.flasher.setWriteTimeout(200);
    const auto end = rig.flash(imageOf(FirmwareFixture::seededPages(2, 3)));
    QVERIFY(end);
    QCOMPARE(end->how, FlashEnd::WriteUnconfirmed);
    const QString text = QStringLiteral(
        "no confirmation from Tarvik after write RAM to FLASH - reboot Tarvik and check its "
        "firmware version");
    QCOMPARE(end->detail, text);
    QCOMPARE(rig.log.last(), text);
    // The device may still be writing: it is not told to leave its bootloader.
    QCOMPARE(rig.count(Command::LeaveBootloader), 0);
    QCOMPARE(rig.commands().back(), code(Command::WriteRamToFlash));
    QVERIFY(!rig.flasher.running());
  }

  void showsProgressWhileUploading() {
    FlashRig rig;
    rig.setFaults([](SimFaults& f) { f.stopAfterPages = 3; });
    const FirmwareImage image = imageOf(FirmwareFixture::seededPages(4, 3));
    QSignalSpy running(&rig.flasher, &Flasher::runningChanged);
    rig.flasher.start(image);
    QVERIFY(QTest::qWaitFor([&] { return rig.device().flash().uploadOrder.size() == 4; },
                            tarvik::testing::kFlashWaitMs));
    QVERIFY(rig.flasher.running());
    QCOMPARE(rig.flasher.stage(), Flasher::Stage::UploadingPage);
    QCOMPARE(rig.progress.last(), (QPair<int, int>{3, 4}));
    // The flash owns the link: no chain starts meanwhile.
    QVERIFY(rig.machine.flashOwnsLink());
    QVERIFY(!rig.machine.startConnect());
    // A second start while running changes nothing.
    const std::size_t sent = rig.wire().size();
    rig.flasher.start(image);
    QCOMPARE(rig.wire().size(), sent);
    QCOMPARE(running.size(), 1);
  }

  void lostPortEndsTheFlashWithoutLeaving() {
    FlashRig rig;
    rig.setFaults([](SimFaults& f) { f.stopAfterPages = 1; });
    QSignalSpy finished(&rig.flasher, &Flasher::finished);
    rig.flasher.start(imageOf(FirmwareFixture::seededPages(3, 2)));
    QVERIFY(QTest::qWaitFor([&] { return rig.device().flash().uploadOrder.size() == 2; },
                            tarvik::testing::kFlashWaitMs));
    const std::size_t sent = rig.wire().size();
    rig.flasher.abortForLostPort(QStringLiteral("Tarvik MIDI"));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().at(0).value<FlashEnd>(), FlashEnd::PortGone);
    QCOMPARE(finished.first().at(1).toString(), QStringLiteral("Tarvik MIDI"));
    QCOMPARE(rig.log.mid(rig.log.size() - 2),
             (QStringList{"MIDI port Tarvik MIDI vanished - programming canceled",
                          "Tarvik may still be in its bootloader: connect again and flash the "
                          "firmware once more"}));
    // The port is gone, so nothing more is sent; the link is free for a new connect.
    QCOMPARE(rig.wire().size(), sent);
    QVERIFY(!rig.machine.flashOwnsLink());
  }
};

QTEST_GUILESS_MAIN(TestFlasher)
#include "test_flasher.moc"
