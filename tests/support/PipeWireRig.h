// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include "support/ServerRig.h"

namespace tarvik::testing {

// A PipeWire server of the test's own, as Debian 12's desktops run one, but headless: in a
// private runtime folder, without a session manager or a session bus. JACK programs reach it
// through pipewire-jack's libjack: those this rig starts run under `pw-jack`, and the test
// process itself loads that libjack because CTest sets LD_LIBRARY_PATH as pw-jack does.
class PipeWireRig : public ServerRig {
 public:
  PipeWireRig() = default;
  // The server's one quantum at 48 kHz, in frames; set before the start (see kConfig).
  int quantum = 4096;
  ~PipeWireRig() {
    stopSimulator();
    stopServer();
  }

  // Starts the server and waits until it listens; startProblem() says why not.
  Start startServer() {
    for (const char* program : {"pipewire", "pw-jack"}) {
      if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty()) {
        startProblem_ = QStringLiteral("%1 is not installed (packages pipewire and pipewire-jack)")
                            .arg(QString::fromLatin1(program));
        return Start::Missing;
      }
    }
    // QTemporaryDir makes it 0700, as a runtime folder must be. Clients find the server's socket
    // there; nothing may lead them to a user's own server.
    if (!runtime_.isValid()) return fail(QStringLiteral("no runtime folder"));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
    qunsetenv("PIPEWIRE_RUNTIME_DIR");
    qunsetenv("PIPEWIRE_REMOTE");
    const QString config = runtime_.filePath(QStringLiteral("headless.conf"));
    QFile file(config);
    const QByteArray text = QByteArray(kConfig).replace("QUANTUM", QByteArray::number(quantum));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
      return fail(QStringLiteral("cannot write ") + config);
    file.close();

    // Its one line at info level that says the socket takes clients: connections made from then
    // on are served once its start-up ends.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PIPEWIRE_DEBUG"), QStringLiteral("mod.protocol-native:3"));
    server_.setProcessEnvironment(environment);
    server_.setProcessChannelMode(QProcess::MergedChannels);
    server_.start(QStringLiteral("pipewire"), {QStringLiteral("-c"), config});
    if (!server_.waitForStarted(10000))
      return fail(QStringLiteral("pipewire could not be started: ") + server_.errorString());
    const bool said = QTest::qWaitFor(
        [this] {
          return serverLog_.contains("Listening on 'pipewire-0'") ||
                 server_.state() != QProcess::Running;
        },
        20000);
    if (!said || server_.state() != QProcess::Running)
      return fail(QStringLiteral("pipewire did not come up: ") +
                  QString::fromLocal8Bit(serverLog_));
    return Start::Up;
  }

  // Starts `program` under pw-jack in `process`.
  static void startUnderPwJack(QProcess& process, const QString& program,
                               const QStringList& arguments) {
    process.start(QStringLiteral("pw-jack"), QStringList{program} + arguments);
  }

  // Starts tarvik-sim on JACK under pw-jack and waits for its banner. Empty on success;
  // otherwise what went wrong, with the simulator's output.
  QString startSimulator(const QString& simPath, const QStringList& options) {
    // Unlike jackd, pipewire-jack registers a port with a round trip to the server, so no wait
    // for other clients to list it follows the banner.
    return startSimulatorProcess([&](QProcess& sim) {
      startUnderPwJack(sim, simPath,
                       QStringList(options) << QStringLiteral("--api") << QStringLiteral("jack"));
    });
  }
  void stopServer() { stop(server_); }

 private:
  // What a JACK client needs of the server, and no more: the socket; the access module, without
  // which a new client never gets its permissions and jack_client_open() hangs; client nodes
  // (every JACK client is one); a driver that runs the cycles, as none comes from a sound card
  // or a session manager here; and links, which jack_connect() makes.
  //
  // PipeWire has no sync mode like the JACK tests' server: a client late in a cycle misses it,
  // and the MIDI events of that cycle are lost (pipewire-jack then also prints "'mb != NULL'
  // failed": an output found no free buffer). Long cycles that no client can change give the
  // processes their slack instead. With the sanitizers on a machine loaded five times over its
  // two cores, 1024 frames (21 ms) lost replies in 6 restores of 12, 2048 frames failed 3 runs of
  // this test in 5, and 4096 frames (85 ms) lost nothing in 6 restores and 3 runs.
  static constexpr char kConfig[] = R"(context.properties = {
    core.daemon = true
    core.name = pipewire-0
    default.clock.rate = 48000
    default.clock.quantum = QUANTUM
    default.clock.min-quantum = QUANTUM
    default.clock.max-quantum = QUANTUM
}
context.spa-libs = { support.* = support/libspa-support }
context.modules = [
    { name = libpipewire-module-protocol-native }
    { name = libpipewire-module-access }
    { name = libpipewire-module-client-node }
    { name = libpipewire-module-metadata }
    { name = libpipewire-module-spa-node-factory }
    { name = libpipewire-module-link-factory }
]
context.objects = [
    { factory = spa-node-factory
      args = { factory.name = support.node.driver node.name = Dummy-Driver priority.driver = 20000 }
    }
]
)";

  Start fail(const QString& problem) {
    startProblem_ = problem;
    stopServer();
    return Start::Failed;
  }

  QTemporaryDir runtime_;
};

}  // namespace tarvik::testing
