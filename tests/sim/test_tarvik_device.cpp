// SPDX-License-Identifier: MIT
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <stdexcept>

#include "SimTestFrames.h"
#include "link/Framing.h"
#include "sim/TarvikDevice.h"

using simtest::Bytes;
using simtest::commandFrames;
using simtest::ramp;
using simtest::replyFrame;
using tarvik::SimFaults;
using tarvik::TarvikContents;
using tarvik::TarvikDevice;

using Frames = std::vector<Bytes>;
Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(Frames)
Q_DECLARE_METATYPE(std::vector<int>)

namespace {

TarvikContents knownContents() {
  TarvikContents contents;
  const Bytes presets = ramp(128, 0, 2), cc = ramp(128, 1, 3), pc = ramp(128, 127, 255),
              record = ramp(20, 100, 7);
  std::copy(presets.begin(), presets.end(), contents.presets.begin());
  for (int i = 0; i < 128; ++i) contents.ccMap[i] = static_cast<std::uint8_t>(cc[i] % 9);
  std::copy(pc.begin(), pc.end(), contents.pcRemap.begin());
  std::copy(record.begin(), record.end(), contents.configRecord.begin());
  return contents;
}

template <std::size_t N>
Bytes bytesOf(const std::array<std::uint8_t, N>& table) {
  return {table.begin(), table.end()};
}

struct Harness {
  TarvikDevice device;
  Frames frames;
  std::int64_t nowMs = 0;  // the device's clock, moved by the test only

  explicit Harness(const TarvikContents& contents = knownContents()) : device(contents) {
    device.setReplySink([this](Bytes frame) { frames.push_back(std::move(frame)); });
    device.setClock([this] { return nowMs; });
  }
  void send(std::uint8_t command, const Bytes& payload = {}) {
    for (const auto& frame : commandFrames(command, payload)) device.receiveSysEx(frame);
  }
  // The frames the next command brings, and only those.
  Frames exchange(std::uint8_t command, const Bytes& payload = {}) {
    frames.clear();
    send(command, payload);
    return frames;
  }
};

Bytes page(std::uint8_t number, std::uint8_t start) {
  Bytes payload{number};
  const Bytes data = ramp(128, start, 1);
  payload.insert(payload.end(), data.begin(), data.end());
  return payload;
}

}  // namespace

