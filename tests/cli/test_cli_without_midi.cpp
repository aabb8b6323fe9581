// SPDX-License-Identifier: MIT
// The real tarvik-cli where no MIDI system can be reached: no JACK server of the name it is
// given, and (on the machines the tests run on) no ALSA sequencer. ALSA and JACK then write their
// own lines about it; they are for --verbose, and without it the program's error is its one line.
#include <poll.h>
#include <signal.h>
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

#include "support/JackRig.h"

namespace {

// A JACK server that hangs, as one whose shared state is locked: the socket where a client looks
// for the server `name` takes a connection and never answers. reached() tells whether a client
// connected, also after it went; close() ends the hang with an error for a waiting client.
class HangingJack : public QObject {
  Q_OBJECT
 public:
  explicit HangingJack(const QString& name)
      : path_(QFile::encodeName(QStringLiteral("/dev/shm/jack_%1_%2_0").arg(name).arg(::getuid()))),
        fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path_.constData(), sizeof(address.sun_path) - 1);
    listening_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
                 ::listen(fd_, 8) == 0;
    connect(&notifier_, &QSocketNotifier::activated, this, &HangingJack::connected);
  }
  ~HangingJack() override { close(); }
  bool listening() const { return listening_; }
  bool reached() const {
    pollfd pending{fd_, POLLIN, 0};
    return fd_ >= 0 && ::poll(&pending, 1, 0) == 1;
  }
  void close() {
    notifier_.setEnabled(false);
    if (fd_ >= 0 && ::close(fd_) == 0 && listening_) ::unlink(path_.constData());
    fd_ = -1;
  }

 Q_SIGNALS:
  void connected();

 private:
  QByteArray path_;
  int fd_;
  bool listening_ = false;
  QSocketNotifier notifier_{fd_, QSocketNotifier::Read};
};

// A JACK server of the test's own that stops (SIGSTOP) and goes on (SIGCONT) when asked: a client
// that reaches it while it is stopped waits for its answer. It goes on before it is stopped
// itself, also when a test ends early.
class StoppedJack : public tarvik::testing::JackRig {
 public:
  ~StoppedJack() { carryOn(); }
  bool halt() { return signal(SIGSTOP); }
  bool carryOn() { return signal(SIGCONT); }

 private:
  bool signal(int number) {
    const qint64 pid = server_.processId();
    return pid > 0 && ::kill(static_cast<pid_t>(pid), number) == 0;
  }
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

