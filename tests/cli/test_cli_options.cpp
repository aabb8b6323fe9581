// SPDX-License-Identifier: MIT
// The command line of tarvik-cli and its port choice, without any device.
#include <QTest>

#include "cli/CliOptions.h"
#include "cli/CliRun.h"
#include "cli/PortChoice.h"

using namespace tarvik::cli;

namespace {

const QUrl kDefaultServer(QStringLiteral("http://updates.example/downloads/tarvik/"));

CliParse parse(const QStringList& arguments, const QString& environment = {}) {
  return parseCommandLine(QStringList{QStringLiteral("/usr/local/bin/tarvik-cli")} + arguments,
                          kDefaultServer, environment);
}

std::vector<std::string> names(const QStringList& list) {
  std::vector<std::string> result;
  for (const QString& name : list) result.push_back(name.toStdString());
  return result;
}

}  // namespace

class CliOptionsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void usageErrors_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("says");
    QTest::newRow("no command") << QStringList{} << "no command given";
    QTest::newRow("unknown command") << QStringList{"erase"} << "unknown command \"erase\"";
    QTest::newRow("unknown option") << QStringList{"info", "--fast"} << "fast";
    QTest::newRow("backup without a file") << QStringList{"backup"} << "backup needs a file";
    QTest::newRow("restore without a file") << QStringList{"restore"} << "restore needs a file";
    QTest::newRow("flash without a file") << QStringList{"flash"} << "flash needs a file";
    QTest::newRow("flash with a file and the server")
        << QStringList{"flash", "f.txt", "--from-server"} << "not both";
    QTest::newRow("--no-backup only with flash")
        << QStringList{"backup", "x.tvk", "--no-backup"} << "--no-backup belongs to flash";
    QTest::newRow("a file where none belongs") << QStringList{"info", "x.tvk"} << "\"x.tvk\"";
    QTest::newRow("two files") << QStringList{"backup", "a.tvk", "b.tvk"} << "\"b.tvk\"";
    QTest::newRow("--in without its text") << QStringList{"info", "--in"} << "in";
    QTest::newRow("--in with an empty text") << QStringList{"info", "--in", ""} << "--in and --out";
    QTest::newRow("server option outside flash")
        << QStringList{"backup", "a.tvk", "--from-server"} << "belong to flash";
    QTest::newRow("update URL without the server")
        << QStringList{"flash", "f.txt", "--update-url", "http://h/downloads/tarvik/"}
        << "needs --from-server";
    QTest::newRow("update URL in another directory")
        << QStringList{"flash", "--from-server", "--update-url", "http://h/downloads/other/"}
        << "/downloads/tarvik/";
    QTest::newRow("update URL without its last slash")
        << QStringList{"flash", "--from-server", "--update-url", "http://h/downloads/tarvik"}
        << "/downloads/tarvik/";
    QTest::newRow("update URL over ftp")
        << QStringList{"flash", "--from-server", "--update-url", "ftp://h/downloads/tarvik/"}
        << "http(s)";
    QTest::newRow("library without its sub-command") << QStringList{"library"} << "list, import";
    QTest::newRow("an unknown library sub-command")
        << QStringList{"library", "erase"} << "unknown library command \"erase\"";
    QTest::newRow("library import without a file")
        << QStringList{"library", "import"} << "library import needs a file";
    QTest::newRow("library export without its file")
        << QStringList{"library", "export", "live"} << "needs a setup's name and a file";
    QTest::newRow("library store without a name")
        << QStringList{"library", "store"} << "library store needs a setup's name";
    QTest::newRow("library list with an argument")
        << QStringList{"library", "list", "live"} << "\"live\"";
    QTest::newRow("--replace where nothing is stored")
        << QStringList{"library", "restore", "live", "--replace"} << "--replace belongs";
    QTest::newRow("--replace outside the library")
        << QStringList{"backup", "a.tvk", "--replace"} << "--replace belongs";
    QTest::newRow("diff with one side") << QStringList{"diff", "device"} << "diff needs two sides";
    QTest::newRow("diff with three sides")
        << QStringList{"diff", "device", "a.tvk", "b.tvk"} << "diff needs two sides";
    QTest::newRow("--library with an empty file")
        << QStringList{"library", "list", "--library", ""} << "--library needs a file";
    QTest::newRow("loops swap of loop 0")
        << QStringList{"loops", "swap", "0", "3", "--onto", "device", "x.tvk"}
        << "a loop is a number from 1 to 8, not \"0\"";
    QTest::newRow("loops swap of loop 9")
        << QStringList{"loops", "swap", "2", "9", "--onto", "device", "x.tvk"} << "not \"9\"";
    QTest::newRow("loops swap of one loop with itself")
        << QStringList{"loops", "swap", "4", "4", "--onto", "device", "x.tvk"}
        << "two different loops";
    QTest::newRow("loops swap without --onto")
        << QStringList{"loops", "swap", "1", "2", "x.tvk"} << "needs --onto SOURCE";
    QTest::newRow("loops swap without its file")
        << QStringList{"loops", "swap", "1", "2", "--onto", "device"} << "two loops and a file";
    QTest::newRow("--onto outside setlist arrange and loops swap")
        << QStringList{"backup", "x.tvk", "--onto", "device"} << "--onto belongs to";
    QTest::newRow("--only outside restore")
        << QStringList{"backup", "x.tvk", "--only", "presets"} << "--only belongs to restore";
    QTest::newRow("--only with a library command that sends nothing")
        << QStringList{"library", "export", "gig", "x.tvk", "--only", "presets"}
        << "--only belongs to restore";
    QTest::newRow("--only without parts")
        << QStringList{"restore", "x.tvk", "--only", ""} << "--only needs the parts";
    QTest::newRow("--only with a part that has a sign")
        << QStringList{"restore", "x.tvk", "--only", "ccmap:+3"} << "rows are numbers";
    QTest::newRow("linktest of no identify")
        << QStringList{"linktest", "0"} << "linktest takes a count from 1 to 1000, not \"0\"";
    QTest::newRow("linktest of more than a thousand")
        << QStringList{"linktest", "1001"} << "not \"1001\"";
    QTest::newRow("linktest of a word") << QStringList{"linktest", "five"} << "not \"five\"";
    QTest::newRow("linktest of two counts") << QStringList{"linktest", "5", "6"} << "\"6\"";
    QTest::newRow("--no-backup outside flash, linktest")
        << QStringList{"linktest", "--no-backup"} << "--no-backup belongs to flash";
    QTest::newRow("--pace beyond the slowest")
        << QStringList{"restore", "x.tvk", "--pace", "21"}
        << "--pace takes milliseconds from 0 to 20, not \"21\"";
    QTest::newRow("--pace below nothing") << QStringList{"info", "--pace", "-1"} << "not \"-1\"";
    QTest::newRow("--pace of a word")
        << QStringList{"backup", "x.tvk", "--pace", "slow"} << "not \"slow\"";
    QTest::newRow("--retries beyond five") << QStringList{"restore", "x.tvk", "--retries", "6"}
                                           << "--retries takes a count from 0 to 5, not \"6\"";
    QTest::newRow("--pace where the command only listens")
        << QStringList{"monitor", "--pace", "5"} << "--pace and --retries belong to the commands";
    QTest::newRow("--retries on a diff of two files")
        << QStringList{"diff", "a.tvk", "b.tvk", "--retries", "3"} << "--pace and --retries belong";
  }
  void usageErrors() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, says);
    const CliParse result = parse(arguments);
    QCOMPARE(result.outcome, CliParse::Outcome::UsageError);
    QVERIFY2(result.text.contains(says), qPrintable(result.text));
    QVERIFY2(!result.text.contains(QLatin1Char('\n')), "a usage error is one line");
  }

  void commands_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("file");
    QTest::newRow("ports") << QStringList{"ports"} << int(CommandKind::Ports) << "";
    QTest::newRow("info") << QStringList{"info"} << int(CommandKind::Info) << "";
    QTest::newRow("backup") << QStringList{"backup", "rig.tvk"} << int(CommandKind::Backup)
                            << "rig.tvk";
    QTest::newRow("options before the command")
        << QStringList{"--verbose", "restore", "rig.tvk"} << int(CommandKind::Restore) << "rig.tvk";
    QTest::newRow("flash a file") << QStringList{"flash", "firmware.txt"} << int(CommandKind::Flash)
                                  << "firmware.txt";
    QTest::newRow("flash from the server")
        << QStringList{"flash", "--from-server"} << int(CommandKind::Flash) << "";
    QTest::newRow("monitor") << QStringList{"monitor"} << int(CommandKind::Monitor) << "";
    QTest::newRow("backup to standard output")
        << QStringList{"backup", "-"} << int(CommandKind::Backup) << "-";
    QTest::newRow("restore from standard input")
        << QStringList{"restore", "-"} << int(CommandKind::Restore) << "-";
  }
  void commands() {
    QFETCH(QStringList, arguments);
    QFETCH(int, command);
    QFETCH(QString, file);
    const CliParse result = parse(arguments);
    QCOMPARE(result.outcome, CliParse::Outcome::Run);
    QCOMPARE(int(result.options.command), command);
    QCOMPARE(result.options.file, file);
  }

  void linkTestCount_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("count");
    QTest::newRow("fifty without a count") << QStringList{"linktest"} << 50;
    QTest::newRow("the least") << QStringList{"linktest", "1"} << 1;
    QTest::newRow("the most") << QStringList{"linktest", "1000"} << 1000;
    QTest::newRow("after options") << QStringList{"--in", "usb", "linktest", "7"} << 7;
  }
  void linkTestCount() {
    QFETCH(QStringList, arguments);
    QFETCH(int, count);
    const CliParse result = parse(arguments);
    QCOMPARE(result.outcome, CliParse::Outcome::Run);
    QCOMPARE(int(result.options.command), int(CommandKind::LinkTest));
    QCOMPARE(result.options.count, count);
    QVERIFY(needsMidi(result.options));
  }

  // Only a command that reaches the device may start a MIDI system; one that needs it and gets
  // none cannot hear the device at all. Of those, only the ones that send take a pace.
  void midiOnlyForTheDevice_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("midi");
    QTest::addColumn<bool>("sends");
    QTest::newRow("info") << QStringList{"info"} << true << true;
    QTest::newRow("ports lists") << QStringList{"ports"} << true << false;
    QTest::newRow("monitor listens") << QStringList{"monitor"} << true << false;
    QTest::newRow("setlist follow listens")
        << QStringList{"setlist", "follow", "gig"} << true << false;
    QTest::newRow("setlist arrange onto a file")
        << QStringList{"setlist", "arrange", "gig", "--onto", "a.tvk", "b.tvk"} << false << false;
    QTest::newRow("loops swap onto the device")
        << QStringList{"loops", "swap", "1", "2", "--onto", "device", "b.tvk"} << true << true;
    QTest::newRow("loops swap onto a file")
        << QStringList{"loops", "swap", "1", "2", "--onto", "a.tvk", "b.tvk"} << false << false;
    QTest::newRow("sheet of the device") << QStringList{"sheet", "device", "s.csv"} << true << true;
    QTest::newRow("sheet of a file") << QStringList{"sheet", "a.tvk", "s.csv"} << false << false;
    QTest::newRow("diff of two files") << QStringList{"diff", "a.tvk", "b.tvk"} << false << false;
    QTest::newRow("diff of the library and a snapshot")
        << QStringList{"diff", "library:live", "snapshot:3"} << false << false;
    QTest::newRow("diff of a file and the device")
        << QStringList{"diff", "a.tvk", "device"} << true << true;
    QTest::newRow("library store downloads")
        << QStringList{"library", "store", "live"} << true << true;
    QTest::newRow("library list") << QStringList{"library", "list"} << false << false;
    QTest::newRow("library history") << QStringList{"library", "history"} << false << false;
    QTest::newRow("library export")
        << QStringList{"library", "export", "live", "l.tvk"} << false << false;
    QTest::newRow("library import") << QStringList{"library", "import", "a.tvk"} << false << false;
    QTest::newRow("setlist store") << QStringList{"setlist", "store", "gig", "-"} << false << false;
    QTest::newRow("setlist list") << QStringList{"setlist", "list"} << false << false;
    QTest::newRow("setlist show") << QStringList{"setlist", "show", "gig"} << false << false;
    QTest::newRow("setlist chart")
        << QStringList{"setlist", "chart", "gig", "g.pdf"} << false << false;
    QTest::newRow("library restore") << QStringList{"library", "restore", "gig"} << true << true;
  }
  void midiOnlyForTheDevice() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, midi);
    QFETCH(bool, sends);
    const CliParse result = parse(arguments);
    QCOMPARE(result.outcome, CliParse::Outcome::Run);
    QCOMPARE(needsMidi(result.options), midi);
    QCOMPARE(talksToDevice(result.options), sends);
  }

  void transferCare_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("pace");
    QTest::addColumn<int>("retries");
    QTest::newRow("neither: back to back, two retries")
        << QStringList{"restore", "x.tvk"} << 0 << 2;
    QTest::newRow("both, before the command")
        << QStringList{"--pace", "5", "--retries", "3", "restore", "x.tvk"} << 5 << 3;
    QTest::newRow("the slowest pace and no retry")
        << QStringList{"backup", "x.tvk", "--pace", "20", "--retries", "0"} << 20 << 0;
    QTest::newRow("a pace alone keeps two retries")
        << QStringList{"diff", "device", "a.tvk", "--pace", "2"} << 2 << 2;
    QTest::newRow("the most retries, for the link test")
        << QStringList{"linktest", "--retries", "5"} << 0 << 5;
  }
  void transferCare() {
    QFETCH(QStringList, arguments);
    QFETCH(int, pace);
    QFETCH(int, retries);
    const CliParse result = parse(arguments);
    QCOMPARE(result.outcome, CliParse::Outcome::Run);
    QCOMPARE(result.options.care.paceMs, pace);
    QCOMPARE(result.options.care.retries, retries);
  }

  void libraryCommands_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("file");
    const int library = int(CommandKind::Library);
    QTest::newRow("list") << QStringList{"library", "list"} << library << int(LibraryAction::List)
                          << "" << QStringList{} << false << "";
    QTest::newRow("import several, replacing")
        << QStringList{"--replace", "library", "import", "a.tvk", "b.tvk"} << library
        << int(LibraryAction::Import) << "" << QStringList{"a.tvk", "b.tvk"} << true << "";
    QTest::newRow("export a setup to a file")
        << QStringList{"library", "export", "live", "live.tvk"} << library
        << int(LibraryAction::Export) << "live" << QStringList{} << false << "live.tvk";
    QTest::newRow("store, replacing")
        << QStringList{"library", "store", "live", "--replace"} << library
        << int(LibraryAction::Store) << "live" << QStringList{} << true << "";
    QTest::newRow("diff of two sides")
        << QStringList{"diff", "device", "library:live"} << int(CommandKind::Diff)
        << int(LibraryAction::List) << "" << QStringList{"device", "library:live"} << false << "";
  }
  void libraryCommands() {
    QFETCH(QStringList, arguments);
    QFETCH(int, command);
    QFETCH(int, action);
    QFETCH(QString, name);
    QFETCH(QStringList, files);
    QFETCH(bool, replace);
    QFETCH(QString, file);
    const CliParse result = parse(arguments + QStringList{"--library", "/tmp/l.sqlite"});
    QCOMPARE(result.outcome, CliParse::Outcome::Run);
    QCOMPARE(int(result.options.command), command);
    QCOMPARE(int(result.options.libraryAction), action);
    QCOMPARE(result.options.setupName, name);
    QCOMPARE(result.options.files, files);
    QCOMPARE(result.options.replace, replace);
    QCOMPARE(result.options.file, file);
    QCOMPARE(result.options.library, QStringLiteral("/tmp/l.sqlite"));
  }

  void portTextsAndServer() {
    const CliParse result =
        parse({"flash", "--from-server", "--in", "tarvik", "--out", "SIM", "--update-url",
               "https://mirror.example/x/downloads/tarvik/", "--verbose"});
    QCOMPARE(result.outcome, CliParse::Outcome::Run);
    QCOMPARE(result.options.in, QStringLiteral("tarvik"));
    QCOMPARE(result.options.out, QStringLiteral("SIM"));
    QVERIFY(result.options.verbose);
    QVERIFY(result.options.fromServer);
    QCOMPARE(result.options.updateUrl,
             QUrl(QStringLiteral("https://mirror.example/x/downloads/tarvik/")));
    QCOMPARE(parse({"flash", "--from-server"}).options.updateUrl, kDefaultServer);
  }

  // As in aconnect, amidi and aseqdump: -V answers the version, -v asks for more output.
  void versionAndVerbose_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("version");
    QTest::addColumn<bool>("verbose");
    QTest::newRow("--version") << QStringList{"--version"} << true << false;
    QTest::newRow("-V") << QStringList{"-V"} << true << false;
    QTest::newRow("-V before a command only answers")
        << QStringList{"-V", "backup", "rig.tvk"} << true << false;
    QTest::newRow("-v runs the command with the transfer log")
        << QStringList{"-v", "backup", "rig.tvk"} << false << true;
    QTest::newRow("neither") << QStringList{"info"} << false << false;
  }
  void versionAndVerbose() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, version);
    QFETCH(bool, verbose);
    const CliParse result = parse(arguments);
    if (version) {
      QCOMPARE(result.outcome, CliParse::Outcome::Version);
      QCOMPARE(result.text, QStringLiteral("tarvik-cli 1.9"));
      return;
    }
    QCOMPARE(result.outcome, CliParse::Outcome::Run);
    QCOMPARE(result.options.verbose, verbose);
  }

  // Only flash --from-server uses an update directory: a bad environment value stops nothing
  // else.
  void updateDirectory_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("used");  // the directory, or a part of the usage error
    const QString local = QStringLiteral("http://127.0.0.1:8080/downloads/tarvik/");
    const QString mirror = QStringLiteral("https://mirror.example/x/downloads/tarvik/");
    const QString bad = QStringLiteral("http://127.0.0.1/tarvik/");
    const int run = int(CliParse::Outcome::Run);
    const int refused = int(CliParse::Outcome::UsageError);
    QTest::newRow("the build's") << QStringList{"flash", "--from-server"} << QString() << run
                                 << kDefaultServer.toString();
    QTest::newRow("the environment's")
        << QStringList{"flash", "--from-server"} << local << run << local;
    QTest::newRow("the option before the environment")
        << QStringList{"flash", "--from-server", "--update-url", mirror} << bad << run << mirror;
    QTest::newRow("a bad environment value refuses the server's flash")
        << QStringList{"flash", "--from-server"} << bad << refused
        << "TARVIK_UPDATE_BASE_URL needs an http(s) URL whose path ends in "
           "\"/downloads/tarvik/\", not \"http://127.0.0.1/tarvik/\"";
    QTest::newRow("a bad environment value leaves --help alone")
        << QStringList{"--help"} << bad << int(CliParse::Outcome::Help) << QString();
    QTest::newRow("a bad environment value leaves a backup alone")
        << QStringList{"backup", "rig.tvk"} << bad << run << QString();
    QTest::newRow("a bad environment value leaves a file's flash alone")
        << QStringList{"flash", "firmware.txt"} << bad << run << QString();
  }
  void updateDirectory() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, environment);
    QFETCH(int, outcome);
    QFETCH(QString, used);
    const CliParse result = parse(arguments, environment);
    QCOMPARE(int(result.outcome), outcome);
    if (result.outcome == CliParse::Outcome::UsageError) {
      QVERIFY2(result.text.contains(used), qPrintable(result.text));
    } else if (result.outcome == CliParse::Outcome::Run) {
      QCOMPARE(result.options.updateUrl.toString(), used);
    }
  }

  void help() {
    const CliParse help = parse({"--help"});
    QCOMPARE(help.outcome, CliParse::Outcome::Help);
    QVERIFY2(help.text.startsWith(QStringLiteral("Usage: tarvik-cli [options] command [file]\n")),
             qPrintable(help.text));
    for (const char* part : {"ports",
                             "info",
                             "backup FILE",
                             "restore FILE",
                             "flash FILE",
                             "monitor",
                             "--in <text>",
                             "--out <text>",
                             "-v, --verbose",
                             "-V, --version",
                             "--from-server",
                             "--update-url <url>",
                             "Exit codes: 0 success; 1",
                             "2 usage or file",
                             "130 interrupted",
                             "[settings]",
                             "standard output",
                             "standard input",
                             "TARVIK_UPDATE_BASE_URL",
                             "library list",
                             "library import FILE...",
                             "library export NAME FILE",
                             "library store NAME",
                             "library restore NAME",
                             "library history",
                             "diff A B",
                             "--library <file>",
                             "--replace",
                             "TARVIK_LIBRARY",
                             "snapshot:ID",
                             "linktest [COUNT]",
                             "round trip: none",
                             "--pace <ms>",
                             "--retries <n>",
                             "try --pace 5"}) {
      QVERIFY2(help.text.contains(QLatin1String(part)), part);
    }
  }

  void portChoice_data() {
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QStringList>("outputs");
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("output");
    QTest::addColumn<QString>("error");
    const QStringList jackIn = {"system:capture_1", "tarvik-sim:Tarvik MIDI", "other:MIDI 2"};
    const QStringList jackOut = {"system:playback_1", "other:MIDI 2", "TARVIK-SIM:Tarvik MIDI"};
    QTest::newRow("the window's pre-selection") << jackIn << jackOut << ""
                                                << "" << 1 << 2 << "";
    QTest::newRow("--in picks by part of the name, any case; the output follows its name")
        << jackIn << jackOut << "OTHER"
        << "" << 2 << 1 << "";
    QTest::newRow("--out alone keeps the pre-selected input") << jackIn << jackOut << ""
                                                              << "playback" << 1 << 0 << "";
    QTest::newRow("both given") << jackIn << jackOut << "capture"
                                << "sim" << 0 << 2 << "";
    QTest::newRow("no input matches") << jackIn << jackOut << "roland"
                                      << "" << -1 << -1 << "no MIDI input matches \"roland\"";
    QTest::newRow("no output matches")
        << jackIn << jackOut << ""
        << "roland" << 1 << -1 << "no MIDI output matches \"roland\"";
    QTest::newRow("nothing to pre-select") << QStringList{"system:capture_1"} << jackOut << ""
                                           << "" << -1 << -1 << "choose one with --in";
    QTest::newRow("no output of the input's name")
        << jackIn << QStringList{"system:playback_1"} << ""
        << "" << 1 << -1 << "choose one with --out";
  }
  void portChoice() {
    QFETCH(QStringList, inputs);
    QFETCH(QStringList, outputs);
    QFETCH(QString, in);
    QFETCH(QString, out);
    QFETCH(int, input);
    QFETCH(int, output);
    QFETCH(QString, error);
    const PortChoice choice = choosePorts(names(inputs), names(outputs), in, out);
    QCOMPARE(choice.input, input);
    QCOMPARE(choice.output, output);
    if (error.isEmpty()) {
      QVERIFY2(choice.ok(), qPrintable(choice.error));
    } else {
      QVERIFY2(choice.error.contains(error), qPrintable(choice.error));
    }
  }
};

QTEST_GUILESS_MAIN(CliOptionsTest)
#include "test_cli_options.moc"
