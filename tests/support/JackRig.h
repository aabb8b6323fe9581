// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTest>
#include <optional>

#include "support/ServerRig.h"

namespace tarvik::testing {

// Real virtual MIDI ports for tests: a JACK server of the test's own (dummy driver, so no sound
// card is needed) and tarvik-sim as a separate process on it.
class JackRig : public ServerRig {
 public:
  // The simulator's ports as JACK lists them: the device's output (an input for the
  // configurator) and the device's input, in two clients whose names differ only in case.
  static inline const QString deviceOutputPort = QStringLiteral("tarvik-sim:Tarvik MIDI");
  static inline const QString deviceInputPort = QStringLiteral("TARVIK-SIM:Tarvik MIDI");

  // Frames per JACK cycle, read when the server starts. The server runs in sync mode with a
  // long client time-out: a client that is late in a cycle (as on a busy machine under the
  // sanitizers) then delays the cycle instead of missing it, and a missed cycle (an xrun) loses
  // the MIDI events in it. In the default asynchronous mode, with both cores busy, 256 frames
  // lost events in about one run of five, and even 4096 frames now and then; in sync mode 1024
  // frames (21 ms) lost none.
  int periodFrames = 1024;
  // The server program, looked up on PATH unless it is a path; tests of the rig point it
  // elsewhere.
  QString jackdProgram = QStringLiteral("jackd");

  JackRig() = default;
  ~JackRig() {
    stopSimulator();
    stopServer();
  }

  // Starts the server and waits until clients can reach it; startProblem() says why not.
  Start startServer() {
    startProblem_.clear();
    const QString jackdPath = QStandardPaths::findExecutable(jackdProgram);
    if (jackdPath.isEmpty()) {
      startProblem_ =
          jackdProgram + QStringLiteral(" is not installed: no virtual MIDI ports to test on");
      return Start::Missing;
    }
    static int serversStarted = 0;
    serverName_ = QStringLiteral("tarvik-test-%1-%2")
                      .arg(QCoreApplication::applicationPid())
                      .arg(++serversStarted);
    // libjack clients (RtMidi in this process and in the simulator, jack_lsp) find the server
    // through this variable. None of them may start a server of their own when ours is gone.
    savedServer_ = saveEnv("JACK_DEFAULT_SERVER");
    savedNoStart_ = saveEnv("JACK_NO_START_SERVER");
    envChanged_ = true;
    qputenv("JACK_DEFAULT_SERVER", serverName_.toUtf8());
    qputenv("JACK_NO_START_SERVER", "1");

    server_.setProcessChannelMode(QProcess::MergedChannels);
    server_.start(jackdPath,
                  {QStringLiteral("-n"), serverName_, QStringLiteral("--no-realtime"),
                   QStringLiteral("--sync"), QStringLiteral("--timeout"), QStringLiteral("10000"),
                   QStringLiteral("-d"), QStringLiteral("dummy"), QStringLiteral("-r"),
                   QStringLiteral("48000"), QStringLiteral("-p"), QString::number(periodFrames)});
    if (!server_.waitForStarted(10000)) {
      startProblem_ = QStringLiteral("jackd could not be started: ") + server_.errorString();
      stopServer();
      return Start::Failed;
    }
    if (!waitForServer()) {
      startProblem_ = QStringLiteral("the JACK server did not come up: ") +
                      QString::fromLocal8Bit(serverOutput());
      stopServer();
      return Start::Failed;
    }
    return Start::Up;
  }

  // The server, then tarvik-sim on it (the benchmarks' start): empty when both are up, else why
  // not.
  QString startWithSimulator(const QString& simPath, const QStringList& options) {
    if (startServer() != Start::Up) return startProblem();
    return startSimulator(simPath, options);
  }

  // Starts tarvik-sim on JACK with the given options and waits until both of its ports are
  // listed. Empty on success; otherwise what went wrong, with the simulator's output.
  QString startSimulator(const QString& simPath, const QStringList& options) {
    if (QString failure = startSimulatorProcess([&](QProcess& sim) {
          sim.start(simPath, QStringList(options)
                                 << QStringLiteral("--api") << QStringLiteral("jack"));
        });
        !failure.isEmpty())
      return failure;
    QStringList listed;
    QDeadlineTimer deadline(20000);
    while (true) {
      listed = listPorts().value_or(QStringList());
      if (listed.contains(deviceOutputPort) && listed.contains(deviceInputPort)) return {};
      if (deadline.hasExpired()) break;
      QTest::qWait(100);
    }
    return QStringLiteral("the simulator's ports are not listed; JACK lists: ") +
           listed.join(QStringLiteral(", ")) + QStringLiteral("; tarvik-sim said: ") +
           QString::fromLocal8Bit(simulatorOutput());
  }

  void stopServer() {
    stop(server_);
    if (envChanged_) {
      restoreEnv("JACK_DEFAULT_SERVER", savedServer_);
      restoreEnv("JACK_NO_START_SERVER", savedNoStart_);
      envChanged_ = false;
    }
  }

  // Every port the server lists; nothing when jack_lsp is missing or fails.
  std::optional<QStringList> listPorts() {
    const QString jackLsp = QStandardPaths::findExecutable(QStringLiteral("jack_lsp"));
    if (jackLsp.isEmpty()) return std::nullopt;
    QProcess lsp;
    lsp.start(jackLsp, {});
    if (!lsp.waitForStarted(5000) || !finishes(lsp, 10000) ||
        lsp.exitStatus() != QProcess::NormalExit || lsp.exitCode() != 0)
      return std::nullopt;
    QStringList ports;
    for (const QString& line : QString::fromLocal8Bit(lsp.readAllStandardOutput())
                                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts))
      ports << line.trimmed();
    return ports;
  }

  QString serverName() const { return serverName_; }

 private:
  // jack_wait where it exists, else jack_lsp until the server answers. A server that has ended
  // will not come up: the wait stops there.
  bool waitForServer() {
    const QString jackWait = QStandardPaths::findExecutable(QStringLiteral("jack_wait"));
    if (!jackWait.isEmpty()) {
      QProcess wait;
      wait.start(jackWait, {QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("20")});
      if (!wait.waitForStarted(5000)) return false;
      // The verdict comes from the two processes' states below, not from this wait.
      static_cast<void>(QTest::qWaitFor(
          [&] {
            return wait.state() == QProcess::NotRunning || server_.state() != QProcess::Running;
          },
          30000));
      const bool up = server_.state() == QProcess::Running &&
                      wait.state() == QProcess::NotRunning &&
                      wait.exitStatus() == QProcess::NormalExit && wait.exitCode() == 0;
      if (wait.state() != QProcess::NotRunning) {
        wait.kill();
        wait.waitForFinished(5000);
      }
      return up;
    }
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && server_.state() == QProcess::Running) {
      if (listPorts()) return true;
      QTest::qWait(100);
    }
    return false;
  }

  static std::optional<QByteArray> saveEnv(const char* name) {
    if (!qEnvironmentVariableIsSet(name)) return std::nullopt;
    return qgetenv(name);
  }
  static void restoreEnv(const char* name, const std::optional<QByteArray>& value) {
    if (value)
      qputenv(name, *value);
    else
      qunsetenv(name);
  }

  QString serverName_;
  std::optional<QByteArray> savedServer_;
  std::optional<QByteArray> savedNoStart_;
  bool envChanged_ = false;
};

}  // namespace tarvik::testing
