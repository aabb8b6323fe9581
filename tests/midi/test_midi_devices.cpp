// SPDX-License-Identifier: MIT
// The port lists' own behaviour: index checks, error texts, which service calls each operation
// makes and what state it leaves. Input delivery is in test_midi_input.
#include <QtTest>
#include <algorithm>

#include "midi/InMemoryMidiService.h"
#include "midi/MidiDevices.h"
#include "midi/MidiPorts.h"

using namespace tarvik;

namespace {

enum class Operation { InputOpen, InputClose, OutputOpen, OutputClose, SendShort, SendLong };

void run(MidiPorts& ports, Operation operation, int index) {
  switch (operation) {
    case Operation::InputOpen:
      ports.inputs().Open(index);
      break;
    case Operation::InputClose:
      ports.inputs().Close(index);
      break;
    case Operation::OutputOpen:
      ports.outputs().Open(index);
      break;
    case Operation::OutputClose:
      ports.outputs().Close(index);
      break;
    case Operation::SendShort:
      ports.outputs().SendShortMessage(index, 0xC0, 1, 0);
      break;
    case Operation::SendLong:
      ports.outputs().SendLongMessage(index, {0xF0, 0x01, 0x02, 0xF7});
      break;
  }
}

QString raisedText(const std::function<void()>& action) {
  try {
    action();
  } catch (const TMidiError& error) {
    return QString::fromStdString(error.what());
  }
  return {};
}

}  // namespace

Q_DECLARE_METATYPE(Operation)

class TestMidiDevices : public QObject {
  Q_OBJECT

  InMemoryMidiService* service_ = nullptr;
  std::unique_ptr<MidiPorts> ports_;

  void install(int inputs, int outputs) {
    auto service = std::make_unique<InMemoryMidiService>();
    for (int i = 0; i < inputs; ++i) service->addInput("In " + std::to_string(i));
    for (int i = 0; i < outputs; ++i) service->addOutput("Out " + std::to_string(i));
    service_ = service.get();
    ports_ = std::make_unique<MidiPorts>(std::move(service));
  }

  // Lists enumerated, call record empty: what follows shows only the operation's own calls.
  void installListed(int inputs, int outputs) {
    install(inputs, outputs);
    ports_->inputs();
    ports_->outputs();
    service_->clearCalls();
  }

 private Q_SLOTS:
  void cleanup() {
    ports_.reset();
    service_ = nullptr;
  }

  void indexOutsideTheListRaisesTheListsText_data() {
    QTest::addColumn<int>("inputs");
    QTest::addColumn<int>("outputs");
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::newRow("input open with no inputs")
        << 0 << 1 << Operation::InputOpen << 0 << "TMidiInput: Device index out of bounds! (0)";
    QTest::newRow("input close with no selection")
        << 2 << 1 << Operation::InputClose << -1 << "TMidiInput: Device index out of bounds! (-1)";
    QTest::newRow("output open past the end")
        << 1 << 2 << Operation::OutputOpen << 2 << "TMidiOutput: Device index out of bounds! (2)";
    QTest::newRow("output close with no selection")
        << 1 << 2 << Operation::OutputClose << -1
        << "TMidiOutput: Device index out of bounds! (-1)";
    QTest::newRow("long send with no selection")
        << 1 << 2 << Operation::SendLong << -1 << "TMidiOutput: Device index out of bounds! (-1)";
    QTest::newRow("short send past the end uses the list's own text")
        << 1 << 2 << Operation::SendShort << 2 << "Listenindex überschreitet das Maximum (2)";
    QTest::newRow("short send with no selection uses the list's own text")
        << 1 << 2 << Operation::SendShort << -1 << "Listenindex überschreitet das Maximum (-1)";
  }
  void indexOutsideTheListRaisesTheListsText() {
    QFETCH(int, inputs);
    QFETCH(int, outputs);
    QFETCH(Operation, operation);
    QFETCH(int, index);
    QFETCH(QString, text);
    installListed(inputs, outputs);
    QCOMPARE(raisedText([&] { run(*ports_, operation, index); }), text);
    QCOMPARE(service_->calls(), std::vector<std::string>{});
  }

