// SPDX-License-Identifier: MIT
// The in-memory service's own contract, on which the layer's and the simulator's tests rely.
#include <QtTest>

#include "midi/InMemoryMidiService.h"

using namespace tarvik;

class TestInMemoryMidiService : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void shortMessageLengthFollowsTheStatus_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("length");
    QTest::newRow("note off") << 0x80 << 3;
    QTest::newRow("control change, last channel") << 0xBF << 3;
    QTest::newRow("program change") << 0xC0 << 2;
    QTest::newRow("channel pressure, last channel") << 0xDF << 2;
    QTest::newRow("pitch bend") << 0xE0 << 3;
    QTest::newRow("pitch bend, last channel") << 0xEF << 3;
    QTest::newRow("time code quarter frame") << 0xF1 << 2;
    QTest::newRow("song position") << 0xF2 << 3;
    QTest::newRow("song select") << 0xF3 << 2;
    QTest::newRow("tune request") << 0xF6 << 1;
    QTest::newRow("timing clock") << 0xF8 << 1;
    QTest::newRow("system reset") << 0xFF << 1;
  }
  void shortMessageLengthFollowsTheStatus() {
    QFETCH(int, status);
    QFETCH(int, length);
    QCOMPARE(shortMessageLength(std::uint8_t(status)), length);
  }

  void shortSendRecordsTheWireBytes_data() {
    QTest::addColumn<uint>("packed");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("program change drops data 2") << 0x7F05C0u << QByteArray::fromHex("c005");
    QTest::newRow("control change") << 0x6407B1u << QByteArray::fromHex("b10764");
    QTest::newRow("clock is one byte") << 0x0102F8u << QByteArray::fromHex("f8");
  }
  void shortSendRecordsTheWireBytes() {
    QFETCH(uint, packed);
    QFETCH(QByteArray, wire);
    InMemoryMidiService service;
    const int port = service.addOutput("Out");
    std::vector<std::vector<std::uint8_t>> sunk;
    service.setOutputSink(port, [&sunk](const std::vector<std::uint8_t>& m) { sunk.push_back(m); });
    MidiHandle handle = kNoHandle;
    QCOMPARE(service.outOpen(handle, std::uint32_t(port)), MidiResult::NoError);
    QCOMPARE(service.outShortMsg(handle, packed), MidiResult::NoError);
    const std::vector<std::uint8_t> expected(wire.begin(), wire.end());
    QCOMPARE(service.sent(port), std::vector<std::vector<std::uint8_t>>{expected});
    QCOMPARE(sunk, std::vector<std::vector<std::uint8_t>>{expected});
    service.clearSent(port);
    QVERIFY(service.sent(port).empty());
  }

  void badHandlesAndPortsGiveTheirCodes() {
    InMemoryMidiService service;
    service.addInput("In");
    service.addOutput("Out");
    MidiHandle handle = kNoHandle;
    MidiHeader header;
    QCOMPARE(service.outClose(kNoHandle), MidiResult::InvalidHandle);
    QCOMPARE(service.outLongMsg(12345, &header), MidiResult::InvalidHandle);
    QCOMPARE(service.inStart(kNoHandle), MidiResult::InvalidHandle);
    QCOMPARE(service.outOpen(handle, 1), MidiResult::BadDeviceId);
    QCOMPARE(service.inOpen(handle, 1, {}, 0), MidiResult::BadDeviceId);
    QCOMPARE(service.outOpen(handle, 0), MidiResult::NoError);
    MidiHandle second = kNoHandle;
    QCOMPARE(service.outOpen(second, 0), MidiResult::Allocated);
    QCOMPARE(service.outClose(handle), MidiResult::NoError);
    // A handle stays invalid after its port closed, also when the port is opened again.
    QCOMPARE(service.outOpen(second, 0), MidiResult::NoError);
    QVERIFY(second != handle);
    QCOMPARE(service.outClose(handle), MidiResult::InvalidHandle);
  }

  void errorTexts_data() {
    QTest::addColumn<uint>("code");
    QTest::addColumn<bool>("hasText");
    QTest::addColumn<QString>("text");
    QTest::newRow("invalid handle")
        << uint(MidiResult::InvalidHandle) << true << "The specified device handle is invalid.";
    QTest::newRow("bad device id")
        << uint(MidiResult::BadDeviceId) << true << "The specified device ID is out of range.";
    QTest::newRow("code without a text") << uint(MidiResult::NoTextCode) << false << QString();
  }
  void errorTexts() {
    QFETCH(uint, code);
    QFETCH(bool, hasText);
    QFETCH(QString, text);
    InMemoryMidiService service;
    std::string actual;
    QCOMPARE(service.getErrorText(code, actual) == MidiResult::NoError, hasText);
    if (hasText) QCOMPARE(QString::fromStdString(actual), text);
  }

  void failNextHitsOnlyTheNextCallOfThatOperation() {
    InMemoryMidiService service;
    service.addOutput("Out");
    service.failNext("outLongMsg", MidiResult::StillPlaying);
    MidiHandle handle = kNoHandle;
    QCOMPARE(service.outOpen(handle, 0), MidiResult::NoError);
    std::uint8_t bytes[] = {0xF0, 0xF7};
    MidiHeader header;
    header.data = bytes;
    header.bufferLength = 2;
    QCOMPARE(service.outLongMsg(handle, &header), MidiResult::StillPlaying);
    QVERIFY(service.sent(0).empty());
    QCOMPARE(service.outLongMsg(handle, &header), MidiResult::NoError);
    QCOMPARE(service.sent(0), (std::vector<std::vector<std::uint8_t>>{{0xF0, 0xF7}}));
  }

  // The "send fails at byte N" cases of the link and the flash rest on this count.
  void failCallFailsOnlyTheCallAfterThoseLetThrough_data() {
    QTest::addColumn<int>("letThrough");
    QTest::addColumn<int>("calls");
    QTest::addColumn<int>("failing");  // 0-based index of the call that fails; -1: none
    QTest::newRow("none let through fails the first") << 0 << 3 << 0;
    QTest::newRow("three let through fail the fourth") << 3 << 6 << 3;
    QTest::newRow("negative counts as none") << -2 << 2 << 0;
    QTest::newRow("fewer calls than let through") << 5 << 5 << -1;
  }
  void failCallFailsOnlyTheCallAfterThoseLetThrough() {
    QFETCH(int, letThrough);
    QFETCH(int, calls);
    QFETCH(int, failing);
    InMemoryMidiService service;
    service.addOutput("Out");
    MidiHandle handle = kNoHandle;
    QCOMPARE(service.outOpen(handle, 0), MidiResult::NoError);
    service.failCall("outLongMsg", letThrough, MidiResult::NoDriver);
    std::vector<std::vector<std::uint8_t>> expected;
    for (int call = 0; call < calls; ++call) {
      std::uint8_t bytes[] = {0xF0, std::uint8_t(call), 0xF7};
      MidiHeader header;
      header.data = bytes;
      header.bufferLength = 3;
      // Other operations neither fail nor use up the count.
      QCOMPARE(service.outPrepareHeader(handle, &header), MidiResult::NoError);
      const std::uint32_t result = service.outLongMsg(handle, &header);
      QCOMPARE(result, call == failing ? MidiResult::NoDriver : MidiResult::NoError);
      if (call != failing) expected.push_back({0xF0, std::uint8_t(call), 0xF7});
    }
    // The failed message never went on the wire.
    QCOMPARE(service.sent(0), expected);
  }

  void closingAnInputWithAQueuedBufferReleasesIt() {
    InMemoryMidiService service;
    service.addInput("In");
    MidiHandle handle = kNoHandle;
    QCOMPARE(
        service.inOpen(
            handle, 0, [](std::uint32_t, std::uintptr_t, std::uintptr_t, std::uintptr_t) {}, 0),
        MidiResult::NoError);
    std::uint8_t memory[16];
    MidiHeader header;
    header.data = memory;
    header.bufferLength = sizeof memory;
    QCOMPARE(service.inAddBuffer(handle, &header), MidiResult::NoError);
    QCOMPARE(service.inUnprepareHeader(handle, &header), MidiResult::StillPlaying);
    QCOMPARE(service.inClose(handle), MidiResult::NoError);
    QVERIFY(!header.queued);
    QVERIFY(!service.isInputOpen(0));
  }
};

QTEST_GUILESS_MAIN(TestInMemoryMidiService)
#include "test_in_memory_midi_service.moc"
