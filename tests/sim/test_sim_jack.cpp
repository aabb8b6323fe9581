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

// The simulator's replies on the port lists' input, each ending a turn of the event loop, so a
// wait ends on its event; the time-out only keeps a lost one from hanging the run.
struct Replies {
  explicit Replies(tarvik::MidiPorts& ports) {
    ports.inputs().OnSysExMessage = [this](int, const tarvik::TMemoryStream& stream) {
      all.push_back(stream);
      loop.quit();
    };
  }
  bool await(std::size_t count) {
    QTimer timeOut;
    timeOut.setSingleShot(true);
    bool late = false;
    QObject::connect(&timeOut, &QTimer::timeout, &loop, [&] {
      late = true;
      loop.quit();
    });
    timeOut.start(15000);
    while (all.size() < count && !late) loop.exec();
    return all.size() >= count;
  }
  std::vector<Bytes> all;
  QEventLoop loop;
};

// Opens the simulator's two JACK ports on `ports`: the output's index, -1 when they are not
// listed.
int openSimulatorPair(tarvik::MidiPorts& ports) {
  const auto inputs = ports.inputs().PortNames();
  const auto outputs = ports.outputs().PortNames();
  const auto in = std::find(inputs.begin(), inputs.end(), "tarvik-sim:Tarvik MIDI");
  const auto out = std::find(outputs.begin(), outputs.end(), "TARVIK-SIM:Tarvik MIDI");
  if (in == inputs.end() || out == outputs.end()) return -1;
  ports.inputs().Open(static_cast<int>(in - inputs.begin()));
  ports.outputs().Open(static_cast<int>(out - outputs.begin()));
  return static_cast<int>(out - outputs.begin());
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

    Replies replies(*ports);
    in.Open(inIndex);
    out.Open(outIndex);
    // Sent at once: the output keeps the bytes until its connection carries.
    for (const auto& frame : commandFrames(1)) out.SendLongMessage(outIndex, frame);
    QVERIFY(replies.await(1));
    QCOMPARE(replies.all[0], Bytes({0xF0, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7}));

    // A whole table each way: 130 frames out, then a 259-byte reply.
    for (const auto& frame : commandFrames(5, Bytes(128, 0xFF)))
      out.SendLongMessage(outIndex, frame);
    QVERIFY(replies.await(2));
    QCOMPARE(replies.all[1], Bytes({0xF0, 0x05, 0x0F, 0x0F, 0xF7}));
    for (const auto& frame : commandFrames(2)) out.SendLongMessage(outIndex, frame);
    QVERIFY(replies.await(3));
    QCOMPARE(replies.all[2], replyFrame(2, Bytes(128, 0xFF)));

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
    Replies replies(*ports);
    const int outPort = openSimulatorPair(*ports);
    QVERIFY(outPort >= 0);
    auto& out = ports->outputs();
    // What is sent before the connection carries waits in the output until it does.
    auto send = [&](std::uint8_t command, const Bytes& payload) {
      for (const auto& frame : commandFrames(command, payload)) out.SendLongMessage(outPort, frame);
    };
    send(5, Bytes(128, 0xFF));
    send(1, {});
    QVERIFY(replies.await(1));
    QCOMPARE(replies.all[0], Bytes({0xF0, 0x01, 0x00, 0x01, 0x01, 0x09, 0xF7}));
    send(5, Bytes(128, 0xFF));
    QVERIFY(replies.await(2));
    QCOMPARE(replies.all[1], Bytes({0xF0, 0x05, 0x0F, 0x0E, 0xF7}));

    ports->inputs().OnSysExMessage = nullptr;
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
    Replies replies(*ports);
    const int outPort = openSimulatorPair(*ports);
    QVERIFY(outPort >= 0);
    for (const auto& frame : commandFrames(1)) ports->outputs().SendLongMessage(outPort, frame);
    QVERIFY(replies.await(1));
    QCOMPARE(replies.all.size(), std::size_t(1));
    QCOMPARE(replies.all[0], Bytes({0xF0, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7}));

    QVERIFY(serverHasClient("Tarvik Configurator"));
    QVERIFY(!serverHasClient("Tarvik Configurator-01"));
    ports->inputs().OnSysExMessage = nullptr;
    ports.reset();
    QVERIFY(!serverHasClient("Tarvik Configurator"));
    jack.stopSimulator();
  }
};

QTEST_GUILESS_MAIN(TestSimJack)
#include "test_sim_jack.moc"
