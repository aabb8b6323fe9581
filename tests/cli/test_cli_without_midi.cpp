// SPDX-License-Identifier: MIT
// The real tarvik-cli where no MIDI system can be reached: no JACK server of the name it is
// given, and (on the machines the tests run on) no ALSA sequencer. ALSA and JACK then write their
// own lines about it; they are for --verbose, and without it the program's error is its one line.
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUuid>
#include <cstring>
#include <memory>

namespace {

// A listening socket where a JACK client looks for the server `name`, that accepts nothing:
// reached() tells whether a client connected, also after the client has gone.
class HangingJackServer : public QObject {
  Q_OBJECT
 public:
  explicit HangingJackServer(const QString& name)
      : path_(QStringLiteral("/dev/shm/jack_%1_%2_0").arg(name).arg(::getuid())) {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path_);
    if (fd_ < 0 || bytes.size() >= qsizetype(sizeof(address.sun_path))) return;
    std::memcpy(address.sun_path, bytes.constData(), std::size_t(bytes.size()));
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(fd_, 8) != 0) {
      return;
    }
    listening_ = true;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this,
                     [this] { Q_EMIT connected(); });
  }
  ~HangingJackServer() override { close(); }

  bool listening() const { return listening_; }
  const QString& path() const { return path_; }
  bool reached() {
    if (fd_ < 0) return false;
    pollfd pending{fd_, POLLIN, 0};
    return ::poll(&pending, 1, 0) == 1;
  }
  void close() {
    notifier_.reset();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (listening_) QFile::remove(path_);
    listening_ = false;
  }

 Q_SIGNALS:
  void connected();

 private:
  QString path_;
  int fd_ = -1;
  bool listening_ = false;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace

class CliWithoutMidiTest : public QObject {
  Q_OBJECT

  struct Run {
    int exitCode = -1;
    QStringList errLines;
  };

  static Run run(const QStringList& arguments) {
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // A server name nobody runs, and none started for it.
    environment.insert(QStringLiteral("JACK_DEFAULT_SERVER"),
                       QStringLiteral("tarvik-none-") + QUuid::createUuid().toString(QUuid::Id128));
    environment.insert(QStringLiteral("JACK_NO_START_SERVER"), QStringLiteral("1"));
    cli.setProcessEnvironment(environment);
    cli.start(QStringLiteral(TARVIK_CLI_PATH), arguments);
    Run result;
    if (!cli.waitForFinished(60000)) {
      cli.kill();
      cli.waitForFinished();
      return result;
    }
    if (cli.exitStatus() == QProcess::NormalExit) result.exitCode = cli.exitCode();
    result.errLines = QString::fromLocal8Bit(cli.readAllStandardError())
                          .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return result;
  }

 private Q_SLOTS:
  void theLibrariesSpeakOnlyWhenAskedTo_data() {
    QTest::addColumn<bool>("verbose");
    QTest::newRow("plain: the program's own line alone") << false;
    QTest::newRow("--verbose: what ALSA and JACK said, then the program's line") << true;
  }
  void theLibrariesSpeakOnlyWhenAskedTo() {
    QFETCH(bool, verbose);
    const Run plain = run({QStringLiteral("ports")});
    if (plain.exitCode == 0) QSKIP("a MIDI system was reached here: nothing fails to report");
    QCOMPARE(plain.exitCode, 1);
    QCOMPARE(plain.errLines.size(), 1);
    const QString ownLine = plain.errLines.front();
    QVERIFY2(ownLine.startsWith(QStringLiteral("tarvik-cli: No MIDI ports are available: ")),
             qPrintable(ownLine));
    if (!verbose) return;

    const Run loud = run({QStringLiteral("ports"), QStringLiteral("--verbose")});
    QCOMPARE(loud.exitCode, 1);
    QVERIFY2(loud.errLines.size() > 1, qPrintable(loud.errLines.join('\n')));
    QCOMPARE(loud.errLines.constLast(), ownLine);
    // JACK's client library said the server could not be reached, in its own words.
    const QStringList libraries = loud.errLines.mid(0, loud.errLines.size() - 1);
    QVERIFY2(!libraries.filter(QStringLiteral("server"), Qt::CaseInsensitive).isEmpty(),
             qPrintable(libraries.join('\n')));
    QVERIFY(libraries.filter(QStringLiteral("tarvik-cli")).isEmpty());
  }

  // A command on files or the library alone starts no MIDI system. The JACK server here is one
  // that hangs: its socket takes a client's connection and never answers, as a JACK whose
  // shared state is locked leaves a client waiting. A command that reached it would hang with
  // it; one that never does ends, and leaves no connection behind.
  void aCommandWithoutTheDeviceNeverReachesJack_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("library list") << QStringList{"library", "list"} << 0;
    QTest::newRow("setlist list") << QStringList{"setlist", "list"} << 0;
    QTest::newRow("diff of a refused file") << QStringList{"diff", "refused.tvk", "refused.tvk"}
                                            << 2;
  }
  void aCommandWithoutTheDeviceNeverReachesJack() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile refused(dir.filePath(QStringLiteral("refused.tvk")));
    QVERIFY(refused.open(QIODevice::WriteOnly));
    refused.write("[settings]\r\n");
    refused.close();
    for (QString& argument : arguments) {
      if (argument.endsWith(QLatin1String(".tvk"))) argument = dir.filePath(argument);
    }
    const QString server = QStringLiteral("tarvik-hangs-") + QUuid::createUuid().toString(QUuid::Id128);
    HangingJackServer jack(server);
    QVERIFY2(jack.listening(), qPrintable(jack.path()));

    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("JACK_DEFAULT_SERVER"), server);
    environment.insert(QStringLiteral("JACK_NO_START_SERVER"), QStringLiteral("1"));
    environment.insert(QStringLiteral("TARVIK_LIBRARY"), dir.filePath(QStringLiteral("lib.sqlite")));
    cli.setProcessEnvironment(environment);
    QEventLoop loop;
    QObject::connect(&cli, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&jack, &HangingJackServer::connected, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);  // only a give-up
    cli.start(QStringLiteral(TARVIK_CLI_PATH), arguments);
    loop.exec();
    if (jack.reached()) {
      // The server goes: the client's wait ends in an error, and the program ends of itself.
      jack.close();
      if (!cli.waitForFinished(60000)) {
        cli.terminate();  // never SIGKILL a JACK client
        cli.waitForFinished(60000);
      }
      QFAIL("the command reached JACK");
    }
    QCOMPARE(cli.state(), QProcess::NotRunning);
    QCOMPARE(cli.exitCode(), exitCode);
    // What came while the program ran is still queued at the socket.
    QVERIFY(!jack.reached());
  }
};

QTEST_GUILESS_MAIN(CliWithoutMidiTest)
#include "test_cli_without_midi.moc"
