// SPDX-License-Identifier: MIT
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <array>
#include <stdexcept>
#include <vector>

#include "link/FramePacer.h"
#include "link/Framing.h"
#include "support/ManualClock.h"

using namespace tarvik;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Records what a command puts on the wire, frame by frame.
class WireRecorder : public LinkPort {
 public:
  std::vector<std::array<std::uint8_t, 4>> frames;
  void SendByte(std::uint8_t value) override { frames.push_back(nibbleFrame(value)); }
};

// Records when each byte leaves on a test's clock; the byte `failOn` raises as a lost port does.
class TimedWire : public LinkPort {
 public:
  explicit TimedWire(const testing::ManualClock& clock) : clock_(clock) {}
  std::vector<std::pair<long long, std::uint8_t>> sent;
  int failOn = -1;
  void SendByte(std::uint8_t value) override {
    if (value == failOn) throw std::runtime_error("port gone");
    sent.emplace_back(clock_.now(), value);
  }

 private:
  const testing::ManualClock& clock_;
};

Bytes frameOf(std::initializer_list<int> bytes) {
  Bytes frame;
  for (int b : bytes) {
    frame.push_back(static_cast<std::uint8_t>(b));
  }
  return frame;
}

// A well-formed reply for the code with as many items as the program reads for it.
Bytes fullReply(std::uint8_t code) {
  Bytes items(static_cast<std::size_t>(itemsRead(code).value_or(0)), 0x11);
  return buildReplyFrame(code, items);
}

}  // namespace

Q_DECLARE_METATYPE(Bytes)
using Leaving = QList<long long>;

class FramingTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void nibbleFrameCarriesOneByte_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<Bytes>("frame");
    QTest::newRow("zero") << 0x00 << frameOf({0xF0, 0x00, 0x00, 0xF7});
    QTest::newRow("distinct nibbles") << 0x5A << frameOf({0xF0, 0x05, 0x0A, 0xF7});
    QTest::newRow("all bits set") << 0xFF << frameOf({0xF0, 0x0F, 0x0F, 0xF7});
  }
  void nibbleFrameCarriesOneByte() {
    QFETCH(int, value);
    QFETCH(Bytes, frame);
    const auto built = nibbleFrame(static_cast<std::uint8_t>(value));
    QCOMPARE(Bytes(built.begin(), built.end()), frame);
  }

  void commandGoesOutFrameByFrame() {
    WireRecorder wire;
    sendCommand(wire, Command::DownloadPcRemap);
    QCOMPARE(wire.frames.size(), std::size_t{2});
    QCOMPARE(Bytes(wire.frames[0].begin(), wire.frames[0].end()),
             frameOf({0xF0, 0x0F, 0x0F, 0xF7}));
    QCOMPARE(Bytes(wire.frames[1].begin(), wire.frames[1].end()),
             frameOf({0xF0, 0x01, 0x02, 0xF7}));
  }

  void presetsWithAllLoopsOnGoOutUnescaped() {
    WireRecorder wire;
    std::array<std::uint8_t, kTableSize> allOn{};
    allOn.fill(0xFF);
    sendCommand(wire, Command::SubmitPresets, allOn);
    QCOMPARE(wire.frames.size(), std::size_t{2 + kTableSize});
    const Bytes markerFrame = frameOf({0xF0, 0x0F, 0x0F, 0xF7});
    QCOMPARE(Bytes(wire.frames[0].begin(), wire.frames[0].end()), markerFrame);
    QCOMPARE(Bytes(wire.frames[1].begin(), wire.frames[1].end()),
             frameOf({0xF0, 0x00, 0x05, 0xF7}));
    for (std::size_t i = 2; i < wire.frames.size(); ++i) {
      QCOMPARE(Bytes(wire.frames[i].begin(), wire.frames[i].end()), markerFrame);
    }
  }

  void payloadLengthIsFixedByCommand_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("length");
    QTest::newRow("identify has none") << int(Command::Identify) << 0;
    QTest::newRow("download presets has none") << int(Command::DownloadPresets) << 0;
    QTest::newRow("download pc remap has none") << int(Command::DownloadPcRemap) << 0;
    QTest::newRow("write ram to flash has none") << int(Command::WriteRamToFlash) << 0;
    QTest::newRow("config record") << int(Command::SubmitConfig) << 20;
    QTest::newRow("preset table") << int(Command::SubmitPresets) << 128;
    QTest::newRow("cc map") << int(Command::SubmitCcMap) << 128;
    QTest::newRow("pc remap table") << int(Command::SubmitPcRemap) << 128;
    QTest::newRow("page number and full page") << int(Command::UploadFlashPage) << 129;
  }
  void payloadLengthIsFixedByCommand() {
    QFETCH(int, command);
    QFETCH(int, length);
    QCOMPARE(payloadLength(static_cast<Command>(command)), length);
  }

  void decodeItemJoinsNibblePair_data() {
    QTest::addColumn<Bytes>("frame");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("item");
    QTest::newRow("first item") << frameOf({0xF0, 0x02, 0x05, 0x0A, 0xF7}) << 0 << 0x5A;
    QTest::newRow("second item from offsets 4 and 5")
        << frameOf({0xF0, 0x02, 0x0F, 0x0F, 0x03, 0x0C, 0xF7}) << 1 << 0x3C;
    QTest::newRow("code byte is never part of an item")
        << frameOf({0xF0, 0x7F, 0x00, 0x01, 0xF7}) << 0 << 0x01;
    QTest::newRow("low byte OR-ed in unmasked")
        << frameOf({0xF0, 0x02, 0x01, 0x33, 0xF7}) << 0 << 0x33;
    QTest::newRow("unmasked low byte sets high bits")
        << frameOf({0xF0, 0x02, 0x00, 0x7F, 0xF7}) << 0 << 0x7F;
    QTest::newRow("high byte bits above the nibble fall off")
        << frameOf({0xF0, 0x02, 0x1A, 0x05, 0xF7}) << 0 << 0xA5;
  }
  void decodeItemJoinsNibblePair() {
    QFETCH(Bytes, frame);
    QFETCH(int, index);
    QFETCH(int, item);
    QCOMPARE(int(DecodeItem(frame, index)), item);
  }

  void itemCountFollowsFrameLength_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("count");
    QTest::newRow("full config reply") << 43 << 20;
    QTest::newRow("even length rounds down") << 44 << 21;
    QTest::newRow("full table reply") << 259 << 128;
    QTest::newRow("identify reply") << 7 << 2;
    QTest::newRow("bare acknowledgement") << 3 << 0;
  }
  void itemCountFollowsFrameLength() {
    QFETCH(int, length);
    QFETCH(int, count);
    QCOMPARE(itemCount(static_cast<std::size_t>(length)), count);
  }

  void replyIsReadAsFarAsItsCodeCallsFor_data() {
    QTest::addColumn<Bytes>("frame");
    QTest::addColumn<int>("code");
    QTest::addColumn<Bytes>("items");
    QTest::newRow("identify 1.9") << frameOf({0xF0, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7}) << 1
                                  << frameOf({1, 9});
    QTest::newRow("extra items ignored")
        << frameOf({0xF0, 0x04, 0x0F, 0x0F, 0x01, 0x02, 0x03, 0x04, 0xF7}) << 4 << frameOf({0xFF});
    QTest::newRow("trailing byte not checked")
        << frameOf({0xF0, 0x05, 0x00, 0x00, 0x00}) << 5 << frameOf({0x00});
    QTest::newRow("acknowledgement carries nothing") << frameOf({0xF0, 0x07, 0xF7}) << 7 << Bytes{};
    QTest::newRow("acknowledgement with extra bytes")
        << frameOf({0xF0, 0x13, 0x01, 0x02, 0xF7}) << 19 << Bytes{};
  }
  void replyIsReadAsFarAsItsCodeCallsFor() {
    QFETCH(Bytes, frame);
    QFETCH(int, code);
    QFETCH(Bytes, items);
    const auto reply = parseReply(frame);
    QVERIFY(reply.has_value());
    QCOMPARE(int(reply->code), code);
    QCOMPARE(reply->items, items);
    QCOMPARE(reply->frameLength, frame.size());
  }

  void catalogueCodesAreAccepted_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("items");
    QTest::newRow("identify") << 1 << 2;
    QTest::newRow("presets") << 2 << 128;
    QTest::newRow("config") << 3 << 20;
    QTest::newRow("submit config status") << 4 << 1;
    QTest::newRow("submit presets status") << 5 << 1;
    QTest::newRow("cc map") << 6 << 128;
    QTest::newRow("cc map acknowledged") << 7 << 0;
    QTest::newRow("bootloader entered") << 8 << 0;
    QTest::newRow("page read-back") << 9 << 128;
    QTest::newRow("flash written") << 17 << 0;
    QTest::newRow("pc remap") << 18 << 128;
    QTest::newRow("pc remap acknowledged") << 19 << 0;
  }
  void catalogueCodesAreAccepted() {
    QFETCH(int, code);
    QFETCH(int, items);
    QCOMPARE(itemsRead(static_cast<std::uint8_t>(code)), std::optional<int>(items));
    const auto reply = parseReply(fullReply(static_cast<std::uint8_t>(code)));
    QVERIFY(reply.has_value());
    QCOMPARE(int(reply->items.size()), items);
  }

  void codesOutsideTheCatalogueAreDropped() {
    const std::vector<int> catalogue{1, 2, 3, 4, 5, 6, 7, 8, 9, 17, 18, 19};
    for (int code = 0; code <= 255; ++code) {
      if (std::find(catalogue.begin(), catalogue.end(), code) != catalogue.end()) {
        continue;
      }
      const auto byte = static_cast<std::uint8_t>(code);
      // Long enough for any reply, so only the code can be the reason to drop it.
      Bytes frame = buildReplyFrame(byte, Bytes(kTableSize, 0x42));
      QVERIFY2(!itemsRead(byte).has_value(), qPrintable(QString::number(code)));
      QVERIFY2(!parseReply(frame).has_value(), qPrintable(QString::number(code)));
    }
  }

  void framesNotStartingWithSysExAreDropped_data() {
    QTest::addColumn<Bytes>("frame");
    QTest::newRow("empty") << Bytes{};
    QTest::newRow("start byte only") << frameOf({0xF0});
    QTest::newRow("starts with end byte") << frameOf({0xF7, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7});
    QTest::newRow("starts with zero") << frameOf({0x00, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7});
    QTest::newRow("starts with marker") << frameOf({0xFF, 0x04, 0x0F, 0x0F, 0xF7});
  }
  void framesNotStartingWithSysExAreDropped() {
    QFETCH(Bytes, frame);
    QVERIFY(!parseReply(frame).has_value());
  }

  void truncatedRepliesAreDropped_data() {
    QTest::addColumn<Bytes>("frame");
    QTest::newRow("identify without items") << frameOf({0xF0, 0x01, 0xF7});
    QTest::newRow("identify missing last nibble") << frameOf({0xF0, 0x01, 0x00, 0x01, 0x00});
    QTest::newRow("status without items") << frameOf({0xF0, 0x04, 0xF7});
    QTest::newRow("status missing low nibble") << frameOf({0xF0, 0x05, 0x0F});
    Bytes shortTable = fullReply(2);
    shortTable.resize(2 + 2 * kTableSize - 1);
    QTest::newRow("preset table one byte short") << shortTable;
    Bytes shortPage = fullReply(9);
    shortPage.resize(100);
    QTest::newRow("page read-back cut off") << shortPage;
    Bytes shortRecord = fullReply(3);
    shortRecord.resize(41);
    QTest::newRow("config record one byte short") << shortRecord;
  }
  void truncatedRepliesAreDropped() {
    QFETCH(Bytes, frame);
    QVERIFY(!parseReply(frame).has_value());
  }

  void replyFrameRoundTrips() {
    const Bytes items{0x00, 0x0F, 0x10, 0x5A, 0xA5, 0xFF};
    const Bytes frame = buildReplyFrame(0x05, items);
    QCOMPARE(frame, frameOf({0xF0, 0x05, 0x00, 0x00, 0x00, 0x0F, 0x01, 0x00, 0x05, 0x0A, 0x0A, 0x05,
                             0x0F, 0x0F, 0xF7}));
    QCOMPARE(itemCount(frame.size()), int(items.size()));
    for (int i = 0; i < int(items.size()); ++i) {
      QCOMPARE(DecodeItem(frame, i), items[static_cast<std::size_t>(i)]);
    }
  }

  // Each row sends bytes at the given times (ms) and expects them to leave at the given times;
  // a pace of 0 is the program as it always sent.
  void thePacerKeepsTheGapAndTheOrder_data() {
    QTest::addColumn<int>("pace");
    QTest::addColumn<Leaving>("sentAt");
    QTest::addColumn<Leaving>("leftAt");
    QTest::newRow("no pace: all at once") << 0 << Leaving{0, 0, 0} << Leaving{0, 0, 0};
    QTest::newRow("a command at 5 ms") << 5 << Leaving{0, 0, 0, 0} << Leaving{0, 5, 10, 15};
    QTest::newRow("a frame after a quiet gap goes at once")
        << 5 << Leaving{0, 20, 20} << Leaving{0, 20, 25};
    QTest::newRow("a frame inside the gap waits for its end")
        << 20 << Leaving{0, 3} << Leaving{0, 20};
  }
  void thePacerKeepsTheGapAndTheOrder() {
    QFETCH(int, pace);
    QFETCH(Leaving, sentAt);
    QFETCH(Leaving, leftAt);
    auto* clock = new testing::ManualClock;
    TimedWire wire(*clock);
    FramePacer pacer(wire, std::unique_ptr<WaitClock>(clock));
    pacer.setPaceMs(pace);
    for (qsizetype i = 0; i < sentAt.size(); ++i) {
      while (clock->now() < sentAt[i]) clock->advance(1);
      pacer.SendByte(static_cast<std::uint8_t>(i));
    }
    while (pacer.waiting() > 0) clock->advance(1);
    Leaving left;
    for (std::size_t i = 0; i < wire.sent.size(); ++i) {
      QCOMPARE(int(wire.sent[i].second), int(i));
      left << wire.sent[i].first;
    }
    QCOMPARE(left, leftAt);
  }

  // A frame that fails in the queue has no sender to raise to: the command behind it is broken,
  // so the rest is dropped and the error reported; one that fails at once raises as before.
  void aFailedFrameEndsItsCommand() {
    auto* clock = new testing::ManualClock;
    TimedWire wire(*clock);
    FramePacer pacer(wire, std::unique_ptr<WaitClock>(clock));
    QSignalSpy failed(&pacer, &FramePacer::sendFailed);
    pacer.setPaceMs(5);
    wire.failOn = 2;
    for (std::uint8_t value : {1, 2, 3}) pacer.SendByte(value);
    clock->advance(5);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed[0][0].toString(), QStringLiteral("port gone"));
    QCOMPARE(pacer.waiting(), std::size_t{0});
    clock->advance(20);
    QCOMPARE(wire.sent.size(), std::size_t{1});

    pacer.setPaceMs(0);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, pacer.SendByte(2));
    QCOMPARE(failed.count(), 1);
  }
};

QTEST_APPLESS_MAIN(FramingTest)
#include "test_framing.moc"
