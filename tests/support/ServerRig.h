// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>
#include <functional>

namespace tarvik::testing {

// What the JACK and the PipeWire rig share: a sound server process of the test's own and
// tarvik-sim on it, both stopped by their own process ids, never by name, so that a user's server
// and parallel tests are left alone. Every wait keeps the event loop running, so a window under
// test goes on handling its input and both processes' output is read as it comes.
class ServerRig {
 public:
  // What startServer() came to. Only a machine without the server cannot run its tests: where it
  // is installed (as in CI) a server that does not come up is a failure of the test.
  enum class Start { Up, Missing, Failed };

  ServerRig(const ServerRig&) = delete;
  ServerRig& operator=(const ServerRig&) = delete;

  QString startProblem() const { return startProblem_; }

  // Ends the simulator with SIGTERM, which it answers with a clean stop; a simulator that does
  // not stop is killed. True when it stopped by itself with exit code 0.
  bool stopSimulator() { return stop(sim_); }

  QProcess& simulator() { return sim_; }
  // What the simulator printed so far: its banner and one line per command it handled.
  QByteArray simulatorOutput() {
    simLog_ += sim_.readAll();
    return simLog_;
  }
  QByteArray serverOutput() {
    serverLog_ += server_.readAll();
    return serverLog_;
  }

  static bool finishes(QProcess& process, int timeoutMs) {
    return QTest::qWaitFor([&process] { return process.state() == QProcess::NotRunning; },
                           timeoutMs);
  }

 protected:
  ServerRig() {
    QObject::connect(&server_, &QProcess::readyRead, &server_, [this] {
      serverLog_ += server_.readAll();
      // The dummy drivers report every missed cycle; only the end is of interest after a failure.
      if (serverLog_.size() > kServerLogLimit) serverLog_ = serverLog_.right(kServerLogLimit / 2);
    });
    QObject::connect(&sim_, &QProcess::readyRead, &sim_, [this] { simLog_ += sim_.readAll(); });
  }
  ~ServerRig() = default;

  // Starts the simulator through `start` and waits for its banner, which it prints after both of
  // its ports were registered. Empty on success; otherwise what went wrong, with its output.
  QString startSimulatorProcess(const std::function<void(QProcess&)>& start) {
    if (server_.state() != QProcess::Running) return QStringLiteral("no server is running");
    simLog_.clear();
    sim_.setProcessChannelMode(QProcess::MergedChannels);
    start(sim_);
    if (!sim_.waitForStarted(10000))
      return QStringLiteral("tarvik-sim could not be started: ") + sim_.errorString();
    const bool announced = QTest::qWaitFor(
        [this] {
          return simLog_.contains("tarvik-sim: firmware ") || sim_.state() != QProcess::Running;
        },
        20000);
    if (!announced || sim_.state() != QProcess::Running)
      return QStringLiteral("tarvik-sim did not come up: ") +
             QString::fromLocal8Bit(simulatorOutput());
    return {};
  }

  static bool stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return false;
    process.terminate();  // SIGTERM to this process's own id
    if (finishes(process, 10000))
      return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    process.kill();
    process.waitForFinished(5000);
    return false;
  }

  QProcess server_;
  QProcess sim_;
  QByteArray serverLog_;
  QByteArray simLog_;
  QString startProblem_;

 private:
  static constexpr qsizetype kServerLogLimit = 256 * 1024;
};

}  // namespace tarvik::testing

// Starts the rig's server. Skips the calling test function (initTestCase: the whole test) where
// the server is not installed, and fails it where it is installed but did not come up.
#define TARVIK_START_SERVER_OR_SKIP(rig)                         \
  do {                                                           \
    const auto started = (rig).startServer();                    \
    if (started == ::tarvik::testing::ServerRig::Start::Missing) \
      QSKIP(qPrintable((rig).startProblem()));                   \
    if (started != ::tarvik::testing::ServerRig::Start::Up)      \
      QFAIL(qPrintable((rig).startProblem()));                   \
  } while (false)
#define TARVIK_START_JACK_OR_SKIP(rig) TARVIK_START_SERVER_OR_SKIP(rig)
#define TARVIK_START_PIPEWIRE_OR_SKIP(rig) TARVIK_START_SERVER_OR_SKIP(rig)
