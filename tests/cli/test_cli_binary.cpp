// SPDX-License-Identifier: MIT
// The real tarvik-cli on a machine where no MIDI system runs (no ALSA sequencer, no JACK server
// by the name it is given): what it must answer before, or without, reaching one.
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include "config/ConfigRecord.h"
#include "config/FullBackup.h"
#include "config/TvkFile.h"
#include "support/CliProcess.h"

using namespace tarvik;
using tarvik::testing::CliResult;

namespace {

constexpr int kRunTimeoutMs = 60000;

}  // namespace

class CliBinaryTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir;

  // `chartModule`, when given, is where the program looks for its chart module instead of
  // beside itself.
  CliResult run(const QStringList& arguments, const QByteArray& input = {},
                const QString& updateUrl = {}, const QString& chartModule = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // A JACK server that is not there, and none started for the program.
    environment.insert(QStringLiteral("JACK_DEFAULT_SERVER"),
                       QStringLiteral("tarvik-none-%1").arg(QCoreApplication::applicationPid()));
    environment.insert(QStringLiteral("JACK_NO_START_SERVER"), QStringLiteral("1"));
    environment.remove(QStringLiteral("TARVIK_UPDATE_BASE_URL"));
    if (!updateUrl.isEmpty())
      environment.insert(QStringLiteral("TARVIK_UPDATE_BASE_URL"), updateUrl);
    environment.remove(QStringLiteral("TARVIK_CLI_CHART_MODULE"));
    if (!chartModule.isEmpty())
      environment.insert(QStringLiteral("TARVIK_CLI_CHART_MODULE"), chartModule);
    QProcess cli;
    cli.setProcessEnvironment(environment);
    return tarvik::testing::runToEnd(cli, QStringLiteral(TARVIK_CLI_PATH), arguments, input,
                                     kRunTimeoutMs);
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(dir.isValid());
    QFile refused(dir.filePath(QStringLiteral("refused.tvk")));
    QVERIFY(refused.open(QIODevice::WriteOnly));
    refused.write("[settings]\r\n");
    QFile tables(dir.filePath(QStringLiteral("tables.tvk")));
    QVERIFY(tables.open(QIODevice::WriteOnly));
    tables.write(TvkFile::serialize(PresetTables()));
  }

  // What the file rows below rest on: here the program finds no MIDI system, so a file error
  // that came after the search for one would show as the MIDI message.
  void noMidiSystemIsReached() {
    if (QFile::exists(QStringLiteral("/dev/snd/seq"))) QSKIP("this machine has an ALSA sequencer");
    const CliResult ports = run({QStringLiteral("ports")});
    QCOMPARE(ports.exitCode, 1);
    // The program's own line alone: what ALSA and JACK say is for --verbose.
    QVERIFY2(ports.err.startsWith(QStringLiteral("tarvik-cli: No MIDI ports are available")),
             qPrintable(ports.err));
    QCOMPARE(ports.err.count(QLatin1Char('\n')), 1);
  }

  void answersBeforeItNeedsMidi_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("updateUrl");  // TARVIK_UPDATE_BASE_URL; empty: unset
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");  // the start of standard output; empty: nothing on it
    QTest::addColumn<QString>("err");  // the start of standard error
    const QString missing = dir.filePath(QStringLiteral("missing.tvk"));
    const QString refused = dir.filePath(QStringLiteral("refused.tvk"));
    const QString noFolder = dir.filePath(QStringLiteral("no-folder/rig.tvk"));
    const QString noFirmware = dir.filePath(QStringLiteral("missing.txt"));
    const QString badUrl = QStringLiteral("http://127.0.0.1/tarvik/");

    QTest::newRow("-V is the version")
        << QStringList{"-V"} << QByteArray() << QString() << 0 << "tarvik-cli 1.9\n"
        << QString();
    QTest::newRow("-v asks for the log and runs the command")
        << QStringList{"-v", "restore", missing} << QByteArray() << QString() << 2 << QString()
        << "tarvik-cli: " + missing + ": No such file";
    QTest::newRow("--help despite a bad update directory in the environment")
        << QStringList{"--help"} << QByteArray() << badUrl << 0
        << "Usage: tarvik-cli [options] command [file]\n"
        << QString();
    QTest::newRow("a bad update directory in the environment stops only the server's flash")
        << QStringList{"flash", "--from-server"} << QByteArray() << badUrl << 2 << QString()
        << "tarvik-cli: TARVIK_UPDATE_BASE_URL needs an http(s) URL";
    QTest::newRow("restore of a missing file")
        << QStringList{"restore", missing} << QByteArray() << QString() << 2 << QString()
        << "tarvik-cli: " + missing + ": No such file";
    QTest::newRow("restore of a refused file")
        << QStringList{"restore", refused} << QByteArray() << QString() << 2 << QString()
        << "tarvik-cli: " + refused + ": ";
    QTest::newRow("restore of an empty standard input")
        << QStringList{"restore", "-"} << QByteArray() << QString() << 2 << QString()
        << "tarvik-cli: standard input: ";
    const QString tables = dir.filePath(QStringLiteral("tables.tvk"));
    QTest::newRow("restore of parts that are no rows")
        << QStringList{"restore", "--only", "presets:5-2", tables} << QByteArray() << QString() << 2
        << QString() << "tarvik-cli: --only presets:5-2: the first row comes after the last";
    QTest::newRow("restore of settings from a file without them")
        << QStringList{"restore", "--only", "presets:1-8,settings", tables} << QByteArray()
        << QString() << 2 << QString()
        << "tarvik-cli: " + tables + ": there are no settings to take";
    QTest::newRow("backup into a folder that is not there")
        << QStringList{"backup", noFolder} << QByteArray() << QString() << 2 << QString()
        << "tarvik-cli: cannot write " + noFolder + "\n";
    QTest::newRow("flash of a missing file")
        << QStringList{"flash", noFirmware} << QByteArray() << QString() << 2 << QString()
        << "tarvik-cli: " + noFirmware + ": No such file";
    QTest::newRow("a pace beyond the slowest is a usage error")
        << QStringList{"--pace", "25", "restore", tables} << QByteArray() << QString() << 2
        << QString() << "tarvik-cli: --pace takes milliseconds from 0 to 20, not \"25\"\n";
    QTest::newRow("following a set list that is not there")
        << QStringList{"--library", dir.filePath(QStringLiteral("follow.sqlite")), "setlist",
                       "follow", "Friday"}
        << QByteArray() << QString() << 2 << QString() << "tarvik-cli: no set list named";
  }
  void answersBeforeItNeedsMidi() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(QString, updateUrl);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const CliResult result = run(arguments, input, updateUrl);
    QCOMPARE(result.exitCode, exitCode);
    if (out.isEmpty()) {
      QCOMPARE(result.out, QString());
    } else {
      QVERIFY2(result.out.startsWith(out), qPrintable(result.out));
    }
    QVERIFY2(result.err.startsWith(err), qPrintable(result.err));
    // One line, the file's: nothing from ALSA, JACK or the program about the MIDI system.
    QVERIFY2(result.err.count(QLatin1Char('\n')) <= 1, qPrintable(result.err));
  }

  // The chart needs Qt GUI, which the program reaches only through its chart module; the set
  // comes from a library the same program filled.
  void chartsASetThroughItsModule() {
    QFile rig(dir.filePath(QStringLiteral("Rig.tvk")));
    QVERIFY(rig.open(QIODevice::WriteOnly));
    for (int row = 0; row < 128; ++row)
      rig.write(QStringLiteral("[%1]\r\npc=%1\r\ncc=-1\r\npcremap=%1\r\n").arg(row).toLatin1());
    // Preset 5 (row 4) switches loop 3 on and sends program 5.
    rig.write("[loops]\r\nloop1=Fuzz\r\nloop3=Tube Screamer Deluxe 808\r\n");
    rig.close();
    const QStringList library{QStringLiteral("--library"),
                              dir.filePath(QStringLiteral("l.sqlite"))};
    QCOMPARE(run(library + QStringList{"library", "import", rig.fileName()}).exitCode, 0);
    QCOMPARE(run(library + QStringList{"setlist", "store", "Friday", "-"},
                 "Mary Had a Little Lamb (live at the El Mocambo)\tRig\t5\n")
                 .exitCode,
             0);
    const QString pdf = dir.filePath(QStringLiteral("Friday.pdf"));
    const CliResult charted = run(library + QStringList{"setlist", "chart", "Friday", pdf});
    QVERIFY2(charted.exitCode == 0, qPrintable(charted.err));
    QCOMPARE(charted.out, "set chart written to " + pdf + "\n");
    QFile written(pdf);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.read(5), QByteArray("%PDF-"));
    // Read as drawn (pdftotext, poppler-utils): the song and its loops whole, nothing cut short.
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
    QVERIFY(pdftotext.waitForFinished(kRunTimeoutMs) && pdftotext.exitCode() == 0);
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
    QVERIFY2(text.contains(
                 "1 Mary Had a Little Lamb (live at the El Mocambo) Tube Screamer Deluxe 808 5"),
             qPrintable(text));
    QVERIFY2(!text.contains(u'…'), qPrintable(text));
  }

  // Where the package tarvik-cli-print is not installed (its chart module is not there), the
  // two commands that draw name it and exit 2 before anything is written; a CSV needs no drawing.
  void drawsOnlyWithThePrintPackage_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QString>("written");  // the file made; empty: none
    const QStringList library{QStringLiteral("--library"),
                              dir.filePath(QStringLiteral("print.sqlite"))};
    const QString source = dir.filePath(QStringLiteral("print.tvk"));
    const QString chart = dir.filePath(QStringLiteral("no-chart.pdf"));
    const QString pdf = dir.filePath(QStringLiteral("no-sheet.pdf"));
    const QString csv = dir.filePath(QStringLiteral("sheet.csv"));
    QTest::newRow("setlist chart names the package")
        << library + QStringList{"setlist", "chart", "Friday", chart} << 2
        << "tarvik-cli: the set chart needs the package tarvik-cli-print: install it, e.g. sudo "
           "apt install tarvik-cli-print\n"
        << QString();
    QTest::newRow("sheet FILE.pdf names the package")
        << QStringList{"sheet", source, pdf} << 2
        << "tarvik-cli: the PDF needs the package tarvik-cli-print: install it, e.g. sudo apt "
           "install tarvik-cli-print\n"
        << QString();
    QTest::newRow("sheet FILE.csv is written all the same")
        << QStringList{"sheet", source, csv} << 0 << QString() << csv;
  }
  void drawsOnlyWithThePrintPackage() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    QFETCH(QString, written);
    PresetNames names;
    names.setName(6, QStringLiteral("Solo"));
    QFile source(dir.filePath(QStringLiteral("print.tvk")));
    QVERIFY(source.open(QIODevice::WriteOnly));
    source.write(FullBackup::serialize(PresetTables(), ConfigRecord().toBytes(), names, {}));
    source.close();
    const QString output = arguments.last();
    QFile::remove(output);

    const CliResult result =
        run(arguments, {}, {}, dir.filePath(QStringLiteral("no-such/tarvik-cli-chart.so")));
    QCOMPARE(result.err, err);
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(QFile::exists(output), !written.isEmpty());
    if (written.isEmpty()) {
      QCOMPARE(result.out, QString());
      return;
    }
    QFile csv(written);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(csv.readLine(), QByteArray("preset,name,loop1,loop2,loop3,loop4,loop5,loop6,loop7,"
                                        "loop8,pc\r\n"));
    const QByteArray all = csv.readAll();
    QVERIFY2(all.contains("\r\n7,Solo,"), all.constData());
  }

  // A pedal moved from loop 2 to loop 5, with a file as the source: no device is needed.
  // Swapping back gives the source's own text again.
  void loopsSwapTradesTwoLoopsEverywhere() {
    PresetTables tables;
    tables.setMask(0, 0b00000010);  // loop 2 alone moves
    tables.setMask(1, 0b00010010);  // both loops stay on
    tables.setMask(2, 0b10000001);  // neither loop
    tables.setCc(0, 2);             // "LOOP 2"
    tables.setCc(1, 5);
    tables.setCc(2, 0);  // "-"
    tables.setPcRemap(0, 41);
    ConfigRecord record;
    record.muteMask = 0b00000010;
    record.switchMask = 0b00010000;
    record.lockMask = 0b00010010;
    PresetNames names;
    names.setName(0, QStringLiteral("Crunch"));
    LoopLabels labels;
    labels.setLabel(1, QStringLiteral("Fuzz"));
    labels.setLabel(7, QStringLiteral("Delay"));
    const QByteArray sourceText = FullBackup::serialize(tables, record.toBytes(), names, labels);
    const QString source = dir.filePath(QStringLiteral("board.tvk"));
    const QString swapped = dir.filePath(QStringLiteral("swapped.tvk"));
    const QString back = dir.filePath(QStringLiteral("back.tvk"));
    QFile file(source);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(sourceText);
    file.close();

    const CliResult swap = run({"loops", "swap", "2", "5", "--onto", source, swapped});
    QVERIFY2(swap.exitCode == 0, qPrintable(swap.err));
    QCOMPARE(swap.out, "loops 2 and 5 swapped on " + source + ", written to " + swapped + "\n");
    const FullBackup::LoadResult read = FullBackup::load(swapped);
    QVERIFY2(read.ok(), qPrintable(read.message));
    QCOMPARE(read.tables->mask(0), std::uint8_t{0b00010000});
    QCOMPARE(read.tables->mask(1), std::uint8_t{0b00010010});
    QCOMPARE(read.tables->mask(2), std::uint8_t{0b10000001});
    QCOMPARE(read.tables->cc(0), 5);
    QCOMPARE(read.tables->cc(1), 2);
    QCOMPARE(read.tables->cc(2), 0);
    QCOMPARE(read.tables->cc(3), PresetTables::kCcStart);  // "LOOP 8" is neither
    QCOMPARE(read.tables->pcRemap(0), 41);
    QVERIFY(read.settings.has_value());
    ConfigRecord after;
    after.apply(*read.settings);
    QCOMPARE(after.muteMask, std::uint8_t{0b00010000});
    QCOMPARE(after.switchMask, std::uint8_t{0b00000010});
    QCOMPARE(after.lockMask, std::uint8_t{0b00010010});
    QCOMPARE(read.labels.label(1), QString());
    QCOMPARE(read.labels.label(4), QStringLiteral("Fuzz"));
    QCOMPARE(read.labels.label(7), QStringLiteral("Delay"));
    QCOMPARE(read.names.name(0), QStringLiteral("Crunch"));

    // Back again from the library, which the command opens for a side of its own.
    const QString library = dir.filePath(QStringLiteral("swap.sqlite"));
    QCOMPARE(run({"library", "import", swapped, "--library", library}).exitCode, 0);
    const CliResult again =
        run({"loops", "swap", "5", "2", "--onto", "library:swapped", back, "--library", library});
    QVERIFY2(again.exitCode == 0, qPrintable(again.err));
    QFile backFile(back);
    QVERIFY(backFile.open(QIODevice::ReadOnly));
    QCOMPARE(backFile.readAll(), sourceText);
  }

  // Qt Network is loaded only by `flash --from-server` (from the program's network module), and
  // the GUI modules never: neither is among the libraries every start loads.
  void linksNeitherNetworkNorGui() {
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {QStringLiteral(TARVIK_CLI_PATH)});
    QVERIFY2(ldd.waitForFinished(kRunTimeoutMs), qPrintable(ldd.errorString()));
    const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
    QVERIFY2(libraries.contains(QStringLiteral("libQt6Core")), qPrintable(libraries));
    for (const char* library : {"libQt6Network", "libQt6Gui", "libQt6Widgets"})
      QVERIFY2(!libraries.contains(QLatin1String(library)), library);
  }
};

QTEST_GUILESS_MAIN(CliBinaryTest)
#include "test_cli_binary.moc"
