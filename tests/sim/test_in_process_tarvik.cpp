// SPDX-License-Identifier: MIT
#include "SimTestFrames.h"

#include "link/Framing.h"
#include "midi/InMemoryMidiService.h"
#include "midi/MidiDevices.h"
#include "midi/MidiPorts.h"
#include "sim/InProcessTarvik.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using simtest::Bytes;
using simtest::commandFrames;
using simtest::replyFrame;
using tarvik::InMemoryMidiService;
using tarvik::InProcessTarvik;
using tarvik::SimFaults;

namespace {

const Bytes kIdentifyReply{0xF0, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7};

struct Received {
  int port;
  Bytes bytes;
};

}  // namespace

class TestInProcessTarvik : public QObject {
  Q_OBJECT

  // Another port on each side first, so that a mix-up of indices shows.
  static constexpr int kProgramIn = 1;   // the device's output
  static constexpr int kProgramOut = 0;  // the device's input

  std::unique_ptr<InMemoryMidiService> service;
  std::unique_ptr<tarvik::TMidiInput> input;
  std::unique_ptr<tarvik::TMidiOutput> output;
  std::unique_ptr<InProcessTarvik> tarvik;
  std::vector<Received> sysEx;
  std::vector<Bytes> shortMessages;

  void send(std::uint8_t command, const Bytes& payload = {}) {
    for (const auto& frame : commandFrames(command, payload))
      output->SendLongMessage(kProgramOut, frame);
  }

 private Q_SLOTS:
  void init() {
    service = std::make_unique<InMemoryMidiService>();
    service->addInput("Other In");
    QCOMPARE(service->addInput("Tarvik MIDI"), kProgramIn);
    QCOMPARE(service->addOutput("Tarvik MIDI"), kProgramOut);
    service->addOutput("Other Out");
    tarvik = std::make_unique<InProcessTarvik>(*service, kProgramOut, kProgramIn);
    input = std::make_unique<tarvik::TMidiInput>(*service);
    output = std::make_unique<tarvik::TMidiOutput>(*service);
    sysEx.clear();
    shortMessages.clear();
    input->OnSysExMessage = [this](int port, const tarvik::TMemoryStream& stream) {
      sysEx.push_back({port, stream});
    };
    input->OnShortMessage = [this](int, std::uint8_t status, std::uint8_t d1, std::uint8_t d2) {
      shortMessages.push_back({status, d1, d2});
    };
    input->Open(kProgramIn);
    output->Open(kProgramOut);
  }
  void cleanup() {
    tarvik.reset();
    input.reset();
    output.reset();
    service.reset();
  }

  void replyArrivesOnTheProgramsInputThroughTheEventLoop() {
    send(1);
    QVERIFY2(sysEx.empty(), "input is handed over through the event loop, not from the send");
    QTRY_COMPARE(sysEx.size(), std::size_t(1));
    QCOMPARE(sysEx[0].port, kProgramIn);
    QCOMPARE(sysEx[0].bytes, kIdentifyReply);
    QCOMPARE(tarvik->device().log(), std::vector<std::string>{"Identify"});
  }

  void repliesOfSeveralCommandsStaySeparateAndInOrder() {
    send(2);
    send(3);
    send(6);
    send(18);
    QTRY_COMPARE(sysEx.size(), std::size_t(4));
    const std::vector<int> codes{2, 3, 6, 18};
    const std::vector<std::size_t> lengths{259, 43, 259, 259};
    for (std::size_t i = 0; i < 4; ++i) {
      QCOMPARE(int(sysEx[i].bytes.at(1)), codes[i]);
      QCOMPARE(sysEx[i].bytes.size(), lengths[i]);
    }
  }

  void submittedTableComesBackThroughTheLayer() {
    send(5, Bytes(128, 0xFF));
    send(2);
    QTRY_COMPARE(sysEx.size(), std::size_t(2));
    QCOMPARE(sysEx[0].bytes, Bytes({0xF0, 0x05, 0x0F, 0x0F, 0xF7}));
    QCOMPARE(sysEx[1].bytes, replyFrame(2, Bytes(128, 0xFF)));
  }

