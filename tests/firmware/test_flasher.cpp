// SPDX-License-Identifier: MIT
#include "RequestFailureRows.h"
#include <QSignalSpy>
#include <QTest>
#include <numeric>

#include "FlashHarness.h"
#include "sim/fixtures/FirmwareFixture.h"

using tarvik::Command;
using tarvik::Flasher;
using tarvik::fixtures::FirmwareFixture;
using tarvik::fixtures::UpdateServer;
using tarvik::testing::FlashRig;
using tarvik::testing::kApplicationCaption;

namespace {

constexpr int kWaitMs = 20000;

std::uint8_t code(Command command) { return static_cast<std::uint8_t>(command); }

QStringList successLog(int pageCount) {
  QStringList log{"Entering bootloader", "ok"};
  for (int k = 0; k < pageCount; ++k) {
    log << QStringLiteral("Upload Flash Page %1 of %2").arg(k).arg(pageCount - 1) << "verify ok";
  }
  log << "write RAM to FLASH..."
      << "Firmware update successful! Reboot Tarvik..."
      << ""
      << "";
  return log;
}

// Runs one flash to its end and returns whether it reported success.
bool runFlash(FlashRig& rig) {
  QSignalSpy finished(rig.flasher.get(), &Flasher::finished);
  rig.flasher->start();
  if (!finished.wait(kWaitMs)) {
    return false;
  }
  return finished.first().first().toBool();
}

std::vector<std::uint8_t> commandsOf(const QList<Command>& commands) {
  std::vector<std::uint8_t> bytes;
  for (Command command : commands) {
    bytes.push_back(code(command));
  }
  return bytes;
}

}  // namespace

class TestFlasher : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void flashesWholeImage() {
    FlashRig rig;
    const QList<QByteArray> pages = FirmwareFixture::seededPages(96, 11);
    rig.serveFirmware(FirmwareFixture::firmwareBody(pages));
    QSignalSpy running(rig.flasher.get(), &Flasher::runningChanged);
    // As an update check that ends during the flash does; the flash's own decision comes later.
    rig.window.onLog = [&](const QString& line) {
      if (line == QLatin1String("write RAM to FLASH...")) rig.window.flashButtonEnabled = true;
    };

    QVERIFY(runFlash(rig));

