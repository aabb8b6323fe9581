// SPDX-License-Identifier: MIT
// tarvik-sim on real virtual ports: a JACK server with the dummy driver, the simulator as its own
// process, and the program's MIDI device layer on the RtMidi service talking to it.
#include <jack/jack.h>

#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "SimTestFrames.h"
#include "midi/MidiDevices.h"
#include "midi/MidiPorts.h"
#include "midi/RtMidiService.h"
#include "support/JackRig.h"

using simtest::Bytes;
using simtest::commandFrames;
using simtest::replyFrame;
using tarvik::testing::JackRig;

namespace {

// Whether the server holds a client of that name; asked through a client of the test's own.
bool serverHasClient(const char* name) {
  jack_client_t* probe = jack_client_open("test-probe", JackNoStartServer, nullptr);
  if (probe == nullptr) return false;
  char* uuid = jack_get_uuid_for_client_name(probe, name);
  const bool found = uuid != nullptr;
  jack_free(uuid);
  jack_client_close(probe);
  return found;
}

}  // namespace

class TestSimJack : public QObject {
  Q_OBJECT

  JackRig jack;

 private Q_SLOTS:
  void initTestCase() { TARVIK_START_JACK_OR_SKIP(jack); }

  void cleanupTestCase() {
    jack.stopSimulator();
    jack.stopServer();
  }

  void simAnswersThroughTheProgramsMidiLayer() {
    const QString failure = jack.startSimulator(QStringLiteral(TARVIK_SIM_PATH), {});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY2(jack.simulatorOutput().contains("tarvik-sim: firmware 1.9"),
             jack.simulatorOutput().constData());

    auto ports = std::make_unique<tarvik::MidiPorts>(std::make_unique<tarvik::RtMidiService>());
    auto& in = ports->inputs();
    auto& out = ports->outputs();
    const auto inputs = in.PortNames();
    const auto outputs = out.PortNames();
    QString seen = "inputs:";
    for (const auto& name : inputs) seen += " [" + QString::fromStdString(name) + "]";
    seen += " outputs:";
    for (const auto& name : outputs) seen += " [" + QString::fromStdString(name) + "]";
    qInfo().noquote() << seen;

    // The configurator's pre-selection: the first input whose name holds "midi", then the output
    // of the same whole name without regard to case.
    int inIndex = -1;
    for (int i = 0; i < int(inputs.size()) && inIndex < 0; ++i)
      if (QString::fromStdString(inputs[i]).toLower().contains("midi")) inIndex = i;
    QVERIFY2(inIndex >= 0, qPrintable(seen));
    QCOMPARE(QString::fromStdString(inputs[inIndex]), QString("tarvik-sim:Tarvik MIDI"));
    int outIndex = -1;
    for (int i = 0; i < int(outputs.size()) && outIndex < 0; ++i)
      if (QString::fromStdString(outputs[i])
              .compare(QString::fromStdString(inputs[inIndex]), Qt::CaseInsensitive) == 0)
        outIndex = i;
    QVERIFY2(outIndex >= 0, qPrintable(seen));

    std::vector<Bytes> replies;
    in.OnSysExMessage = [&replies](int, const tarvik::TMemoryStream& stream) {
      replies.push_back(stream);
    };
    in.Open(inIndex);
    out.Open(outIndex);
    // Sent at once: the output keeps the bytes until its connection carries.
    for (const auto& frame : commandFrames(1)) out.SendLongMessage(outIndex, frame);
    QTRY_COMPARE_WITH_TIMEOUT(replies.size(), std::size_t(1), 15000);
    QCOMPARE(replies[0], Bytes({0xF0, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7}));

    // A whole table each way: 130 frames out, then a 259-byte reply.
    for (const auto& frame : commandFrames(5, Bytes(128, 0xFF)))
      out.SendLongMessage(outIndex, frame);
    QTRY_COMPARE_WITH_TIMEOUT(replies.size(), std::size_t(2), 15000);
    QCOMPARE(replies[1], Bytes({0xF0, 0x05, 0x0F, 0x0F, 0xF7}));
    for (const auto& frame : commandFrames(2)) out.SendLongMessage(outIndex, frame);
    QTRY_COMPARE_WITH_TIMEOUT(replies.size(), std::size_t(3), 15000);
    QCOMPARE(replies[2], replyFrame(2, Bytes(128, 0xFF)));

    in.OnSysExMessage = nullptr;
    ports.reset();

    // SIGTERM ends the simulator cleanly, after it logged each command.
    QProcess& sim = jack.simulator();
    sim.terminate();
    QVERIFY(sim.waitForFinished(10000));
    const QByteArray simOutput = jack.simulatorOutput();
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY2(simOutput.contains("Identify\n"), simOutput.constData());
    QVERIFY2(simOutput.contains("SubmitPresets (128 bytes)\n"), simOutput.constData());
    QVERIFY2(simOutput.contains("tarvik-sim: stopped"), simOutput.constData());
  }