  void serviceCodeIsRaisedOnlyWhenItHasAText_data() {
    QTest::addColumn<uint>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("code with a text raises exactly that text")
        << uint(MidiResult::Allocated) << "The specified resource is already allocated.";
    QTest::newRow("code without a text raises nothing")
        << uint(MidiResult::NoTextCode) << QString();
  }
  void serviceCodeIsRaisedOnlyWhenItHasAText() {
    QFETCH(uint, code);
    QFETCH(QString, text);
    install(0, 1);
    service_->failNext("outOpen", code);
    QCOMPARE(raisedText([this] { ports_->outputs().Open(0); }), text);
    QCOMPARE(ports_->outputs().LastResult(), std::uint32_t(code));
    // Either way the service handed out no handle, so the port stays closed and can be opened.
    QVERIFY(!ports_->outputs().IsOpen(0));
    ports_->outputs().Open(0);
    QCOMPARE(ports_->outputs().LastResult(), std::uint32_t(0));
    QVERIFY(ports_->outputs().IsOpen(0));
  }

  void errorTextIsCutToTheServicesBuffer() {
    // A driver with a talkative message: only what the 128-byte text buffer holds goes on.
    class TalkativeService : public InMemoryMidiService {
     public:
      std::uint32_t getErrorText(std::uint32_t, std::string& text) override {
        text = std::string(100, 'a') + std::string(100, 'b');
        return MidiResult::NoError;
      }
    };
    auto service = std::make_unique<TalkativeService>();
    service->addOutput("Out");
    ports_ = std::make_unique<MidiPorts>(std::move(service));
    const QString text = raisedText([this] { ports_->outputs().Close(0); });
    QCOMPARE(text, QString(100, 'a') + QString(27, 'b'));
  }

  void enumerationListsNamesInServiceOrder() {
    install(0, 0);
    service_->addInput("Tarvik In");
    service_->addInput("A name that is far longer than any capability record holds");
    service_->addOutput("Tarvik Out");
    QCOMPARE(ports_->inputs().PortNames(),
             (std::vector<std::string>{"Tarvik In", "A name that is far longer than "}));
    QCOMPARE(ports_->outputs().PortNames(), std::vector<std::string>{"Tarvik Out"});
  }

  void failedEnumerationKeepsNoList_data() {
    QTest::addColumn<bool>("input");
    QTest::newRow("input list") << true;
    QTest::newRow("output list") << false;
  }
  void failedEnumerationKeepsNoList() {
    QFETCH(bool, input);
    install(2, 2);
    service_->failNext(input ? "inGetDevCaps" : "outGetDevCaps", MidiResult::BadDeviceId);
    const QString text = raisedText([&] { input ? ports_->inputs().PortNames() : ports_->outputs().PortNames(); });
    QCOMPARE(text, QString("The specified device ID is out of range."));
    // The next call enumerates again, and this time succeeds.
    QCOMPARE((input ? ports_->inputs().Ports() : ports_->outputs().Ports()).size(), std::size_t(2));
  }

  void openOfAnOpenPortMakesNoServiceCall_data() {
    QTest::addColumn<bool>("input");
    QTest::newRow("input") << true;
    QTest::newRow("output") << false;
  }
  void openOfAnOpenPortMakesNoServiceCall() {
    QFETCH(bool, input);
    installListed(1, 1);
    TMidiDevices& list = input ? static_cast<TMidiDevices&>(ports_->inputs()) : ports_->outputs();
    list.Open(0);
    QVERIFY(list.IsOpen(0));
    service_->clearCalls();
    list.Open(0);
    QCOMPARE(service_->calls(), std::vector<std::string>{});
    QVERIFY(list.IsOpen(0));
  }

  void inputOpenAndCloseCallTheServiceInOrder() {
    installListed(2, 0);
    ports_->inputs().Open(1);
    QCOMPARE(service_->calls(), (std::vector<std::string>{"inOpen 1", "inPrepareHeader 1",
                                                          "inAddBuffer 1", "inStart 1"}));
    QVERIFY(service_->isInputOpen(1));
    service_->clearCalls();
    ports_->inputs().Close(1);
    QCOMPARE(service_->calls(), (std::vector<std::string>{"inStop 1", "inReset 1",
                                                          "inUnprepareHeader 1", "inClose 1"}));
    QVERIFY(!ports_->inputs().IsOpen(1));
    QVERIFY(!service_->isInputOpen(1));
  }

  void closeOfAClosedInputDoesNothing() {
    installListed(1, 0);
    ports_->inputs().Close(0);
    QCOMPARE(service_->calls(), std::vector<std::string>{});
  }

  void closeOfAClosedOutputRaisesInvalidHandle() {
    install(0, 1);
    QCOMPARE(raisedText([this] { ports_->outputs().Close(0); }),
             QString("The specified device handle is invalid."));
    QCOMPARE(ports_->outputs().LastResult(), MidiResult::InvalidHandle);
    QVERIFY(!ports_->outputs().IsOpen(0));
  }