    QCOMPARE(rig.window.log, successLog(96));
    std::vector<int> expectedNumbers(96);
    std::iota(expectedNumbers.begin(), expectedNumbers.end(), 0);
    QCOMPARE(rig.device.uploadedPageNumbers(), expectedNumbers);
    QCOMPARE(rig.device.pages().size(), std::size_t{96});
    for (int k = 0; k < 96; ++k) {
      QCOMPARE(rig.device.pages().at(k), pages[k]);
    }
    QCOMPARE(rig.device.count(Command::EnterBootloader), 1);
    QCOMPARE(rig.device.count(Command::WriteRamToFlash), 1);
    QCOMPARE(rig.device.count(Command::LeaveBootloader), 0);
    // 2 frames to enter, 131 per page, 2 to write.
    QCOMPARE(rig.device.frames().size(), std::size_t{2 + 96 * 131 + 2});
    QVERIFY(rig.window.errors.isEmpty());
    QVERIFY(!rig.window.flashButtonEnabled);  // stays off after a flash
    QVERIFY(!rig.window.busy);                // restored by reply 17
    QVERIFY(!rig.window.progressVisible);
    QVERIFY(!rig.flasher->running());
    QCOMPARE(running.size(), 2);
    QCOMPARE(running.at(0).first().toBool(), true);
    QCOMPARE(running.at(1).first().toBool(), false);
  }

  void pageGoesOutAsNibbleFrames() {
    FlashRig rig;
    QList<QByteArray> pages = FirmwareFixture::seededPages(4, 5);
    pages[3][0] = 0x0C;
    rig.serveFirmware(FirmwareFixture::firmwareBody(pages));
    QVERIFY(runFlash(rig));

    using Frame = tarvik::fixtures::FakeBootloader::Frame;
    const auto& frames = rig.device.frames();
    const std::size_t page3 = 2 + 3 * 131;
    QCOMPARE(frames.at(page3), (Frame{0xF0, 0x0F, 0x0F, 0xF7}));
    QCOMPARE(frames.at(page3 + 1), (Frame{0xF0, 0x00, 0x09, 0xF7}));
    QCOMPARE(frames.at(page3 + 2), (Frame{0xF0, 0x00, 0x03, 0xF7}));
    QCOMPARE(frames.at(page3 + 3), (Frame{0xF0, 0x00, 0x0C, 0xF7}));
    for (int j = 1; j < 128; ++j) {
      const auto value = static_cast<std::uint8_t>(pages[3][j]);
      QCOMPARE(frames.at(page3 + 3 + static_cast<std::size_t>(j)),
               (Frame{0xF0, static_cast<std::uint8_t>(value >> 4),
                      static_cast<std::uint8_t>(value & 0x0F), 0xF7}));
    }
  }

  void refusesBeforeSending_data() {
    // A bad download has its own box; every other refusal is an error that ends the click and is
    // reported as the window reports those.
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("errorText");
    const QString app = kApplicationCaption;
    using Options = FirmwareFixture::Options;
    const QList<QByteArray> lines = FirmwareFixture::pageLines(FirmwareFixture::seededPages(3, 9));
    Options crlf;
    crlf.lineEnds = FirmwareFixture::LineEnds::CrLf;
    Options lower;
    lower.digestCase = FirmwareFixture::DigestCase::Lower;
    Options trailingEmpty;
    trailingEmpty.emptyLineAfterDigest = true;
    QTest::newRow("CR LF line ends") << FirmwareFixture::firmwareText(lines, crlf) << "Error"
                                     << "Download failed!";
    QTest::newRow("lower-case digest") << FirmwareFixture::firmwareText(lines, lower) << "Error"
                                       << "Download failed!";
    QTest::newRow("empty line after digest")
        << FirmwareFixture::firmwareText(lines, trailingEmpty) << "Error"
        << "Download failed!";
    QTest::newRow("empty body") << QByteArray() << app
                                << "Firmware file rejected: the file is empty";
    QTest::newRow("no page") << FirmwareFixture::firmwareText({}) << app
                             << "Firmware file rejected: it holds no flash page";
    QTest::newRow("257 pages")
        << FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(257, 2)) << app
        << "Firmware file rejected: it holds 257 flash pages, at most 256 fit";
    QList<QByteArray> badHex = lines;
    badHex[2][100] = 'x';
    QTest::newRow("bad hex") << FirmwareFixture::firmwareText(badHex) << app
                             << "Firmware file rejected: page 2 is not 256 upper-case "
                                "hexadecimal digits";
    QList<QByteArray> lowerPage = lines;
    lowerPage[1] = lowerPage[1].toLower();
    QTest::newRow("lower-case page")
        << FirmwareFixture::firmwareText(lowerPage) << app
        << "Firmware file rejected: page 1 is not 256 upper-case hexadecimal digits";
  }
  void refusesBeforeSending() {
    QFETCH(QByteArray, body);
    QFETCH(QString, caption);
    QFETCH(QString, errorText);
    FlashRig rig;
    rig.serveFirmware(body);
    QVERIFY(!runFlash(rig));
    QCOMPARE(rig.window.errors, (QList<QPair<QString, QString>>{{caption, errorText}}));
    QVERIFY(rig.device.frames().empty());
    QVERIFY(rig.window.log.isEmpty());
    QVERIFY(rig.window.flashButtonEnabled);
    QVERIFY(!rig.window.busy);
    QVERIFY(!rig.flasher->running());
  }

  void reportsDownloadFailure_data() { tarvik::testing::addRequestFailureRows(); }

  void reportsDownloadFailure() {
    QFETCH(int, mode);
    QFETCH(bool, stopServer);
    QFETCH(int, timeoutMs);
    QFETCH(QString, textPart);
    FlashRig rig;
    rig.serveFirmware(FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(2, 1)));
    rig.server.setMode(static_cast<UpdateServer::Mode>(mode));
    if (stopServer) {
      rig.server.stop();
    }
    rig.flasher->setRequestTimeout(timeoutMs);
    QVERIFY(!runFlash(rig));
    QCOMPARE(rig.window.errors.size(), 1);
    QCOMPARE(rig.window.errors[0].first, kApplicationCaption);
    QVERIFY2(rig.window.errors[0].second.contains(textPart, Qt::CaseInsensitive),
             qPrintable(rig.window.errors[0].second));
    for (const auto& request : rig.server.requests()) {
      QCOMPARE_NE(request.path, std::string(UpdateServer::kMovedPage));
    }
    QVERIFY(rig.device.frames().empty());
    QVERIFY(rig.window.flashButtonEnabled);
    QVERIFY(!rig.window.busy);
  }

  void sendsUpdateServerHeaders() {
    FlashRig rig;
    rig.serveFirmware(FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(1, 1)));
    QVERIFY(runFlash(rig));
    const auto requests = rig.server.requests();
    QCOMPARE(requests.size(), std::size_t{1});
    QCOMPARE(requests[0].path, std::string("/downloads/tarvik/firmware.txt"));
    QCOMPARE(requests[0].header("User-Agent"),
             std::string("Mozilla/3.0 (compatible; Indy Library)"));
    QCOMPARE(requests[0].header("Accept"), std::string("text/html, */*"));
    QCOMPARE(requests[0].header("Content-Type"), std::string("text/html"));
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
    rig.serveFirmware(FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(10, 4)));
    rig.device.setCorruptReadBack(badPage);
    QVERIFY(!runFlash(rig));

    QStringList expected{"Entering bootloader", "ok"};
    for (int k = 0; k < badPage; ++k) {
      expected << QStringLiteral("Upload Flash Page %1 of 9").arg(k) << "verify ok";
    }
    expected << QStringLiteral("Upload Flash Page %1 of 9").arg(badPage)
             << "verify failed! Programming canceled!"
             << "leave bootloader...";
    QCOMPARE(rig.window.log, expected);
    std::vector<std::uint8_t> commands = commandsOf({Command::EnterBootloader});
    commands.insert(commands.end(), static_cast<std::size_t>(badPage + 1),
                    code(Command::UploadFlashPage));
    commands.push_back(code(Command::LeaveBootloader));
    QCOMPARE(rig.device.commands(), commands);
    QCOMPARE(rig.device.count(Command::WriteRamToFlash), 0);
    QVERIFY(rig.window.errors.isEmpty());
    QVERIFY(rig.window.flashButtonEnabled);
    QVERIFY(!rig.window.busy);
    QVERIFY(!rig.window.progressVisible);
  }

  // The reply time-out is shortened only for the wait the device leaves unanswered: a short one
  // on the answered waits before it could beat a reply on a busy machine.
  void silentDeviceTimesOut_data() {
    QTest::addColumn<bool>("silentOnEnter");
    QTest::addColumn<int>("silentFromUpload");
    QTest::addColumn<QString>("silentWaitLine");  // logged just before the unanswered command
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("uploads");
    QTest::newRow("while entering bootloader")
        << true << -1 << "Entering bootloader"
        << "no reply from Tarvik while entering bootloader - programming canceled" << 0;
    QTest::newRow("mid-flash")
        << false << 7 << "Upload Flash Page 7 of 11"
        << "no reply from Tarvik while uploading flash page 7 - programming canceled" << 8;
  }
  void silentDeviceTimesOut() {
    QFETCH(bool, silentOnEnter);
    QFETCH(int, silentFromUpload);
    QFETCH(QString, silentWaitLine);
    QFETCH(QString, line);
    QFETCH(int, uploads);
    FlashRig rig;
    rig.serveFirmware(FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(12, 4)));
    rig.device.setSilentOnEnter(silentOnEnter);
    rig.device.setSilentFromUpload(silentFromUpload);
    rig.window.onLog = [&](const QString& logged) {
      if (logged == silentWaitLine) rig.flasher->setReplyTimeout(200);
    };
    QVERIFY(!runFlash(rig));

    QCOMPARE(rig.window.log.mid(rig.window.log.size() - 2),
             (QStringList{line, "leave bootloader..."}));
    QCOMPARE(rig.device.count(Command::UploadFlashPage), uploads);
    QCOMPARE(rig.device.commands().back(), code(Command::LeaveBootloader));
    QCOMPARE(rig.device.count(Command::WriteRamToFlash), 0);
    QVERIFY(!rig.device.inBootloader());
    QCOMPARE(rig.window.errors, (QList<QPair<QString, QString>>{{"Timeout!", line}}));
    QVERIFY(rig.window.flashButtonEnabled);
    QVERIFY(!rig.window.busy);
  }

  void sendFailureLeavesBootloader_data() {
    QTest::addColumn<int>("failingByte");
    QTest::newRow("marker of EnterBootloader") << 0;
    QTest::newRow("inside page 2") << 2 + 2 * 131 + 40;
  }
  void sendFailureLeavesBootloader() {
    QFETCH(int, failingByte);
    FlashRig rig;
    rig.serveFirmware(FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(5, 4)));
    rig.device.setFailOnByte(failingByte);
    QVERIFY(!runFlash(rig));

    const QString error = QStringLiteral("MidiOut: simulated send failure");
    QCOMPARE(rig.window.log.mid(rig.window.log.size() - 2),
             (QStringList{"programming canceled: " + error, "leave bootloader..."}));
    QCOMPARE(rig.window.errors, (QList<QPair<QString, QString>>{{kApplicationCaption, error}}));
    const auto& bytes = rig.device.bytes();
    QVERIFY(bytes.size() >= 2);
    QCOMPARE(bytes[bytes.size() - 2], tarvik::kCommandMarker);
    QCOMPARE(bytes.back(), code(Command::LeaveBootloader));
    QCOMPARE(rig.device.count(Command::WriteRamToFlash), 0);
    QVERIFY(rig.window.flashButtonEnabled);
    QVERIFY(!rig.window.busy);
  }

  void pageReplyEndsBootloaderEntry() {
    FlashRig rig;
    rig.serveFirmware(FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(3, 8)));
    rig.device.setAnswerEnterWithPageReply(true);
    QVERIFY(runFlash(rig));
    QCOMPARE(rig.window.log, successLog(3));
  }

  void longPageLineVerifies() {
    const QList<QByteArray> pages = FirmwareFixture::seededPages(2, 6);
    QList<QByteArray> lines = FirmwareFixture::pageLines(pages);
    lines[0] += "Z";
    lines[1] += "0";
    FlashRig rig;
    rig.serveFirmware(FirmwareFixture::firmwareText(lines));
    QVERIFY(runFlash(rig));
    QCOMPARE(rig.window.log, successLog(2));
    QCOMPARE(rig.device.pages().at(0), pages[0]);
    QCOMPARE(rig.device.pages().at(1), pages[1]);
    QCOMPARE(rig.device.frames().size(), std::size_t{2 + 2 * 131 + 2});
  }

  void unconfirmedWriteGivesUp() {
    FlashRig rig;
    rig.serveFirmware(FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(2, 3)));
    rig.device.setSilentOnWrite(true);
    rig.flasher->setWriteTimeout(200);
    QVERIFY(!runFlash(rig));
    QCOMPARE(rig.window.log.last(),
             QStringLiteral("no confirmation from Tarvik after write RAM to FLASH - reboot Tarvik "
                            "and check its firmware version"));
    // The device may still be writing: it is not told to leave its bootloader.
    QCOMPARE(rig.device.count(Command::LeaveBootloader), 0);
    QCOMPARE(rig.window.errors.size(), 1);
    QCOMPARE(rig.window.errors[0].first, QStringLiteral("Timeout!"));
    QVERIFY(rig.window.flashButtonEnabled);
    QVERIFY(!rig.window.busy);
  }

  void showsProgressWhileUploading() {
    FlashRig rig;
    rig.serveFirmware(FirmwareFixture::firmwareBody(FirmwareFixture::seededPages(4, 3)));
    rig.device.setSilentFromUpload(3);
    rig.flasher->start();
    QTRY_COMPARE_WITH_TIMEOUT(rig.device.count(Command::UploadFlashPage), 4, kWaitMs);
    QVERIFY(rig.flasher->running());
    QVERIFY(rig.window.busy);
    QVERIFY(!rig.window.flashButtonEnabled);
    QVERIFY(rig.window.progressVisible);
    QCOMPARE(rig.window.progressPage, 3);
    QCOMPARE(rig.window.progressCount, 4);
    // A second start while running changes nothing.
    rig.flasher->start();
    QCOMPARE(rig.server.requests().size(), std::size_t{1});
  }
};

QTEST_GUILESS_MAIN(TestFlasher)
#include "test_flasher.moc"