class TestTarvikDevice : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void commandsAreAnsweredWithTheirFrame_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<Bytes>("payload");
    QTest::addColumn<Frames>("expected");
    const TarvikContents known = knownContents();
    QTest::newRow("Identify reports version 1.9")
        << 1 << Bytes{} << Frames{{0xF0, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7}};
    QTest::newRow("DownloadPresets sends the 128 masks")
        << 2 << Bytes{} << Frames{replyFrame(2, bytesOf(known.presets))};
    QTest::newRow("DownloadConfig sends the 20 record items")
        << 3 << Bytes{} << Frames{replyFrame(3, bytesOf(known.configRecord))};
    QTest::newRow("SubmitConfig acknowledges with status 0xFF")
        << 4 << ramp(20) << Frames{{0xF0, 0x04, 0x0F, 0x0F, 0xF7}};
    QTest::newRow("SubmitPresets acknowledges with status 0xFF")
        << 5 << ramp(128) << Frames{{0xF0, 0x05, 0x0F, 0x0F, 0xF7}};
    QTest::newRow("DownloadCcMap sends the 128 entries")
        << 6 << Bytes{} << Frames{replyFrame(6, bytesOf(known.ccMap))};
    QTest::newRow("SubmitCcMap acknowledges without items")
        << 7 << ramp(128) << Frames{{0xF0, 0x07, 0xF7}};
    QTest::newRow("EnterBootloader acknowledges without items")
        << 8 << Bytes{} << Frames{{0xF0, 0x08, 0xF7}};
    QTest::newRow("UploadFlashPage reads the page back")
        << 9 << page(3, 0x80) << Frames{replyFrame(9, ramp(128, 0x80, 1))};
    QTest::newRow("LeaveBootloader is not answered") << 16 << Bytes{} << Frames{};
    QTest::newRow("WriteRamToFlash acknowledges without items")
        << 17 << Bytes{} << Frames{{0xF0, 0x11, 0xF7}};
    QTest::newRow("DownloadPcRemap sends the 128 entries")
        << 18 << Bytes{} << Frames{replyFrame(18, bytesOf(known.pcRemap))};
    QTest::newRow("SubmitPcRemap acknowledges without items")
        << 19 << ramp(128) << Frames{{0xF0, 0x13, 0xF7}};
  }
  void commandsAreAnsweredWithTheirFrame() {
    QFETCH(int, command);
    QFETCH(Bytes, payload);
    QFETCH(Frames, expected);
    Harness harness;
    const auto frames = harness.exchange(static_cast<std::uint8_t>(command), payload);
    QCOMPARE(frames, expected);
    for (const auto& frame : frames) {
      const auto reply = tarvik::parseReply(frame);
      QVERIFY2(reply.has_value(), "the configurator must accept every healthy reply");
      QCOMPARE(int(reply->code), command);
    }
  }

  void replyFramesHaveTheLengthTheirCodeCallsFor() {
    Harness harness;
    QCOMPARE(harness.exchange(2).at(0).size(), std::size_t(259));
    QCOMPARE(harness.exchange(3).at(0).size(), std::size_t(43));
    QCOMPARE(harness.exchange(9, page(0, 0)).at(0).size(), std::size_t(259));
  }

  void configuredVersionIsReported() {
    Harness harness;
    harness.device.setVersion(1, 10);
    QCOMPARE(harness.exchange(1), Frames({{0xF0, 0x01, 0x00, 0x01, 0x00, 0x0A, 0xF7}}));
  }

  void payloadByteFfIsData() {
    Harness harness;
    QCOMPARE(harness.exchange(5, Bytes(128, 0xFF)), Frames({{0xF0, 0x05, 0x0F, 0x0F, 0xF7}}));
    QCOMPARE(harness.exchange(2), Frames{replyFrame(2, Bytes(128, 0xFF))});
    // Marker and command bytes inside a payload start no command.
    Bytes record(20, 0xFF);
    record[1] = 0x01;
    record[3] = 0x02;
    QCOMPARE(harness.exchange(4, record), Frames({{0xF0, 0x04, 0x0F, 0x0F, 0xF7}}));
    QCOMPARE(harness.device.contents().configRecord[1], std::uint8_t(0x01));
    QCOMPARE(harness.exchange(1), Frames({{0xF0, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7}}));
  }

  void submittedBlocksAreDownloadedAgain_data() {
    QTest::addColumn<int>("submit");
    QTest::addColumn<int>("download");
    QTest::addColumn<Bytes>("payload");
    QTest::newRow("preset table") << 5 << 2 << ramp(128, 0xFF, 3);
    QTest::newRow("configuration record") << 4 << 3 << ramp(20, 0xF0, 1);
    QTest::newRow("CC map") << 7 << 6 << ramp(128, 9, 1);
    QTest::newRow("PC remap table") << 19 << 18 << ramp(128, 200, 5);
  }
  void submittedBlocksAreDownloadedAgain() {
    QFETCH(int, submit);
    QFETCH(int, download);
    QFETCH(Bytes, payload);
    Harness harness;
    QCOMPARE(harness.exchange(static_cast<std::uint8_t>(submit), payload).size(), std::size_t(1));
    QCOMPARE(harness.exchange(static_cast<std::uint8_t>(download)),
             Frames{replyFrame(static_cast<std::uint8_t>(download), payload)});
  }

  void malformedMessagesAreIgnored_data() {
    QTest::addColumn<Bytes>("noise");
    QTest::newRow("frame of three bytes") << Bytes{0xF0, 0x02, 0xF7};
    QTest::newRow("frame of five bytes") << Bytes{0xF0, 0x00, 0x02, 0x00, 0xF7};
    QTest::newRow("nibble above 0x0F") << Bytes{0xF0, 0x10, 0x02, 0xF7};
    QTest::newRow("no SysEx end") << Bytes{0xF0, 0x00, 0x02, 0xF0};
    QTest::newRow("no SysEx start") << Bytes{0xF7, 0x00, 0x02, 0xF7};
    QTest::newRow("empty message") << Bytes{};
  }
  void malformedMessagesAreIgnored() {
    QFETCH(Bytes, noise);
    Harness harness;
    // Between marker and command byte, so that noise taken for a byte would change the command.
    const auto identify = commandFrames(1);
    harness.device.receiveSysEx(identify[0]);
    harness.device.receiveSysEx(noise);
    harness.device.receiveSysEx(identify[1]);
    QCOMPARE(harness.frames, Frames({{0xF0, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7}}));
    QCOMPARE(harness.device.commandsReceived(), 1);
    QCOMPARE(harness.device.ignoredInputs(), 1);
  }

  void bytesOutsideCommandsAreSkipped_data() {
    QTest::addColumn<Frames>("before");
    QTest::addColumn<QString>("logged");
    QTest::newRow("command byte without marker")
        << Frames{{0xF0, 0x00, 0x02, 0xF7}} << "ignored byte 0x02 outside a command";
    QTest::newRow("unused command byte 10") << commandFrames(10) << "unknown command 0x0A ignored";
    QTest::newRow("unused command byte 15") << commandFrames(15) << "unknown command 0x0F ignored";
    QTest::newRow("unused command byte 20") << commandFrames(20) << "unknown command 0x14 ignored";
  }
  void bytesOutsideCommandsAreSkipped() {
    QFETCH(Frames, before);
    QFETCH(QString, logged);
    Harness harness;
    for (const auto& frame : before) harness.device.receiveSysEx(frame);
    QVERIFY(harness.frames.empty());
    QCOMPARE(harness.exchange(1), Frames({{0xF0, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7}}));
    QCOMPARE(QString::fromStdString(harness.device.log().front()), logged);
    QCOMPARE(harness.device.ignoredInputs(), 1);
    QCOMPARE(harness.device.received().size(), std::size_t(1));
  }

  void eachCommandWritesALogLine() {
    Harness harness;
    harness.send(1);
    harness.send(5, ramp(128));
    harness.send(8);
    harness.send(9, page(3, 0));
    harness.send(16);
    const std::vector<std::string> expected{"Identify", "SubmitPresets (128 bytes)",
                                            "EnterBootloader", "UploadFlashPage page 4 (128 bytes)",
                                            "LeaveBootloader"};
    QCOMPARE(harness.device.log(), expected);
  }

  void receivedCommandsKeepTheirPayloadAndAnswer() {
    Harness harness;
    harness.device.setFaults(SimFaults{.answerFirst = 2});
    harness.send(1);
    harness.send(4, ramp(20, 0xF0, 1));
    harness.send(7, ramp(128, 8, 0));
    using Received = TarvikDevice::Received;
    const std::vector<Received> expected{
        {1, {}, true}, {4, ramp(20, 0xF0, 1), true}, {7, ramp(128, 8, 0), false}};
    QVERIFY(harness.device.received() == expected);
    QCOMPARE(harness.device.ignoredInputs(), 0);
  }

  void bootloaderSessionIsRecorded() {
    Harness harness;
    harness.send(8);
    harness.send(9, page(0, 0x10));
    harness.send(9, page(1, 0x20));
    harness.send(9, page(0, 0x30));
    QVERIFY(harness.device.flash().bootloaderEntered);
    QVERIFY(!harness.device.flash().writtenToFlash);
    harness.send(17);
    const auto& flash = harness.device.flash();
    QCOMPARE(flash.uploadOrder, std::vector<int>({0, 1, 0}));
    QCOMPARE(flash.pages.size(), std::size_t(2));
    QCOMPARE(Bytes(flash.pages.at(0).begin(), flash.pages.at(0).end()), ramp(128, 0x30, 1));
    QCOMPARE(Bytes(flash.pages.at(1).begin(), flash.pages.at(1).end()), ramp(128, 0x20, 1));
    QVERIFY(flash.writtenToFlash);
    QVERIFY(!flash.bootloaderLeft);
    harness.send(16);
    QVERIFY(harness.device.flash().bootloaderLeft);
  }

  void silentDeviceAnswersNothingButKeepsState() {
    Harness harness;
    harness.device.setFaults(SimFaults{.silent = true});
    QVERIFY(harness.exchange(1).empty());
    QVERIFY(harness.exchange(7, ramp(128, 3, 0)).empty());
    QCOMPARE(harness.device.contents().ccMap[5], std::uint8_t(3));
    QCOMPARE(harness.device.log().back(), std::string("SubmitCcMap (128 bytes) - no reply"));
  }

  void onlyTheFirstCommandsAreAnswered() {
    Harness harness;
    harness.device.setFaults(SimFaults{.answerFirst = 2});
    QCOMPARE(harness.exchange(1).size(), std::size_t(1));
    QCOMPARE(harness.exchange(1).size(), std::size_t(1));
    QVERIFY(harness.exchange(1).empty());
    QVERIFY(harness.exchange(2).empty());
  }

  // Counted, not drawn: a test knows exactly which go missing.
  void lossFaultsLoseEveryNth_data() {
    QTest::addColumn<int>("replyEvery");
    QTest::addColumn<int>("frameEvery");
    QTest::addColumn<QString>("answered");
    QTest::newRow("every third reply") << 3 << 0 << "110110110";
    QTest::newRow("every reply") << 1 << 0 << "000000000";
    // An Identify is two frames, the marker and the command byte: every second frame takes
    // each command byte, every third a marker or a command byte in turn.
    QTest::newRow("every second frame") << 0 << 2 << "000000000";
    QTest::newRow("every third frame") << 0 << 3 << "100100100";
    QTest::newRow("neither") << 0 << 0 << "111111111";
  }
  void lossFaultsLoseEveryNth() {
    QFETCH(int, replyEvery);
    QFETCH(int, frameEvery);
    QFETCH(QString, answered);
    Harness harness;
    harness.device.setFaults(SimFaults{.loseReplyEvery = replyEvery, .loseFrameEvery = frameEvery});
    QString got;
    for (int i = 0; i < answered.size(); ++i) got += harness.exchange(1).empty() ? u'0' : u'1';
    QCOMPARE(got, answered);
  }

  // Identify frames (marker, command byte) at the given gaps: "32x0" is 32 frames, each 0 ms
  // after the one before. `kept` says for each frame whether it reached the device.
  void fastFramesOverrunTheBuffer_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("gaps");
    QTest::addColumn<QString>("kept");
    const QString full = QString(SimFaults::kOverrunFrames, u'1');
    QTest::newRow("a burst fills the buffer") << 3 << "40x0" << full + "00000000";
    QTest::newRow("a gap of the rate loses nothing") << 3 << "40x3" << QString(40, u'1');
    QTest::newRow("a gap frees one place") << 3 << "32x0 1x3 2x0" << full + "100";
    QTest::newRow("a gap just short of the rate fills it slowly")
        << 3 << "100x2" << QString(94, u'1') + "011011";
    QTest::newRow("without the fault") << 0 << "40x0" << QString(40, u'1');
  }
  void fastFramesOverrunTheBuffer() {
    QFETCH(int, limit);
    QFETCH(QString, gaps);
    QFETCH(QString, kept);
    Harness harness;
    harness.device.setFaults(SimFaults{.dropFastMs = limit});
    QString got;
    int sent = 0;
    for (const QString& run : gaps.split(u' ')) {
      const int count = run.section(u'x', 0, 0).toInt();
      for (int i = 0; i < count; ++i, ++sent) {
        harness.nowMs += run.section(u'x', 1, 1).toInt();
        const std::size_t lines = harness.device.log().size();
        harness.device.receiveSysEx(commandFrames(1)[sent % 2]);
        const bool lost = harness.device.log().size() > lines &&
                          harness.device.log().back().starts_with("lost SysEx message of 4 bytes");
        got += lost ? u'0' : u'1';
      }
    }
    QCOMPARE(got, kept);
  }

  void theFirstSubmitIsIgnored_data() {
    QTest::addColumn<int>("submit");
    QTest::addColumn<int>("download");
    QTest::addColumn<Bytes>("payload");
    QTest::addColumn<Bytes>("ack");
    QTest::addColumn<int>("other");
    QTest::newRow("preset table") << 5 << 2 << ramp(128, 0xFF, 3)
                                  << Bytes{0xF0, 0x05, 0x0F, 0x0F, 0xF7} << 7;
    QTest::newRow("configuration record")
        << 4 << 3 << ramp(20, 0xF0, 1) << Bytes{0xF0, 0x04, 0x0F, 0x0F, 0xF7} << 5;
    QTest::newRow("CC map") << 7 << 6 << ramp(128, 9, 1) << Bytes{0xF0, 0x07, 0xF7} << 19;
    QTest::newRow("PC remap table")
        << 19 << 18 << ramp(128, 200, 5) << Bytes{0xF0, 0x13, 0xF7} << 4;
  }
  void theFirstSubmitIsIgnored() {
    QFETCH(int, submit);
    QFETCH(int, download);
    QFETCH(Bytes, payload);
    QFETCH(Bytes, ack);
    QFETCH(int, other);
    const auto code = static_cast<std::uint8_t>(submit);
    Harness harness;
    harness.device.setFaults(SimFaults{.ignoreFirstSubmit = true});
    // Another block's submit first: only the very first submit is lost.
    QVERIFY(harness.exchange(static_cast<std::uint8_t>(other), ramp(other == 4 ? 20 : 128, 1, 0))
                .empty());
    QCOMPARE(harness.device.contents(), knownContents());
    QVERIFY(harness.device.log().back().ends_with(" bytes) - ignored, the first submit"));
    // Nothing of the ignored command is left waiting: the next command is read as usual.
    QCOMPARE(harness.exchange(1).size(), std::size_t(1));
    QCOMPARE(harness.exchange(code, payload), Frames{ack});
    QCOMPARE(harness.exchange(static_cast<std::uint8_t>(download)),
             Frames{replyFrame(static_cast<std::uint8_t>(download), payload)});
    QCOMPARE(harness.exchange(code, payload), Frames{ack});
  }

  // Item bytes of an Identify reply: 0 1 0 9, counted on across replies.
  void replyBytesAreCorruptedOneInN_data() {
    QTest::addColumn<int>("every");
    QTest::addColumn<int>("command");
    QTest::addColumn<Bytes>("payload");
    QTest::addColumn<Frames>("expected");
    QTest::newRow("every third, on across two replies")
        << 3 << 1 << Bytes{}
        << Frames{{0xF0, 0x01, 0x00, 0x01, 0x01, 0x09, 0xF7},
                  {0xF0, 0x01, 0x00, 0x00, 0x00, 0x09, 0xF7}};
    QTest::newRow("every fifth: the second reply's first")
        << 5 << 1 << Bytes{}
        << Frames{{0xF0, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7},
                  {0xF0, 0x01, 0x01, 0x01, 0x00, 0x09, 0xF7}};
    QTest::newRow("every byte") << 1 << 1 << Bytes{}
                                << Frames{{0xF0, 0x01, 0x01, 0x00, 0x01, 0x08, 0xF7},
                                          {0xF0, 0x01, 0x01, 0x00, 0x01, 0x08, 0xF7}};
    QTest::newRow("a submit's status reads as a refusal")
        << 2 << 5 << ramp(128)
        << Frames{{0xF0, 0x05, 0x0F, 0x0E, 0xF7}, {0xF0, 0x05, 0x0F, 0x0E, 0xF7}};
    QTest::newRow("a reply without items passes whole")
        << 1 << 7 << ramp(128) << Frames{{0xF0, 0x07, 0xF7}, {0xF0, 0x07, 0xF7}};
  }
  void replyBytesAreCorruptedOneInN() {
    QFETCH(int, every);
    QFETCH(int, command);
    QFETCH(Bytes, payload);
    QFETCH(Frames, expected);
    Harness harness;
    harness.device.setFaults(SimFaults{.corruptReplyEvery = every});
    for (int i = 0; i < 2; ++i) harness.send(static_cast<std::uint8_t>(command), payload);
    QCOMPARE(harness.frames, expected);
    for (const auto& frame : harness.frames) {
      const auto reply = tarvik::parseReply(frame);
      QVERIFY2(reply.has_value(), "still a reply: only a comparison can tell it is wrong");
      QCOMPARE(int(reply->code), command);
    }
  }

  void aLostReplyStillCarriesOutTheCommand() {
    Harness harness;
    harness.device.setFaults(SimFaults{.loseReplyEvery = 1});
    QVERIFY(harness.exchange(7, ramp(128, 4, 0)).empty());
    QCOMPARE(harness.device.contents().ccMap[9], std::uint8_t(4));
    QCOMPARE(harness.device.log().back(), std::string("SubmitCcMap (128 bytes) - reply lost"));
    QVERIFY(!harness.device.received().back().answered);
  }

  void submitStatusCanReportFailure() {
    Harness harness;
    harness.device.setFaults(SimFaults{.submitStatus = 0x00});
    QCOMPARE(harness.exchange(4, ramp(20, 1)), Frames({{0xF0, 0x04, 0x00, 0x00, 0xF7}}));
    QCOMPARE(harness.exchange(5, ramp(128, 1)), Frames({{0xF0, 0x05, 0x00, 0x00, 0xF7}}));
    // A refused block is not kept.
    QCOMPARE(harness.device.contents(), knownContents());
    // Blocks without a status are unaffected.
    QCOMPARE(harness.exchange(7, ramp(128, 1, 0)), Frames({{0xF0, 0x07, 0xF7}}));
  }

  void shortFramesCarryNoItems_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<Bytes>("payload");
    QTest::newRow("identify") << 1 << Bytes{};
    QTest::newRow("presets") << 2 << Bytes{};
    QTest::newRow("config") << 3 << Bytes{};
    QTest::newRow("submit status") << 5 << ramp(128);
    QTest::newRow("page read-back") << 9 << page(0, 0);
  }
  void shortFramesCarryNoItems() {
    QFETCH(int, command);
    QFETCH(Bytes, payload);
    Harness harness;
    harness.device.setFaults(SimFaults{.shortFrames = true});
    const auto frames = harness.exchange(static_cast<std::uint8_t>(command), payload);
    QCOMPARE(frames, Frames({{0xF0, static_cast<std::uint8_t>(command), 0xF7}}));
    QVERIFY2(!tarvik::parseReply(frames.front()), "too short for its code: must be dropped");
  }

  void junkFramesComeBeforeTheReply() {
    Harness harness;
    harness.device.setFaults(SimFaults{.junkFrames = true});
    const auto frames = harness.exchange(1);
    const Frames expected{{0x01, 0x00, 0x01, 0x00, 0x09, 0xF7},
                          {0xF0, 0x00, 0x00, 0x01, 0x00, 0x09, 0xF7},
                          {0xF0, 0x0A, 0x00, 0x01, 0x00, 0x09, 0xF7},
                          {0xF0, 0x10, 0x00, 0x01, 0x00, 0x09, 0xF7},
                          {0xF0, 0x14, 0x00, 0x01, 0x00, 0x09, 0xF7},
                          {0xF0, 0xFF, 0x00, 0x01, 0x00, 0x09, 0xF7},
                          {0xF0, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7}};
    QCOMPARE(frames, expected);
    for (std::size_t i = 0; i + 1 < frames.size(); ++i)
      QVERIFY2(!tarvik::parseReply(frames[i]), "junk must be something the program drops");
    QVERIFY(tarvik::parseReply(frames.back()).has_value());
  }

  void readBackDiffersAtTheChosenPage() {
    Harness harness;
    harness.device.setFaults(SimFaults{.badReadbackPage = 2});
    for (std::uint8_t number = 0; number < 4; ++number) {
      const Bytes sent = page(number, static_cast<std::uint8_t>(number * 16));
      const auto frames = harness.exchange(9, sent);
      QCOMPARE(frames.size(), std::size_t(1));
      const Bytes uploaded(sent.begin() + 1, sent.end());
      if (number == 2) {
        QVERIFY(frames[0] != replyFrame(9, uploaded));
        QCOMPARE(frames[0].size(), std::size_t(259));
      } else {
        QCOMPARE(frames[0], replyFrame(9, uploaded));
      }
      const auto& held = harness.device.flash().pages.at(number);
      QCOMPARE(Bytes(held.begin(), held.end()), uploaded);
    }
  }

  void bootloaderEntryCanBeAnsweredWithAPageReply() {
    Harness harness;
    harness.device.setFaults(SimFaults{.reply9ForBootloader = true});
    QCOMPARE(harness.exchange(8), Frames{replyFrame(9, Bytes(128, 0))});
    QVERIFY(harness.device.flash().bootloaderEntered);
  }

  void deviceFallsSilentAfterSomePages() {
    Harness harness;
    harness.device.setFaults(SimFaults{.stopAfterPages = 2});
    QCOMPARE(harness.exchange(8).size(), std::size_t(1));
    QCOMPARE(harness.exchange(9, page(0, 0)).size(), std::size_t(1));
    QCOMPARE(harness.exchange(9, page(1, 0)).size(), std::size_t(1));
    QVERIFY(harness.exchange(9, page(2, 0)).empty());
    QVERIFY(harness.exchange(17).empty());
    QVERIFY(harness.exchange(1).empty());
    QCOMPARE(harness.device.flash().uploadOrder, std::vector<int>({0, 1, 2}));
  }

  void writeToFlashCanGoUnconfirmed() {
    Harness harness;
    harness.device.setFaults(SimFaults{.silentOnWrite = true});
    QCOMPARE(harness.exchange(8).size(), std::size_t(1));
    QCOMPARE(harness.exchange(9, page(0, 0)).size(), std::size_t(1));
    QVERIFY(harness.exchange(17).empty());
    // The write itself happened; only its confirmation is missing.
    QVERIFY(harness.device.flash().writtenToFlash);
    QCOMPARE(harness.device.log().back(), std::string("WriteRamToFlash - no reply"));
    QCOMPARE(harness.exchange(1).size(), std::size_t(1));
  }

  void shortMessagesAreEchoedWhenAsked_data() {
    QTest::addColumn<bool>("echo");
    QTest::addColumn<Bytes>("message");
    QTest::addColumn<Frames>("echoed");
    QTest::newRow("program change on channel 4")
        << true << Bytes{0xC3, 0x05, 0x00} << Frames{{0xC3, 0x05, 0x00}};
    QTest::newRow("control change") << true << Bytes{0xB0, 0x07, 0x64}
                                    << Frames{{0xB0, 0x07, 0x64}};
    QTest::newRow("note on is not echoed") << true << Bytes{0x90, 0x40, 0x7F} << Frames{};
    QTest::newRow("echo switched off") << false << Bytes{0xC0, 0x01, 0x00} << Frames{};
  }
  void shortMessagesAreEchoedWhenAsked() {
    QFETCH(bool, echo);
    QFETCH(Bytes, message);
    QFETCH(Frames, echoed);
    Harness harness;
    Frames received;
    harness.device.setEcho(echo);
    harness.device.setShortSink([&received](std::uint8_t s, std::uint8_t d1, std::uint8_t d2) {
      received.push_back({s, d1, d2});
    });
    harness.device.receiveShort(message[0], message[1], message[2]);
    QCOMPARE(received, echoed);
    QVERIFY(harness.frames.empty());
  }

  void seededContentsAreRepeatableAndInRange() {
    QCOMPARE(TarvikContents::fromSeed(42), TarvikContents::fromSeed(42));
    QVERIFY(TarvikContents::fromSeed(42) != TarvikContents::fromSeed(43));
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
      const auto contents = TarvikContents::fromSeed(seed);
      for (int i = 0; i < 128; ++i) {
        QVERIFY(contents.ccMap[i] <= 8);
        QVERIFY(contents.pcRemap[i] <= 128);
      }
      const auto& r = contents.configRecord;
      QVERIFY(r[0] <= 254 && r[1] <= 15 && r[2] <= 1);
      QVERIFY(r[7] >= 1);
      QVERIFY(r[8] <= 3 && r[9] <= 15 && r[10] <= 127 && r[11] <= 127);
      QVERIFY(r[12] <= 1 && r[13] <= 1 && r[14] <= 1 && r[17] <= 1 && r[18] <= 1);
      QVERIFY(r[15] <= 127 || r[15] == 255);
      QVERIFY(r[16] <= 127 || r[16] == 255);
      QCOMPARE(r[3] & r[6], 0);
    }
  }

  void configurationFileGivesTheTables_data() {
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<int>("pc");
    QTest::addColumn<int>("cc");
    QTest::addColumn<int>("pcremap");
    QTest::newRow("decimal values") << QByteArray("pc=5\r\ncc=0\r\npcremap=0\r\n") << 5 << 0 << 0;
    QTest::newRow("no selection is -1") << QByteArray("pc=0\r\ncc=-1\r\npcremap=-1\r\n") << 0
                                        << 255 << 255;
    QTest::newRow("hexadecimal values") << QByteArray("pc=0x81\r\ncc=$8\r\npcremap=0X7F\r\n")
                                        << 0x81 << 8 << 127;
    QTest::newRow("keys in any case") << QByteArray("PC=3\r\nCc=2\r\nPCREMAP=9\r\n") << 3 << 2
                                      << 9;
    QTest::newRow("missing keys take the defaults") << QByteArray("") << 0 << 0 << 5;
    QTest::newRow("unreadable values take the defaults")
        << QByteArray("pc=abc\r\ncc=\r\npcremap=1x\r\n") << 0 << 0 << 5;
    QTest::newRow("bits above the mask are dropped") << QByteArray("pc=257\n") << 1 << 0 << 5;
    // As the editors show such a file: the device gets what a restore of it would send.
    QTest::newRow("an index past the selector's items is no selection")
        << QByteArray("pc=1\r\ncc=9\r\npcremap=129\r\n") << 1 << 255 << 255;
    QTest::newRow("an index below -1 is no selection")
        << QByteArray("pc=1\r\ncc=-2\r\npcremap=-7\r\n") << 1 << 255 << 255;
  }
  void configurationFileGivesTheTables() {
    QFETCH(QByteArray, section);
    QFETCH(int, pc);
    QFETCH(int, cc);
    QFETCH(int, pcremap);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string path = dir.filePath("test.tvk").toStdString();
    {
      std::ofstream file(path, std::ios::binary);
      file << "[4]\r\npc=200\r\ncc=7\r\npcremap=100\r\n[5]\r\n" << section.toStdString();
    }
    const TarvikContents base = TarvikContents::fromSeed(1);
    const auto contents = TarvikContents::withTvkFile(path, base);
    QCOMPARE(int(contents.presets[5]), pc);
    QCOMPARE(int(contents.ccMap[5]), cc);
    QCOMPARE(int(contents.pcRemap[5]), pcremap);
    QCOMPARE(int(contents.presets[4]), 200);
    QCOMPARE(int(contents.ccMap[4]), 7);
    QCOMPARE(int(contents.pcRemap[4]), 100);
    // Rows the file leaves out take the configurator's defaults; the record is kept.
    QCOMPARE(int(contents.presets[6]), 0);
    QCOMPARE(int(contents.pcRemap[6]), 6);
    QCOMPARE(contents.configRecord, base.configRecord);
  }

  void refusedConfigurationFile_data() {
    QTest::addColumn<QByteArray>("text");  // empty: no file at all
    QTest::addColumn<QString>("why");      // the end of the message
    QTest::newRow("missing") << QByteArray() << "";
    QTest::newRow("no preset sections") << QByteArray("[settings]\r\npc=1\r\n")
                                        << "not a Tarvik configuration file (no preset sections).";
  }
  void refusedConfigurationFile() {
    QFETCH(QByteArray, text);
    QFETCH(QString, why);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("refused.tvk");
    if (!text.isEmpty()) {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    }
    try {
      TarvikContents::withTvkFile(path.toStdString(), {});
      QFAIL("the file was taken");
    } catch (const std::runtime_error& error) {
      // The reader's own text, which names the file.
      const QString message = QString::fromStdString(error.what());
      QVERIFY2(message.contains(QStringLiteral("refused.tvk")), qPrintable(message));
      QVERIFY2(message.endsWith(why), qPrintable(message));
    }
  }
};

QTEST_GUILESS_MAIN(TestTarvikDevice)
#include "test_tarvik_device.moc"