  // A command on files or the library alone starts no MIDI system, so a JACK that hangs cannot
  // hold it up: it ends, and leaves no connection at the server behind.
  void aCommandWithoutTheDeviceNeverReachesJack_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("library list") << QStringList{"library", "list"} << 0;
    QTest::newRow("setlist list") << QStringList{"setlist", "list"} << 0;
    QTest::newRow("diff of a refused file")
        << QStringList{"diff", "refused.tvk", "refused.tvk"} << 2;
  }
  void aCommandWithoutTheDeviceNeverReachesJack() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QTemporaryDir dir;
    QFile refused(dir.filePath(QStringLiteral("refused.tvk")));
    QVERIFY(refused.open(QIODevice::WriteOnly) && refused.write("[settings]\r\n") > 0);
    refused.close();
    arguments.replaceInStrings(QStringLiteral("refused.tvk"), refused.fileName());
    const QString server =
        QStringLiteral("tarvik-hangs-") + QUuid::createUuid().toString(QUuid::Id128);
    HangingJack jack(server);
    QVERIFY(jack.listening());

    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("JACK_DEFAULT_SERVER"), server);
    environment.insert(QStringLiteral("JACK_NO_START_SERVER"), QStringLiteral("1"));
    environment.insert(QStringLiteral("TARVIK_LIBRARY"),
                       dir.filePath(QStringLiteral("lib.sqlite")));
    cli.setProcessEnvironment(environment);
    QEventLoop loop;
    connect(&cli, &QProcess::finished, &loop, &QEventLoop::quit);
    connect(&jack, &HangingJack::connected, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);  // only a give-up
    cli.start(QStringLiteral(TARVIK_CLI_PATH), arguments);
    loop.exec();
    if (jack.reached()) {
      jack.close();  // the client's wait ends in an error: never SIGKILL a JACK client
      if (!cli.waitForFinished(60000)) cli.terminate();
      cli.waitForFinished(60000);
      QFAIL("the command reached JACK");
    }
    QCOMPARE(cli.state(), QProcess::NotRunning);
    QCOMPARE(cli.exitCode(), exitCode);
    QVERIFY(!jack.reached());  // a connection made while it ran would still be queued
  }

  // Every command on files and the library alone, as a user chains them: each ends, and as it
  // does where a MIDI system runs, with no MIDI system at all, beside a JACK server that
  // answers nobody (stopped, as one whose shared state is locked holds its clients), and without
  // the module that holds the MIDI libraries, which they never load.
  void theFileAndLibraryCommandsNeedNoMidi_data() {
    QTest::addColumn<bool>("stoppedJack");
    QTest::addColumn<bool>("moduleMissing");
    QTest::newRow("no MIDI system at all") << false << false;
    QTest::newRow("beside a JACK server stopped with SIGSTOP") << true << false;
    QTest::newRow("without the MIDI module") << false << true;
  }
  void theFileAndLibraryCommandsNeedNoMidi() {
    QFETCH(bool, stoppedJack);
    QFETCH(bool, moduleMissing);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto path = [&dir](const char* name) { return dir.filePath(QLatin1String(name)); };
    const auto write = [](const QString& file, const QByteArray& text) {
      QFile out(file);
      return out.open(QIODevice::WriteOnly) && out.write(text) == text.size();
    };
    // Two rigs that differ in preset 2's loops.
    for (const char* name : {"Clean.tvk", "Loud.tvk"}) {
      QByteArray text;
      for (int row = 0; row < 128; ++row) {
        const int loops = row == 1 && name[0] == 'L' ? 5 : 0;
        text += QStringLiteral("[%1]\r\npc=%2\r\ncc=-1\r\npcremap=%1\r\n")
                    .arg(row)
                    .arg(loops)
                    .toLatin1();
      }
      QVERIFY(write(path(name), text));
    }
    QVERIFY(write(path("songs.txt"), "Opener\tClean\t1\nEncore\tLoud\t2\n"));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    StoppedJack jack;
    if (stoppedJack) {
      TARVIK_START_JACK_OR_SKIP(jack);  // the rig names its server in this process's environment
      environment = QProcessEnvironment::systemEnvironment();
      QVERIFY(jack.halt());
    } else {
      environment.insert(
          QStringLiteral("JACK_DEFAULT_SERVER"),
          QStringLiteral("tarvik-none-") + QUuid::createUuid().toString(QUuid::Id128));
    }
    environment.insert(QStringLiteral("JACK_NO_START_SERVER"), QStringLiteral("1"));
    environment.insert(QStringLiteral("TARVIK_LIBRARY"), path("library.sqlite"));
    environment.remove(QStringLiteral("TARVIK_CLI_CHART_MODULE"));
    if (moduleMissing) {
      environment.insert(QStringLiteral("TARVIK_CLI_MIDI_MODULE"), path("missing-midi.so"));
    }

    const struct {
      QStringList arguments;
      int exitCode;
      QString out;  // what standard output holds
    } steps[] = {
        {{"library", "import", path("Clean.tvk"), path("Loud.tvk")}, 0, {}},
        {{"library", "list"}, 0, "Clean\t"},
        {{"library", "export", "Loud", path("exported.tvk")}, 0, {}},
        {{"library", "history"}, 0, {}},
        {{"setlist", "store", "Friday", path("songs.txt")}, 0, {}},
        {{"setlist", "list"}, 0, "Friday\t2\n"},
        {{"setlist", "show", "Friday"}, 0, "1\tOpener\tClean\t1\n"},
        {{"setlist", "chart", "Friday", path("Friday.pdf")}, 0, "set chart written to "},
        {{"diff", "library:Clean", path("exported.tvk")}, 1, " -> 0x05\n"},
    };
    for (const auto& step : steps) {
      const QString command = step.arguments.mid(0, 2).join(u' ');
      QProcess cli;
      cli.setProcessEnvironment(environment);
      cli.start(QStringLiteral(TARVIK_CLI_PATH), step.arguments);
      // Seconds are plenty even under the sanitizers; a command held up by JACK waits for ever.
      if (!cli.waitForFinished(30000)) {
        cli.terminate();  // never SIGKILL a JACK client: a stopped server holds it until it goes on
        if (!cli.waitForFinished(10000)) jack.carryOn();
        cli.waitForFinished(30000);
        QFAIL(qPrintable(command + QStringLiteral(" did not end")));
      }
      const QString out = QString::fromUtf8(cli.readAllStandardOutput());
      const QString err = QString::fromUtf8(cli.readAllStandardError());
      QVERIFY2(
          cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == step.exitCode,
          qPrintable(QStringLiteral("%1: exit %2: %3").arg(command).arg(cli.exitCode()).arg(err)));
      QVERIFY2(out.contains(step.out), qPrintable(command + QStringLiteral(": ") + out));
      QVERIFY2(err.isEmpty(), qPrintable(command + QStringLiteral(": ") + err));
    }
    if (moduleMissing) {
      // A command that does need the device says what is missing, after its own checks.
      QProcess cli;
      cli.setProcessEnvironment(environment);
      cli.start(QStringLiteral(TARVIK_CLI_PATH), {QStringLiteral("ports")});
      QVERIFY(cli.waitForFinished(30000));
      const QString err = QString::fromUtf8(cli.readAllStandardError());
      QCOMPARE(cli.exitCode(), 1);
      QVERIFY2(err.startsWith(QStringLiteral("tarvik-cli: no MIDI system can be reached: ")) &&
                   err.contains(path("missing-midi.so")),
               qPrintable(err));
    }
    QFile exported(path("exported.tvk"));
    QVERIFY(exported.open(QIODevice::ReadOnly) && exported.size() > 0);
    QFile chart(path("Friday.pdf"));
    QVERIFY(chart.open(QIODevice::ReadOnly) && chart.read(5) == "%PDF-");
    if (stoppedJack) {
      QVERIFY(jack.carryOn());
      jack.stopServer();
    }
  }
};

QTEST_GUILESS_MAIN(CliWithoutMidiTest)
#include "test_cli_without_midi.moc"