  // The faults given on the command line reach the device: the first submit is swallowed whole
  // (the Identify after it is read as usual), and every third item byte of the replies is off.
  void faultsOfTheCommandLineReachTheDevice() {
    const QString failure = jack.startSimulator(
        QStringLiteral(TARVIK_SIM_PATH), {QStringLiteral("--ignore-first-submit"),
                                          QStringLiteral("--corrupt-reply"), QStringLiteral("3")});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    auto ports = std::make_unique<tarvik::MidiPorts>(std::make_unique<tarvik::RtMidiService>());
    auto& in = ports->inputs();
    auto& out = ports->outputs();
    const auto inputs = in.PortNames();
    const auto outputs = out.PortNames();
    const auto inIndex = std::find(inputs.begin(), inputs.end(), "tarvik-sim:Tarvik MIDI");
    const auto outIndex = std::find(outputs.begin(), outputs.end(), "TARVIK-SIM:Tarvik MIDI");
    QVERIFY(inIndex != inputs.end() && outIndex != outputs.end());
    const int outPort = static_cast<int>(outIndex - outputs.begin());
    std::vector<Bytes> replies;
    in.OnSysExMessage = [&replies](int, const tarvik::TMemoryStream& stream) {
      replies.push_back(stream);
    };
    in.Open(static_cast<int>(inIndex - inputs.begin()));
    out.Open(outPort);
    // What is sent before the connection carries waits in the output until it does.
    auto send = [&](std::uint8_t command, const Bytes& payload) {
      for (const auto& frame : commandFrames(command, payload)) out.SendLongMessage(outPort, frame);
    };
    send(5, Bytes(128, 0xFF));
    send(1, {});
    QTRY_COMPARE_WITH_TIMEOUT(replies.size(), std::size_t(1), 15000);
    QCOMPARE(replies[0], Bytes({0xF0, 0x01, 0x00, 0x01, 0x01, 0x09, 0xF7}));
    send(5, Bytes(128, 0xFF));
    QTRY_COMPARE_WITH_TIMEOUT(replies.size(), std::size_t(2), 15000);
    QCOMPARE(replies[1], Bytes({0xF0, 0x05, 0x0F, 0x0E, 0xF7}));

    in.OnSysExMessage = nullptr;
    ports.reset();
    QVERIFY(jack.stopSimulator());
    const QByteArray simOutput = jack.simulatorOutput();
    QVERIFY2(simOutput.contains("SubmitPresets (128 bytes) - ignored, the first submit\n"
                                "Identify - reply byte 5 of 7 corrupted\n"),
             simOutput.constData());
  }

  // Every port the program opens is a port of its one client: two pairs open side by side make
  // no second client, and nothing of it outlives the service.
  void everyPortIsAPortOfTheProgramsOneClient() {
    const QString failure = jack.startSimulator(QStringLiteral(TARVIK_SIM_PATH), {});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    auto ports = std::make_unique<tarvik::MidiPorts>(std::make_unique<tarvik::RtMidiService>());
    auto& in = ports->inputs();
    auto& out = ports->outputs();
    const auto inputs = in.PortNames();
    const auto outputs = out.PortNames();
    const auto inIndex = std::find(inputs.begin(), inputs.end(), "tarvik-sim:Tarvik MIDI");
    const auto outIndex = std::find(outputs.begin(), outputs.end(), "TARVIK-SIM:Tarvik MIDI");
    QVERIFY(inIndex != inputs.end() && outIndex != outputs.end());
    // The wait ends on its event; the time-out only keeps a lost one from hanging the run.
    QEventLoop loop;
    QTimer timeOut;
    timeOut.setSingleShot(true);
    QObject::connect(&timeOut, &QTimer::timeout, &loop, &QEventLoop::quit);
    std::vector<Bytes> replies;
    in.OnSysExMessage = [&replies, &loop](int, const tarvik::TMemoryStream& stream) {
      replies.push_back(stream);
      loop.quit();
    };
    in.Open(static_cast<int>(inIndex - inputs.begin()));
    out.Open(static_cast<int>(outIndex - outputs.begin()));
    for (const auto& frame : commandFrames(1))
      out.SendLongMessage(static_cast<int>(outIndex - outputs.begin()), frame);
    timeOut.start(15000);
    if (replies.empty()) loop.exec();
    QCOMPARE(replies.size(), std::size_t(1));
    QCOMPARE(replies[0], Bytes({0xF0, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7}));

    QVERIFY(serverHasClient("Tarvik Configurator"));
    QVERIFY(!serverHasClient("Tarvik Configurator-01"));
    in.OnSysExMessage = nullptr;
    ports.reset();
    QVERIFY(!serverHasClient("Tarvik Configurator"));
    jack.stopSimulator();
  }
};

QTEST_GUILESS_MAIN(TestSimJack)
#include "test_sim_jack.moc"