  void replyWaitsForTheDelay() {
    tarvik->device().setFaults(SimFaults{.replyDelayMs = 300});
    QSignalSpy delivered(tarvik.get(), &InProcessTarvik::replyDelivered);
    QElapsedTimer clock;
    clock.start();
    send(1);
    send(1);
    QCOMPARE(tarvik->pendingReplies(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(sysEx.size(), std::size_t(2), 10000);
    QVERIFY2(clock.elapsed() >= 290, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(delivered.count(), 2);
    QCOMPARE(sysEx[1].bytes, kIdentifyReply);
  }

  void heldRepliesWaitForReleaseAndKeepTheirOrder() {
    QSignalSpy held(tarvik.get(), &InProcessTarvik::replyHeld);
    QSignalSpy delivered(tarvik.get(), &InProcessTarvik::replyDelivered);
    tarvik->holdReplies(true);
    send(2);
    send(3);
    QCOMPARE(held.count(), 2);
    // Nothing is scheduled while holding, so no pass of the event loop can let a reply out.
    QCoreApplication::processEvents();
    QCOMPARE(delivered.count(), 0);
    QCOMPARE(tarvik->pendingReplies(), 2);

    tarvik->releaseHeld();
    QCOMPARE(delivered.count(), 2);
    QCOMPARE(tarvik->pendingReplies(), 0);
    QTRY_COMPARE(sysEx.size(), std::size_t(2));
    QCOMPARE(int(sysEx[0].bytes.at(1)), 2);
    QCOMPARE(int(sysEx[1].bytes.at(1)), 3);

    // Holding goes on after a release; turned off, it lets the held reply go out as usual.
    send(6);
    QCOMPARE(held.count(), 3);
    QCOMPARE(tarvik->pendingReplies(), 1);
    tarvik->holdReplies(false);
    QTRY_COMPARE(sysEx.size(), std::size_t(3));
    QCOMPARE(int(sysEx[2].bytes.at(1)), 6);
    QCOMPARE(held.count(), 3);
  }

  void aTestsClockTimesTheFramesAsTheProgramSendsThem() {
    std::int64_t now = 0;
    tarvik->device().setClock([&now] { return now; });
    tarvik->device().setFaults(SimFaults{.dropFastMs = 3});
    tarvik->holdReplies(true);
    // Twenty Identifies at one moment overrun the interface's 32 frames; ten more, a frame every
    // 3 ms, keep pace with it.
    for (int identify = 0; identify < 30; ++identify) {
      for (const auto& frame : commandFrames(1)) {
        if (identify >= 20) now += 3;
        output->SendLongMessage(kProgramOut, frame);
      }
    }
    QCOMPARE(tarvik->device().commandsReceived(), SimFaults::kOverrunFrames / 2 + 10);
    tarvik->device().setClock({});
  }

  void junkComesAsMessagesOfItsOwn() {
    tarvik->device().setFaults(SimFaults{.junkFrames = true});
    send(1);
    QTRY_VERIFY(!sysEx.empty() && sysEx.back().bytes == kIdentifyReply);
    QVERIFY(sysEx.size() >= 6);
    for (std::size_t i = 0; i + 1 < sysEx.size(); ++i)
      QVERIFY(!tarvik::parseReply(sysEx[i].bytes));
  }

  void silentDeviceSendsNothing() {
    tarvik->device().setFaults(SimFaults{.silent = true});
    QSignalSpy delivered(tarvik.get(), &InProcessTarvik::replyDelivered);
    send(1);
    QCOMPARE(tarvik->pendingReplies(), 0);
    QCOMPARE(tarvik->device().commandsReceived(), 1);
    QVERIFY(!delivered.wait(200));
    QVERIFY(sysEx.empty());
  }

  void echoComesBackAsShortMessage_data() {
    QTest::addColumn<Bytes>("message");
    QTest::newRow("program change") << Bytes{0xC2, 0x05, 0x00};
    QTest::newRow("control change") << Bytes{0xB0, 0x07, 0x64};
  }
  void echoComesBackAsShortMessage() {
    QFETCH(Bytes, message);
    tarvik->device().setEcho(true);
    output->SendShortMessage(kProgramOut, message[0], message[1], message[2]);
    QTRY_COMPARE(shortMessages.size(), std::size_t(1));
    QCOMPARE(shortMessages[0], message);
  }

  void destroyedRunnerNoLongerAnswers() {
    tarvik.reset();
    send(1);
    QCoreApplication::processEvents();
    QVERIFY(sysEx.empty());
  }

  void simulatedPortListsOfferTheDevicePorts() {
    cleanup();
    tarvik::SimulatedMidi simulated(tarvik::TarvikContents::fromSeed(5));
    auto& in = simulated.ports().inputs();
    auto& out = simulated.ports().outputs();
    QCOMPARE(in.PortNames(), std::vector<std::string>{"Tarvik MIDI"});
    QCOMPARE(out.PortNames(), std::vector<std::string>{"Tarvik MIDI"});
    std::vector<Bytes> replies;
    in.OnSysExMessage = [&replies](int, const tarvik::TMemoryStream& stream) {
      replies.push_back(stream);
    };
    in.Open(0);
    out.Open(0);
    for (const auto& frame : commandFrames(18)) out.SendLongMessage(0, frame);
    QTRY_COMPARE(replies.size(), std::size_t(1));
    const auto& table = tarvik::TarvikContents::fromSeed(5).pcRemap;
    QCOMPARE(replies[0], replyFrame(18, Bytes(table.begin(), table.end())));
    in.OnSysExMessage = nullptr;
  }
};

QTEST_GUILESS_MAIN(TestInProcessTarvik)
#include "test_in_process_tarvik.moc"