  void inputWhoseBufferCouldNotBeQueuedCountsAsOpen() {
    install(1, 0);
    service_->failNext("inAddBuffer", MidiResult::StillPlaying);
    QCOMPARE(raisedText([this] { ports_->inputs().Open(0); }), QString("The buffer is still in the queue."));
    QVERIFY(ports_->inputs().IsOpen(0));
    service_->clearCalls();
    ports_->inputs().Open(0);
    QCOMPARE(service_->calls(), std::vector<std::string>{});
    ports_->inputs().Close(0);
    QVERIFY(!service_->isInputOpen(0));
  }

  void shortSendOpensAClosedPortThatStaysOpen_data() {
    QTest::addColumn<uint>("status");
    QTest::addColumn<uint>("data1");
    QTest::addColumn<uint>("data2");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("program change goes out in two bytes")
        << 0xC0u << 5u << 0u << QByteArray::fromHex("c005");
    QTest::newRow("control change goes out in three bytes")
        << 0xB3u << 7u << 100u << QByteArray::fromHex("b30764");
  }
  void shortSendOpensAClosedPortThatStaysOpen() {
    QFETCH(uint, status);
    QFETCH(uint, data1);
    QFETCH(uint, data2);
    QFETCH(QByteArray, wire);
    install(0, 2);
    ports_->outputs().SendShortMessage(1, std::uint8_t(status), std::uint8_t(data1), std::uint8_t(data2));
    QVERIFY(ports_->outputs().IsOpen(1));
    QVERIFY(service_->isOutputOpen(1));
    const std::vector<std::uint8_t> expected(wire.begin(), wire.end());
    QCOMPARE(service_->sent(1), std::vector<std::vector<std::uint8_t>>{expected});
    ports_->outputs().SendShortMessage(1, std::uint8_t(status), std::uint8_t(data1), std::uint8_t(data2));
    const std::vector<std::string> calls = service_->calls();
    QCOMPARE(std::count(calls.begin(), calls.end(), "outOpen 1"), 1);
  }

  void longSendOnAClosedPortRaisesAndDoesNotOpen() {
    install(0, 1);
    QCOMPARE(raisedText([this] {
               ports_->outputs().SendLongMessage(0, {0xF0, 0x0F, 0x0F, 0xF7});
             }),
             QString("The specified device handle is invalid."));
    QVERIFY(!ports_->outputs().IsOpen(0));
    QVERIFY(!service_->isOutputOpen(0));
    QCOMPARE(service_->sent(0).size(), std::size_t(0));
  }

  void longSendHandsTheWholeStreamOverAsOneMessage() {
    install(0, 1);
    ports_->outputs().Open(0);
    service_->clearCalls();
    const TMemoryStream frame{0xF0, 0x0F, 0x0F, 0xF7};
    ports_->outputs().SendLongMessage(0, frame);
    QCOMPARE(service_->calls(), (std::vector<std::string>{"outPrepareHeader 0", "outLongMsg 0",
                                                          "outUnprepareHeader 0"}));
    QCOMPARE(service_->sent(0), std::vector<std::vector<std::uint8_t>>{frame});
  }

  void destroyingAListClosesItsOpenPorts() {
    InMemoryMidiService service;
    service.addInput("In");
    service.addInput("In 2");
    service.addOutput("Out");
    {
      TMidiInput input(service);
      TMidiOutput output(service);
      input.Open(1);
      output.Open(0);
      QVERIFY(service.isInputOpen(1));
      QVERIFY(service.isOutputOpen(0));
    }
    QVERIFY(!service.isInputOpen(1));
    QVERIFY(!service.isOutputOpen(0));
  }

  void destroyingAnInputWhoseCloseFailsStillReleasesIt() {
    InMemoryMidiService service;
    service.addInput("In");
    {
      TMidiInput input(service);
      input.Open(0);
      service.failNext("inStop", MidiResult::Error);
    }
    QVERIFY(!service.isInputOpen(0));
  }

  void listsEnumerateOnceAndStartAfreshWithNewPortLists() {
    install(1, 1);
    TMidiInput* first = &ports_->inputs();
    service_->addInput("Late");
    QCOMPARE(&ports_->inputs(), first);
    QCOMPARE(ports_->inputs().Ports().size(), std::size_t(1));
    ports_.reset();
    install(3, 0);
    QCOMPARE(ports_->inputs().Ports().size(), std::size_t(3));
    QCOMPARE(ports_->outputs().Ports().size(), std::size_t(0));
  }
};

QTEST_GUILESS_MAIN(TestMidiDevices)
#include "test_midi_devices.moc"
