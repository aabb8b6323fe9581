// SPDX-License-Identifier: MIT
// The bootloader's replies as the flash takes them: frames handed in as the link hands them,
// log lines, commands and the end coming out. No device answers here; each test plays the
// bootloader itself, so every reply comes exactly when the test says.
#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <functional>

#include "config/Configuration.h"
#include "firmware/FirmwareImage.h"
#include "firmware/Flasher.h"
#include "link/Framing.h"
#include "link/TransferMachine.h"
#include "sim/fixtures/FirmwareFixture.h"

using namespace tarvik;
using tarvik::fixtures::FirmwareFixture;
using Bytes = std::vector<std::uint8_t>;

Q_DECLARE_METATYPE(Bytes)

namespace {

Bytes itemsOf(const QByteArray& page) { return Bytes(page.begin(), page.end()); }

// Collects the bytes for the device and cuts them into commands by the catalogue's lengths.
class Wire : public LinkPort {
 public:
  struct Sent {
    std::uint8_t command;
    Bytes payload;
  };
  std::vector<Sent> commands;
  // Called once a command has gone out whole, before SendByte returns.
  std::function<void(const Sent&)> onCommand;

  void SendByte(std::uint8_t value) override {
    if (expected_ == kMarkerDue) {
      if (value == kCommandMarker) expected_ = kCommandDue;  // a byte out of place is dropped
      return;
    }
    if (expected_ == kCommandDue) {
      commands.push_back({value, {}});
      expected_ = payloadLength(static_cast<Command>(value));
    } else {
      commands.back().payload.push_back(value);
      --expected_;
    }
    if (expected_ == 0) {
      expected_ = kMarkerDue;
      if (onCommand) onCommand(commands.back());
    }
  }

 private:
  static constexpr int kMarkerDue = -1;
  static constexpr int kCommandDue = -2;
  int expected_ = kMarkerDue;  // else the payload bytes still due
};

// The flash and the machine over the wire, as the program wires them, with everything the
// flash reports in one list: "log:<line>", "running:on", "progress:1/2", "finished:<end>",
// "flashWritten".
struct ReplyRig {
  Wire wire;
  Configuration configuration;
  TransferMachine machine{wire, configuration};
  Flasher flasher{wire, machine};
  QStringList events;
  QList<QByteArray> pages = FirmwareFixture::seededPages(2, 7);

  ReplyRig() {
    // One try: each reply decides at once (the tries are the flash's own test).
    flasher.setCare({0, 0});
    flasher.setReplyTimeout(60000);
    flasher.setWriteTimeout(60000);
    QObject::connect(&flasher, &Flasher::logLine, &flasher,
                     [this](const QString& line) { events << QStringLiteral("log:") + line; });
    QObject::connect(&flasher, &Flasher::runningChanged, &flasher, [this](bool running) {
      events << (running ? QStringLiteral("running:on") : QStringLiteral("running:off"));
    });
    QObject::connect(&flasher, &Flasher::progress, &flasher, [this](int done, int count) {
      events << QStringLiteral("progress:%1/%2").arg(done).arg(count);
    });
    QObject::connect(&flasher, &Flasher::finished, &flasher, [this](FlashEnd end) {
      events << QStringLiteral("finished:%1").arg(static_cast<int>(end));
    });
    QObject::connect(&flasher, &Flasher::flashWritten, &flasher,
                     [this] { events << QStringLiteral("flashWritten"); });
  }

  FirmwareImage image() const {
    return FirmwareImage::fromBody(FirmwareFixture::firmwareBody(pages));
  }
  void reply(const Bytes& frame) { flasher.receiveFrame(0, frame); }
  void enter() { reply({0xF0, 0x08, 0xF7}); }
  void readBack(int page) { reply(buildReplyFrame(9, itemsOf(pages[page]))); }
  std::vector<int> codes() const {
    std::vector<int> codes;
    for (const auto& sent : wire.commands) codes.push_back(sent.command);
    return codes;
  }
};

QString finishedWith(FlashEnd end) {
  return QStringLiteral("finished:%1").arg(static_cast<int>(end));
}

}  // namespace

class FlashRepliesTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  // The read-back is compared byte for byte with the page that went out; only an equal page
  // goes on to the next one.
  void readBackDecidesTheVerification_data() {
    QTest::addColumn<int>("itemCount");
    QTest::addColumn<int>("changedItem");  // -1: none
    QTest::addColumn<bool>("verified");
    QTest::newRow("the page as sent") << 128 << -1 << true;
    QTest::newRow("longer than a page, the page first") << 130 << -1 << true;
    QTest::newRow("last byte differs") << 128 << 127 << false;
    QTest::newRow("a middle byte differs") << 128 << 64 << false;
    QTest::newRow("cut short") << 100 << -1 << false;
    QTest::newRow("no item") << 0 << -1 << false;
  }
  void readBackDecidesTheVerification() {
    QFETCH(int, itemCount);
    QFETCH(int, changedItem);
    QFETCH(bool, verified);
    ReplyRig rig;
    rig.flasher.start(rig.image());
    rig.enter();
    Bytes items = itemsOf(rig.pages[0]);
    items.resize(static_cast<std::size_t>(itemCount), 0x5A);
    if (changedItem >= 0) items[static_cast<std::size_t>(changedItem)] ^= 0x10;
    rig.events.clear();
    rig.reply(buildReplyFrame(9, items));

    if (verified) {
      QCOMPARE(rig.events,
               (QStringList{"log:verify ok", "progress:1/2", "log:Upload Flash Page 1 of 1"}));
      QCOMPARE(rig.codes(), (std::vector<int>{8, 9, 9}));
      return;
    }
    QCOMPARE(rig.events,
             (QStringList{"log:verify failed! Programming canceled!", "log:leave bootloader...",
                          "running:off", finishedWith(FlashEnd::VerifyFailed)}));
    QCOMPARE(rig.codes(), (std::vector<int>{8, 9, 16}));
    QVERIFY(!rig.machine.flashOwnsLink());
  }

  // Replies 8 and 9 both end a wait, whichever the flash sent for: an acknowledgement that ends
  // a page's wait leaves the read-back that came last to be compared.
  void eitherReplyEndsAWait_data() {
    QTest::addColumn<bool>("sameSecondPage");
    QTest::addColumn<bool>("verified");
    QTest::newRow("last read-back is another page") << false << false;
    QTest::newRow("last read-back equals this page") << true << true;
  }
  void eitherReplyEndsAWait() {
    QFETCH(bool, sameSecondPage);
    QFETCH(bool, verified);
    ReplyRig rig;
    if (sameSecondPage) rig.pages[1] = rig.pages[0];
    rig.flasher.start(rig.image());
    rig.readBack(1);  // a read-back ends the wait for the bootloader
    QCOMPARE(rig.events.mid(2, 2), (QStringList{"log:ok", "progress:0/2"}));
    rig.readBack(0);
    rig.events.clear();
    rig.enter();
    QCOMPARE(rig.events.value(0), verified ? QStringLiteral("log:verify ok")
                                           : QStringLiteral("log:verify failed! Programming "
                                                            "canceled!"));
  }

  // A reply that is not the bootloader's answer to this flash's command must not end its wait:
  // neither one that came before the flash began, nor another command's reply meanwhile.
  void strayFramesLeaveTheWait_data() {
    QTest::addColumn<Bytes>("frame");
    QTest::addColumn<bool>("beforeStart");
    QTest::newRow("acknowledgement before the start") << Bytes{0xF0, 0x08, 0xF7} << true;
    QTest::newRow("read-back before the start") << buildReplyFrame(9, Bytes(128, 0)) << true;
    QTest::newRow("cut read-back before the start") << buildReplyFrame(9, Bytes(10, 0)) << true;
    QTest::newRow("identify reply") << Bytes{0xF0, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7} << false;
    QTest::newRow("submit status") << Bytes{0xF0, 0x04, 0x0F, 0x0F, 0xF7} << false;
    QTest::newRow("leave bootloader code") << Bytes{0xF0, 0x10, 0xF7} << false;
    QTest::newRow("read-back without F0") << Bytes{0x09, 0x00, 0x00, 0xF7} << false;
  }
  void strayFramesLeaveTheWait() {
    QFETCH(Bytes, frame);
    QFETCH(bool, beforeStart);
    ReplyRig rig;
    if (beforeStart) rig.reply(frame);
    QVERIFY(rig.events.isEmpty());
    rig.flasher.start(rig.image());
    if (!beforeStart) rig.reply(frame);
    // An answer taken as early would be handled by a queued call: let every such call run.
    QCoreApplication::sendPostedEvents();
    QCOMPARE(rig.events, (QStringList{"running:on", "log:Entering bootloader"}));
    QCOMPARE(rig.codes(), std::vector<int>{8});
    // The wait is still there for the real answer.
    rig.enter();
    QCOMPARE(rig.events.value(2), QStringLiteral("log:ok"));
  }

  // Reply 17 is logged and reported whenever it comes; the window's tabs and empty lines follow
  // flashWritten, after the flash has finished.
  void flashWrittenIsReportedWhateverRuns_data() {
    QTest::addColumn<bool>("flashing");
    QTest::addColumn<QStringList>("events");
    const QString line = QStringLiteral("log:Firmware update successful! Reboot Tarvik...");
    QTest::newRow("ending a flash")
        << true
        << QStringList{line, "running:off", finishedWith(FlashEnd::Flashed), "flashWritten"};
    QTest::newRow("with no flash") << false << QStringList{line, "flashWritten"};
  }
  void flashWrittenIsReportedWhateverRuns() {
    QFETCH(bool, flashing);
    QFETCH(QStringList, events);
    ReplyRig rig;
    if (flashing) {
      rig.flasher.start(rig.image());
      rig.enter();
      rig.readBack(0);
      rig.readBack(1);
      QCOMPARE(rig.flasher.stage(), Flasher::Stage::WritingFlash);
    }
    const std::size_t sent = rig.wire.commands.size();
    rig.events.clear();
    rig.reply({0xF0, 0x11, 0xF7});
    QCOMPARE(rig.events, events);
    QCOMPARE(rig.wire.commands.size(), sent);
    QVERIFY(!rig.flasher.running());
  }

  // A bootloader that answers while the command is still going out is heard before the flash
  // waits; the wait takes that answer instead of running into its time-out.
  void answerDuringTheSendIsTaken() {
    ReplyRig rig;
    rig.wire.onCommand = [&rig](const Wire::Sent& sent) {
      switch (static_cast<Command>(sent.command)) {
        case Command::EnterBootloader:
          rig.enter();
          break;
        case Command::UploadFlashPage:
          rig.reply(buildReplyFrame(9, Bytes(sent.payload.begin() + 1, sent.payload.end())));
          break;
        case Command::WriteRamToFlash:
          rig.reply({0xF0, 0x11, 0xF7});
          break;
        default:
          break;
      }
    };
    QSignalSpy finished(&rig.flasher, &Flasher::finished);
    rig.flasher.start(rig.image());
    QVERIFY(!finished.isEmpty() || finished.wait(20000));
    QCOMPARE(finished.first().at(0).value<FlashEnd>(), FlashEnd::Flashed);
    QCOMPARE(rig.codes(), (std::vector<int>{8, 9, 9, 17}));
    QCOMPARE(rig.events.filter(QStringLiteral("log:verify")),
             (QStringList{"log:verify ok", "log:verify ok"}));
  }
};

QTEST_GUILESS_MAIN(FlashRepliesTest)
#include "test_flash_replies.moc"
