// SPDX-License-Identifier: MIT
// The real tarvik-cli against files that are cut, endless, huge or not files at all, and
// against an output that fills: a file error is exit 2 on one line, before anything is sent or
// stored.
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include "config/FullBackup.h"
#include "support/CliProcess.h"
#include "support/FileFaults.h"

using namespace tarvik;
using tarvik::testing::CliResult;

namespace {

constexpr int kRunTimeoutMs = 60000;

// A whole backup whose rows are all different, so that a cut one misses something real.
QByteArray wholeBackup() {
  PresetTables tables;
  for (int row = 0; row < PresetTables::kRows; ++row) {
    tables.setMask(row, static_cast<std::uint8_t>(row * 3));
    tables.setCc(row, row % 9);
  }
  return FullBackup::serialize(tables, std::nullopt);
}

// A backup with settings, names and labels, as the library exports one.
QByteArray namedBackup() {
  ConfigRecord record;
  record.lockMask = 246;
  PresetNames names;
  names.setName(0, QStringLiteral("Chorus crunch"));
  names.setName(4, QStringLiteral("Solo"));
  LoopLabels labels;
  labels.setLabel(0, QStringLiteral("Fuzz"));
  return FullBackup::serialize(*FullBackup::parse(wholeBackup()).tables, record.toBytes(), names,
                               labels);
}

}  // namespace

class CliFileFaultsTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString path(const QString& name) const { return dir_.filePath(name); }

  CliResult run(QStringList arguments, const QByteArray& input = {},
                const QString& standardOutput = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // No MIDI system: a file error that came after the search for one would show as exit 1.
    environment.insert("JACK_DEFAULT_SERVER",
                       QStringLiteral("tarvik-none-%1").arg(QCoreApplication::applicationPid()));
    environment.insert("JACK_NO_START_SERVER", "1");
    QProcess cli;
    cli.setProcessEnvironment(environment);
    if (!standardOutput.isEmpty()) cli.setStandardOutputFile(standardOutput);
    return tarvik::testing::runToEnd(cli, TARVIK_CLI_PATH,
                                     QStringList{"--library", path("library.sqlite")} + arguments,
                                     input, kRunTimeoutMs);
  }

  QString setupList() { return run({"library", "list"}).out; }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QVERIFY(testing::putFile(path("whole.tvk"), wholeBackup()));
    QVERIFY(testing::putFile(path("cut.tvk"), wholeBackup().left(400)));
    QByteArray unreadable = wholeBackup();
    unreadable.replace("[3]\r\npc=9", "[3]\r\npc=abc");
    QVERIFY(testing::putFile(path("unreadable.tvk"), unreadable));
    // Cut where every section still reads: inside the last setting ("lockMask=24"), inside the
    // last value of a .tvk ("pcremap=7"), and after a whole name.
    const QByteArray named = namedBackup();
    QVERIFY(
        testing::putFile(path("in-a-setting.tvk"), named.left(named.indexOf("lockMask=246") + 11)));
    QByteArray remapped = wholeBackup();
    remapped.replace(remapped.lastIndexOf("pcremap=-1"), 10, "pcremap=74");
    QVERIFY(testing::putFile(path("in-a-value.tvk"), remapped.chopped(3)));
    QVERIFY(testing::putFile(path("after-a-name.tvk"), named.left(named.indexOf("5=Solo"))));
    QByteArray changed = wholeBackup();
    changed.replace("[3]\r\npc=9", "[3]\r\npc=8");
    QVERIFY(testing::putFile(path("changed.tvk"), changed));
    QVERIFY(testing::makeFifo(path("fifo.tvk")));
    QVERIFY(testing::makeHugeFile(path("huge.tvk"), 100 * 1024 * 1024));
    const CliResult imported = run({"library", "import", path("whole.tvk")});
    QCOMPARE(imported.exitCode, 0);
  }

  // Restore, import, diff and flash read their file whole and check it before they reach the
  // MIDI system (none here) or the library: a cut file, a value that does not read, something
  // endless or huge is exit 2 with one line naming it, and the library stays as it was.
  void aFileThatIsNotWholeIsRefusedBeforeUse_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("err");  // the start of the one line
    const QString cut = path("cut.tvk");
    const QString fifo = path("fifo.tvk");
    const QString huge = path("huge.tvk");
    QTest::newRow("restore of a cut standard input")
        << QStringList{"restore", "-"} << wholeBackup().left(400)
        << "tarvik-cli: standard input: section [13] has no cc";
    QTest::newRow("restore of a file with an unreadable value")
        << QStringList{"restore", path("unreadable.tvk")} << QByteArray()
        << "tarvik-cli: " + path("unreadable.tvk") + ": [3] pc=abc cannot be read";
    QTest::newRow("restore of a FIFO") << QStringList{"restore", fifo} << QByteArray()
                                       << "tarvik-cli: " + fifo + ": not a regular file";
    QTest::newRow("restore of an endless standard input")
        << QStringList{"restore", "-"} << QByteArray(2 * 1024 * 1024, '\0')
        << "tarvik-cli: standard input: larger than";
    QTest::newRow("diff of a device")
        << QStringList{"diff", "/dev/zero", path("whole.tvk")} << QByteArray()
        << "tarvik-cli: /dev/zero: not a regular file";
    QTest::newRow("diff of a cut file")
        << QStringList{"diff", path("whole.tvk"), cut} << QByteArray()
        << "tarvik-cli: " + cut + ": section [13] has no cc";
    QTest::newRow("import of a cut file") << QStringList{"library", "import", cut} << QByteArray()
                                          << "tarvik-cli: " + cut + ": section [13] has no cc";
    QTest::newRow("restore of a backup cut inside its last setting")
        << QStringList{"restore", path("in-a-setting.tvk")} << QByteArray()
        << "tarvik-cli: " + path("in-a-setting.tvk") +
               ": the file ends inside a line: it is cut short\n";
    QTest::newRow("diff of a file cut inside its last value")
        << QStringList{"diff", path("whole.tvk"), path("in-a-value.tvk")} << QByteArray()
        << "tarvik-cli: " + path("in-a-value.tvk") +
               ": the file ends inside a line: it is cut short\n";
    QTest::newRow("import of a backup cut after a whole name")
        << QStringList{"library", "import", path("after-a-name.tvk")} << QByteArray()
        << "tarvik-cli: " + path("after-a-name.tvk") +
               ": [names] holds 1 of the 2 entries written to it: the file is cut short\n";
    QTest::newRow("import of a FIFO") << QStringList{"library", "import", fifo} << QByteArray()
                                      << "tarvik-cli: " + fifo + ": not a regular file";
    QTest::newRow("import of a huge file") << QStringList{"library", "import", huge} << QByteArray()
                                           << "tarvik-cli: " + huge + ": larger than";
    QTest::newRow("flash of a device") << QStringList{"flash", "/dev/zero"} << QByteArray()
                                       << "tarvik-cli: /dev/zero: not a regular file";
    QTest::newRow("a line break in a path stays in the line")
        << QStringList{"restore", path("a\nb.tvk")} << QByteArray()
        << "tarvik-cli: \"" + path("a\\nb.tvk") + "\": ";
  }
  void aFileThatIsNotWholeIsRefusedBeforeUse() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(QString, err);
    const QString setups = setupList();
    const CliResult result = run(arguments, input);
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.startsWith(err), qPrintable(result.err));
    QCOMPARE(result.err.count('\n'), 1);
    QCOMPARE(result.out, QString());
    QCOMPARE(setupList(), setups);
  }

  // Standard output that cannot take what a script keeps (a full disk: /dev/full) is a file
  // error, not a success.
  void anOutputThatCannotBeWrittenIsExit2_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("the version") << QStringList{"--version"};
    QTest::newRow("library list") << QStringList{"library", "list"};
    QTest::newRow("library export to standard output")
        << QStringList{"library", "export", "whole", "-"};
    QTest::newRow("diff of files that differ")
        << QStringList{"diff", path("whole.tvk"), path("changed.tvk")};
  }
  void anOutputThatCannotBeWrittenIsExit2() {
    QFETCH(QStringList, arguments);
    const CliResult result = run(arguments, {}, "/dev/full");
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.err, QString("tarvik-cli: cannot write to standard output\n"));
  }
};

QTEST_GUILESS_MAIN(CliFileFaultsTest)
#include "test_cli_file_faults.moc"
