// SPDX-License-Identifier: MIT
// tarvik-sim on real virtual ports: a JACK server with the dummy driver, the simulator as its own
// process, and the program's MIDI device layer on the RtMidi service talking to it.
#include "SimTestFrames.h"

#include "midi/MidiDevices.h"
#include "midi/RtMidiService.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <memory>

using simtest::Bytes;
using simtest::commandFrames;
using simtest::replyFrame;

class TestSimJack : public QObject {
  Q_OBJECT

  QProcess jackd;
  QProcess sim;
  QByteArray simOutput;
  QString serverName;

  // jack_wait where it exists, else jack_lsp until it finds the server.
  bool waitForServer() {
    const QString jackWait = QStandardPaths::findExecutable("jack_wait");
    if (!jackWait.isEmpty()) {
      QProcess wait;
      wait.start(jackWait, {"-w", "-t", "10"});
      return wait.waitForFinished(20000) && wait.exitStatus() == QProcess::NormalExit &&
             wait.exitCode() == 0;
    }
    const QString jackLsp = QStandardPaths::findExecutable("jack_lsp");
    if (jackLsp.isEmpty()) return false;
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && jackd.state() == QProcess::Running) {
      QProcess lsp;
      lsp.start(jackLsp, {});
      if (lsp.waitForFinished(5000) && lsp.exitCode() == 0) return true;
      QTest::qWait(100);
    }
    return false;
  }

  static void stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return;
    process.terminate();  // SIGTERM to this process's own id
    if (!process.waitForFinished(10000)) {
      process.kill();
      process.waitForFinished(5000);
    }
  }

 private Q_SLOTS:
  void initTestCase() {
    const QString jackdPath = QStandardPaths::findExecutable("jackd");
    if (jackdPath.isEmpty()) QSKIP("jackd is not installed: no virtual MIDI ports to test on");
    // A server of our own name, so that parallel tests and a user's server are left alone;
    // libjack clients (RtMidi here and in the simulator) find it through this variable.
    serverName = QStringLiteral("tarvik-test-%1").arg(QCoreApplication::applicationPid());
    qputenv("JACK_DEFAULT_SERVER", serverName.toUtf8());
    jackd.setProcessChannelMode(QProcess::MergedChannels);
    jackd.start(jackdPath, {"-n", serverName, "--no-realtime", "-d", "dummy", "-r", "48000",
                            "-p", "256"});
    if (!jackd.waitForStarted(10000)) QSKIP("jackd could not be started");
    if (!waitForServer()) {
      const QByteArray log = jackd.readAll();
      stop(jackd);
      QSKIP(qPrintable("the JACK server did not come up: " + QString::fromLocal8Bit(log)));
    }
  }

  void cleanupTestCase() {
    tarvik::DestroyMidiDevices();
    stop(sim);
    stop(jackd);
  }

  void simAnswersThroughTheProgramsMidiLayer() {
    sim.setProcessChannelMode(QProcess::MergedChannels);
    sim.start(QStringLiteral(TARVIK_SIM_PATH), {"--api", "jack"});
    QVERIFY(sim.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT((simOutput += sim.readAll()).contains("tarvik-sim: firmware 1.9"),
                             20000);

    tarvik::SetMidiService(std::make_unique<tarvik::RtMidiService>());
    auto& in = tarvik::MidiIn();
    auto& out = tarvik::MidiOut();
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
      if (QString::fromStdString(outputs[i]).compare(QString::fromStdString(inputs[inIndex]),
                                                     Qt::CaseInsensitive) == 0)
        outIndex = i;
    QVERIFY2(outIndex >= 0, qPrintable(seen));

    std::vector<Bytes> replies;
    in.OnSysExMessage = [&replies](int, const tarvik::TMemoryStream& stream) {
      replies.push_back(stream);
    };
    in.Open(inIndex);
    out.Open(outIndex);

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
    tarvik::DestroyMidiDevices();

    // SIGTERM ends the simulator cleanly, after it logged each command.
    sim.terminate();
    QVERIFY(sim.waitForFinished(10000));
    simOutput += sim.readAll();
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY2(simOutput.contains("Identify\n"), simOutput.constData());
    QVERIFY2(simOutput.contains("SubmitPresets (128 bytes)\n"), simOutput.constData());
    QVERIFY2(simOutput.contains("tarvik-sim: stopped"), simOutput.constData());
  }
};

QTEST_GUILESS_MAIN(TestSimJack)
#include "test_sim_jack.moc"
