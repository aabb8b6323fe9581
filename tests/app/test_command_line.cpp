// SPDX-License-Identifier: MIT
#include <QTest>
#include <optional>

#include "WindowRig.h"
#include "app/CommandLine.h"
#include "app/Configurator.h"
#include "firmware/UpdateServerUrl.h"

using tarvik::CommandLine;
using tarvik::testing::WindowRig;

namespace {

// The program name first, as QApplication hands the arguments on.
QStringList withProgram(const QStringList& options) {
  return QStringList{QStringLiteral("tarvik-configurator")} + options;
}

}  // namespace

class CommandLineTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void read_data() {
    QTest::addColumn<QStringList>("options");
    // -1: the window opens; otherwise the exit code of an answer given without a window.
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("outContains");
    QTest::addColumn<QString>("errContains");

    QTest::newRow("no options open the window") << QStringList{} << -1 << QString() << QString();
    QTest::newRow("--version names program and version")
        << QStringList{"--version"} << 0 << "tarvik-configurator 1.9\n"
        << QString();
    QTest::newRow("-V is --version") << QStringList{"-V"} << 0 << "tarvik-configurator 1.9\n"
                                     << QString();
    QTest::newRow("-v is --verbose and opens the window")
        << QStringList{"-v"} << -1 << QString() << QString();
    QTest::newRow("--help lists --verbose")
        << QStringList{"--help"} << 0 << "-v, --verbose" << QString();
    QTest::newRow("--help shows usage and both options")
        << QStringList{"--help"} << 0 << "--version" << QString();
    QTest::newRow("-h is --help") << QStringList{"-h"} << 0 << "Usage:" << QString();
    QTest::newRow("help wins over an unknown option")
        << QStringList{"--bogus", "--help"} << 0 << "--help" << QString();
    QTest::newRow("unknown option is a usage error with a hint")
        << QStringList{"--bogus"} << 1 << QString() << "tarvik-configurator --help";
    QTest::newRow("single dash word is one unknown option, not -h -v ...")
        << QStringList{"-hv"} << 1 << QString() << "hv";
    QTest::newRow("update directory on another host")
        << QStringList{"--update-url", "http://127.0.0.1:8080/downloads/tarvik/"} << -1 << QString()
        << QString();
    QTest::newRow("update directory with another path is refused")
        << QStringList{"--update-url", "http://127.0.0.1:8080/firmware/"} << 1 << QString()
        << "path ends in \"/downloads/tarvik/\"";
    QTest::newRow("update directory without http is refused")
        << QStringList{"--update-url", "ftp://example.org/downloads/tarvik/"} << 1 << QString()
        << "not \"ftp://example.org/downloads/tarvik/\"";
    QTest::newRow("a file opens the window")
        << QStringList{"presets.tvk"} << -1 << QString() << QString();
    QTest::newRow("--help names the file argument")
        << QStringList{"--help"} << 0 << "[file]" << QString();
    QTest::newRow("--help names the library option")
        << QStringList{"--help"} << 0 << "--library <file>" << QString();
    QTest::newRow("--library without its file is a usage error")
        << QStringList{"--library"} << 1 << QString() << "--library";
    QTest::newRow("a second file is a usage error")
        << QStringList{"presets.tvk", "other.tvk"} << 1 << QString()
        << "unexpected argument 'other.tvk'";
  }
  void read() {
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QString, outContains);
    QFETCH(QString, errContains);

    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    const std::optional<int> answered = CommandLine().read(withProgram(options), out, err);
    out.flush();
    err.flush();

    QCOMPARE(answered.value_or(-1), exitCode);
    if (outContains.isEmpty()) {
      QCOMPARE(outText, QString());
    } else {
      QVERIFY2(outText.contains(outContains), qPrintable(outText));
    }
    if (errContains.isEmpty()) {
      QCOMPARE(errText, QString());
    } else {
      QVERIFY2(errText.contains(errContains), qPrintable(errText));
    }
  }

  // Trying the firmware update against another server: the option wins over the environment,
  // and both follow the rule of the built-in directory.
  void updateDirectoryComesFromOptionEnvironmentOrBuild_data() {
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("used");  // empty: refused
    const QString local = QStringLiteral("http://127.0.0.1:8080/downloads/tarvik/");
    const QString other = QStringLiteral("https://mirror.example/x/downloads/tarvik/");
    QTest::newRow("built in") << QString() << QStringList{}
                              << tarvik::updateServerBaseUrl().toString();
    QTest::newRow("environment") << local << QStringList{} << local;
    QTest::newRow("option wins") << local << QStringList{"--update-url", other} << other;
    QTest::newRow("environment with another path")
        << "http://127.0.0.1/tarvik/" << QStringList{} << QString();
  }
  void updateDirectoryComesFromOptionEnvironmentOrBuild() {
    QFETCH(QString, environment);
    QFETCH(QStringList, options);
    QFETCH(QString, used);
    if (environment.isEmpty()) {
      qunsetenv("TARVIK_UPDATE_BASE_URL");
    } else {
      qputenv("TARVIK_UPDATE_BASE_URL", environment.toUtf8());
    }
    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    CommandLine commandLine;
    const std::optional<int> answered = commandLine.read(withProgram(options), out, err);
    qunsetenv("TARVIK_UPDATE_BASE_URL");
    err.flush();
    if (used.isEmpty()) {
      QCOMPARE(answered.value_or(-1), 1);
      QVERIFY2(errText.contains(QStringLiteral("TARVIK_UPDATE_BASE_URL")), qPrintable(errText));
      return;
    }
    QVERIFY(!answered.has_value());
    QCOMPARE(commandLine.updateServer().toString(), used);
  }

  // Decides, before QApplication exists, whether the offscreen platform replaces the display.
  void asksForTextOnly_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("textOnly");

    QTest::newRow("no options") << QStringList{} << false;
    QTest::newRow("--help") << QStringList{"--help"} << true;
    QTest::newRow("-V") << QStringList{"-V"} << true;
    QTest::newRow("-v, the log, opens the window") << QStringList{"-v"} << false;
    QTest::newRow("--version after Qt's own options")
        << QStringList{"-style", "fusion", "--version"} << true;
    QTest::newRow("Qt's -reverse is not read as -v") << QStringList{"-reverse"} << false;
    QTest::newRow("Qt's -platform xcb") << QStringList{"-platform", "xcb"} << false;
    QTest::newRow("--help after -- is an argument, not an option")
        << QStringList{"--", "--help"} << false;
  }
  void asksForTextOnly() {
    QFETCH(QStringList, options);
    QFETCH(bool, textOnly);
    QCOMPARE(CommandLine::asksForTextOnly(withProgram(options)), textOnly);
  }

  void verbose_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("verbose");
    QTest::newRow("not asked") << QStringList{} << false;
    QTest::newRow("-v") << QStringList{"-v"} << true;
    QTest::newRow("--verbose beside another option")
        << QStringList{"--update-url", "http://127.0.0.1:8080/downloads/tarvik/", "--verbose"}
        << true;
  }
  void verbose() {
    QFETCH(QStringList, options);
    QFETCH(bool, verbose);
    CommandLine commandLine;
    QVERIFY(!commandLine.read(withProgram(options)).has_value());
    QCOMPARE(commandLine.verbose(), verbose);
  }

  void file_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("file");
    QTest::newRow("none named") << QStringList{"-v"} << QString();
    QTest::newRow("after an option") << QStringList{"-v", "a b.tvk"} << "a b.tvk";
    QTest::newRow("before an option") << QStringList{"/tmp/x.tvk", "-v"} << "/tmp/x.tvk";
    QTest::newRow("after --, a name that looks like an option")
        << QStringList{"--", "--help.tvk"} << "--help.tvk";
  }
  void file() {
    QFETCH(QStringList, options);
    QFETCH(QString, file);
    CommandLine commandLine;
    QVERIFY(!commandLine.read(withProgram(options)).has_value());
    QCOMPARE(commandLine.file(), file);
  }

  void library_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("library");
    QTest::newRow("not given: the environment or the data folder decides")
        << QStringList{"x.tvk"} << QString();
    QTest::newRow("given before the file to open")
        << QStringList{"--library", "/tmp/rigs.sqlite", "x.tvk"} << "/tmp/rigs.sqlite";
    QTest::newRow("given with =") << QStringList{"--library=a b.sqlite"} << "a b.sqlite";
  }
  void library() {
    QFETCH(QStringList, options);
    QFETCH(QString, library);
    CommandLine commandLine;
    QVERIFY(!commandLine.read(withProgram(options)).has_value());
    QCOMPARE(commandLine.library(), library);
  }

  // What --verbose wires: the machine's lines of a connect, on the stream, in the event log's
  // order and wording.
  void verboseMirrorsTheMachinesLogLines() {
    WindowRig rig;
    QString mirrored;
    QTextStream log(&mirrored);
    tarvik::mirrorMachineLog(*rig.core, log);
    QVERIFY(rig.connectAndDownload());
    log.flush();
    const QStringList lines = mirrored.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(lines.contains(QStringLiteral("download presets...")), qPrintable(mirrored));
    QVERIFY2(lines.contains(QStringLiteral("download programm change remap table complete")),
             qPrintable(mirrored));
    // Each line is one of the event log's, in the same order.
    const QStringList logged = rig.logMessages();
    qsizetype at = 0;
    for (const QString& line : lines) {
      at = logged.indexOf(line, at);
      QVERIFY2(at >= 0, qPrintable(line));
      ++at;
    }
  }
};

QTEST_MAIN(CommandLineTest)
#include "test_command_line.moc"
