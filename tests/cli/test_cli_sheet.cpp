// SPDX-License-Identifier: MIT
// `tarvik-cli sheet`, the built program as a user runs it: the PDF read back as a reader of the
// page sees it (pdftotext -layout, pdfinfo; poppler-utils), the CSV read back as a spreadsheet
// hands it back, and the names it refuses.
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "config/ConfigRecord.h"
#include "config/FullBackup.h"
#include "config/PresetCsv.h"
#include "config/UserFile.h"
#include "support/CliProcess.h"

using namespace tarvik;
using tarvik::testing::CliResult;

namespace {

constexpr int kRunTimeoutMs = 60000;

struct Rig {
  PresetTables tables;
  ConfigRecord record;
  PresetNames names;
  LoopLabels labels;
};

Rig rig() {
  Rig rig;
  for (int row = 0; row < kTableSize; ++row) {
    rig.tables.setMask(row, static_cast<std::uint8_t>((row * 29) & 0xFF));
    rig.tables.setPcRemap(row, row % 7 == 3 ? PresetTables::kPcRemapNone : (row + 10) % 128);
    rig.tables.setCc(row, 0);
    if (row % 3 == 0) rig.names.setName(row, QStringLiteral("Song %1").arg(row + 1));
  }
  rig.tables.setPcRemap(5, -1);
  rig.tables.setCc(5, 3);
  rig.tables.setCc(64, 1);
  rig.names.setName(1, QStringLiteral("Grüße, \"Lead\""));
  rig.labels.setLabel(0, QStringLiteral("Fuzz"));
  rig.labels.setLabel(2, QStringLiteral("Delay"));
  rig.record.midiChannel = 3;
  rig.record.debounceTime = 90;
  rig.record.magicFunction = 1;
  return rig;
}

// What a preset's line says: its number, name, loops on by number and label, and its program.
QString presetLine(const Rig& rig, int row) {
  QStringList loops;
  for (int loop = 0; loop < 8; ++loop) {
    if (!rig.tables.loopOn(row, loop)) continue;
    const QString label = rig.labels.label(loop);
    loops << (label.isEmpty() ? QString::number(loop + 1)
                              : QStringLiteral("%1 %2").arg(loop + 1).arg(label));
  }
  const int pc = rig.tables.pcRemap(row);
  const QString program = pc == PresetTables::kPcRemapNone
                              ? QStringLiteral("none")
                              : (pc < 0 ? QStringLiteral("-") : QString::number(pc + 1));
  return QStringLiteral("%1 %2 %3 %4")
      .arg(row + 1)
      .arg(rig.names.name(row), loops.isEmpty() ? QStringLiteral("-") : loops.join(", "), program)
      .simplified();
}

QString output(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(kRunTimeoutMs) || process.exitCode() != 0)
    return program + " failed: " + QString::fromUtf8(process.readAllStandardError());
  return QString::fromUtf8(process.readAllStandardOutput());
}

// The PDF's text, a line a line of the page, the white space between columns as one space.
QStringList pdfLines(const QString& path) {
  QStringList lines;
  for (const QString& line : output("pdftotext", {"-layout", path, "-"}).split(u'\n')) {
    if (!line.simplified().isEmpty()) lines << line.simplified();
  }
  return lines;
}

int pdfPages(const QString& path) {
  const QRegularExpressionMatch pages =
      QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption)
          .match(output("pdfinfo", {path}));
  return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

}  // namespace

class CliSheetTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString rigFile_;

  CliResult run(const QStringList& arguments, const QString& language = QStringLiteral("en")) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // No MIDI system: a file is read and written before one is needed.
    environment.insert("JACK_DEFAULT_SERVER",
                       QStringLiteral("tarvik-none-%1").arg(QCoreApplication::applicationPid()));
    environment.insert("JACK_NO_START_SERVER", "1");
    environment.insert("LANGUAGE", language);
    environment.insert("TARVIK_LIBRARY", dir_.filePath("library.sqlite"));
    QProcess cli;
    cli.setProcessEnvironment(environment);
    return tarvik::testing::runToEnd(cli, QStringLiteral(TARVIK_CLI_PATH), arguments, {},
                                     kRunTimeoutMs);
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    rigFile_ = dir_.filePath("rig.tvk");
    const Rig setup = rig();
    QVERIFY(FullBackup::save(rigFile_, setup.tables, setup.record.toBytes(), setup.names,
                             setup.labels));
  }

  // All 128 presets, the CC map, the settings and where the sheet came from, on four pages at
  // most; from a file and from the library alike.
  void thePdfHoldsEveryPresetsLine_data() {
    QTest::addColumn<QString>("source");
    QTest::newRow("a backup file") << rigFile_;
    QTest::newRow("a setup of the library") << "library:rig";
  }
  void thePdfHoldsEveryPresetsLine() {
    QFETCH(QString, source);
    if (source.startsWith("library:")) {
      const CliResult imported = run({"library", "import", "--replace", rigFile_});
      QVERIFY2(imported.exitCode == 0, qPrintable(imported.err));
    }
    const QString pdf = dir_.filePath("sheet.pdf");
    const CliResult result = run({"sheet", source, pdf});
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    QCOMPARE(result.out, QStringLiteral("setup sheet of %1 written to %2\n").arg(source, pdf));
    const int pages = pdfPages(pdf);
    QVERIFY2(pages >= 1 && pages <= 4, qPrintable(QString::number(pages)));
    const QStringList lines = pdfLines(pdf);
    const Rig setup = rig();
    for (int row = 0; row < kTableSize; ++row) {
      QVERIFY2(lines.contains(presetLine(setup, row)),
               qPrintable(presetLine(setup, row) + "\nnot in:\n" + lines.join('\n')));
    }
    const QString all = lines.join('\n');
    for (const QString& text :
         {QStringLiteral("From %1, made ").arg(source),
          QStringLiteral("\n1 Fuzz 2 (no label) 3 Delay 4 (no label)\n"),
          QStringLiteral("CC 5: LOOP 3 (Delay)"), QStringLiteral("CC 64: LOOP 1 (Fuzz)"),
          QStringLiteral("Channel: 4"),
          QStringLiteral("debounce time (0-254ms; default 90ms): 90 ms"),
          QStringLiteral("Function: Master Bypass"), QStringLiteral("page %1 of %1").arg(pages)}) {
      QVERIFY2(all.contains(text), qPrintable(text + "\nnot in:\n" + all));
    }
    QVERIFY2(!all.contains("CC 6:"), "an entry of no loop is no line of the CC map");
  }

  void headingsAreGermanUnderAGermanDesktop() {
    const QString pdf = dir_.filePath("blatt.pdf");
    const CliResult result = run({"sheet", rigFile_, pdf}, QStringLiteral("de"));
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    const QString all = pdfLines(pdf).join('\n');
    for (const QString& text :
         {QStringLiteral("Tarvik-Setupblatt"), QStringLiteral("Preset Name Loops an PC"),
          QStringLiteral("Erweiterte Einstellungen"), QStringLiteral("Kanal: 4"),
          QStringLiteral("Funktion: Master-Bypass")}) {
      QVERIFY2(all.contains(text), qPrintable(text + "\nnot in:\n" + all));
    }
  }

  // The CSV of a file, read back as a spreadsheet would hand it back: the same presets.
  void theCsvReadsBackAsTheSource() {
    const QString csv = dir_.filePath("presets.csv");
    const CliResult result = run({"sheet", rigFile_, csv});
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    const UserFile::Read written = UserFile::read(csv);
    QVERIFY(written.ok());
    QVERIFY(
        written.bytes->startsWith("preset,name,loop1,loop2,loop3,loop4,loop5,loop6,loop7,loop8,"
                                  "pc\r\n1,Song 1,0,0,0,0,0,0,0,0,11\r\n"));
    const PresetCsv::Read read = PresetCsv::parse(*written.bytes);
    QVERIFY2(read.ok(), qPrintable(read.error));
    const Rig setup = rig();
    for (int row = 0; row < kTableSize; ++row) {
      QCOMPARE(read.presets->at(row), (PresetRow{setup.tables.mask(row), setup.tables.pcRemap(row),
                                                 setup.names.name(row)}));
    }
  }

  void refusesBeforeWritingAnything_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("err");  // the start of standard error
    const QString missing = dir_.filePath("missing.tvk");
    QTest::newRow("a file that is neither PDF nor CSV")
        << QStringList{"sheet", rigFile_, dir_.filePath("sheet.txt")}
        << "tarvik-cli: sheet writes a .pdf or a .csv file; \"" + dir_.filePath("sheet.txt") +
               "\" is neither\n";
    QTest::newRow("no file") << QStringList{"sheet", rigFile_}
                             << "tarvik-cli: sheet needs a source and a file: sheet SOURCE FILE\n";
    QTest::newRow("a source that is not there")
        << QStringList{"sheet", missing, dir_.filePath("missing.pdf")}
        << "tarvik-cli: " + missing + ": No such file";
    QTest::newRow("a setup the library does not hold")
        << QStringList{"sheet", "library:nothing", dir_.filePath("nothing.csv")} << "tarvik-cli: ";
  }
  void refusesBeforeWritingAnything() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, err);
    const CliResult result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.startsWith(err), qPrintable(result.err));
    QVERIFY(result.out.isEmpty());
    if (arguments.size() == 3) QVERIFY(!QFile::exists(arguments.last()));
  }
};

QTEST_GUILESS_MAIN(CliSheetTest)
#include "test_cli_sheet.moc"
