// SPDX-License-Identifier: MIT
// ports, info, backup and restore against the simulated Tarvik in this process, with the
// program's own time-outs.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

#include "cli/CliRun.h"
#include "cli/DeviceCommand.h"
#include "cli/RestoreCommand.h"
#include "config/FullBackup.h"
#include "config/PresetCsv.h"
#include "config/TvkFile.h"
#include "core/CoreParts.h"
#include "link/Framing.h"
#include "midi/InMemoryMidiService.h"
#include "sim/InProcessTarvik.h"
#include "support/FileFaults.h"
#include "support/IdleTime.h"
#include "support/ManualClock.h"
#include "support/WithheldReplyClock.h"
#include "tests/cli/CommandRig.h"

using namespace tarvik;
using namespace tarvik::cli;
using tarvik::testing::CapturedOutput;
using tarvik::testing::FileSizeLimit;
using tarvik::testing::runCommandLine;
using tarvik::testing::runToEnd;
using tarvik::testing::tablesOf;
using tarvik::testing::WithheldReplyClock;
using Bytes = std::vector<std::uint8_t>;

Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(SimFaults)

namespace {

// Seven identifies wake the device: all a full restore asks before it submits.
constexpr int kIdentifyCommands = 7;

const FullBackup::Settings kRecord = {90, 2,   1, 5, 5, 6,   128, 10, 2, 1,
                                      6,  127, 1, 0, 1, 127, 255, 1,  0, 3};

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& text) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

int submitsOfRecord(const TarvikDevice& device) {
  int count = 0;
  for (const std::string& line : device.log()) count += line.rfind("SubmitConfig", 0) == 0;
  return count;
}

// The commands the device saw, in their order.
QStringList commandsOf(const TarvikDevice& device) {
  QStringList commands;
  for (const std::string& line : device.log())
    commands << QString::fromStdString(line).section(u' ', 0, 0);
  return commands;
}

QStringList submitsOf(const TarvikDevice& device) {
  return commandsOf(device).filter(QRegularExpression(QStringLiteral("^Submit")));
}

// Rows first..last of each pair, counted from 1, as the rows of `into` that `from` gives.
template <std::size_t N>
void takeRows(const QList<int>& ranges, const std::array<std::uint8_t, N>& from,
              std::array<std::uint8_t, N>& into) {
  for (qsizetype i = 0; i + 1 < ranges.size(); i += 2)
    for (int row = ranges[i] - 1; row < ranges[i + 1]; ++row) into[row] = from[row];
}

// The device holds exactly what the backup file holds.
bool holdsFile(const TarvikDevice& device, const QString& file) {
  const FullBackup::LoadResult read = FullBackup::load(file);
  const TarvikContents& held = device.contents();
  return read.ok() && read.settings && held.presets == read.tables->presetPayload() &&
         held.ccMap == read.tables->ccMapPayload() &&
         held.pcRemap == read.tables->pcRemapPayload() && held.configRecord == *read.settings;
}

CliOptions withFile(const QString& file, bool verbose = false) {
  CliOptions options;
  options.file = file;
  options.verbose = verbose;
  return options;
}

// The backup command as the command line makes it, with the given options.
std::unique_ptr<CliCommand> backupCommand(MidiPorts& ports, CliOptions options, Output output) {
  options.command = CommandKind::Backup;
  return makeCommand(options, ports, output);
}

}  // namespace

class CliTransferTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir;

  QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

  // A backup of a device with the seed's contents, made by the backup command itself.
  QString backupOf(std::uint32_t seed, const char* name) {
    SimulatedMidi device(TarvikContents::fromSeed(seed));
    CapturedOutput output;
    const std::unique_ptr<CliCommand> backup =
        backupCommand(device.ports(), withFile(path(name)), output.output());
    if (runToEnd(*backup) != ExitCode::Ok)
      qFatal("backup failed: %s", qPrintable(output.errText()));
    return path(name);
  }

 private Q_SLOTS:
  void initTestCase() { QVERIFY(dir.isValid()); }

  void portsListsInputsThenOutputs() {
    SimulatedMidi device;
    CapturedOutput output;
    const std::unique_ptr<CliCommand> ports =
        makeCommand(CliOptions{}, device.ports(), output.output());
    QCOMPARE(runToEnd(*ports), ExitCode::Ok);
    QCOMPARE(output.outText(), QStringLiteral("in:\tTarvik MIDI\nout:\tTarvik MIDI\n"));
  }

  void infoReportsTheFirmware_data() {
    QTest::addColumn<int>("major");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("printed");
    QTest::addColumn<QString>("error");
    QTest::newRow("the program's firmware") << 1 << false << 0 << "firmware: 1.9\n"
                                            << "";
    QTest::newRow("other firmware") << 2 << false << 1 << "firmware: 2.9\n"
                                    << "tarvik-cli: Your Tarvik Version does not match to this "
                                       "software! Please Update Firmware or Software!\n";
    QTest::newRow("nothing answers") << 1 << true << 1 << ""
                                     << "tarvik-cli: No Tarvik found\n";
  }
  void infoReportsTheFirmware() {
    QFETCH(int, major);
    QFETCH(bool, silent);
    QFETCH(int, exitCode);
    QFETCH(QString, printed);
    QFETCH(QString, error);
    SimulatedMidi device;
    device.device().setVersion(static_cast<std::uint8_t>(major), 9);
    SimFaults faults;
    faults.silent = silent;
    device.device().setFaults(faults);
    CapturedOutput output;
    CliOptions options;
    options.command = CommandKind::Info;
    const std::unique_ptr<CliCommand> info = makeCommand(options, device.ports(), output.output());
    QCOMPARE(runToEnd(*info), exitCode);
    QCOMPARE(output.outText(), printed);
    QCOMPARE(output.errText(), error);
  }

  void backupWritesTheDevicesContentsExactly() {
    TarvikContents contents = TarvikContents::factory();
    contents.presets[3] = 0x81;
    contents.ccMap[3] = 2;
    contents.pcRemap[3] = 128;
    contents.ccMap[9] = 200;  // no CC item: the program reads and saves it as no selection
    contents.configRecord = kRecord;
    SimulatedMidi device(contents);

    PresetTables expected;
    for (int row = 0; row < PresetTables::kRows; ++row) {
      expected.setMask(row, 0);
      expected.setCc(row, 0);
      expected.setPcRemap(row, row);
    }
    expected.setMask(3, 0x81);
    expected.setCc(3, 2);
    expected.setPcRemap(3, 128);
    expected.setCc(9, -1);
    const QByteArray settings =
        "[settings]\r\ndebounceTime=90\r\nmidiChannel=2\r\nomniMode=1\r\nmuteMask=5\r\n"
        "muteBeforeDelay=5\r\nmuteAfterDelay=6\r\nswitchMask=128\r\nswitchOnTime=10\r\n"
        "magicFunction=2\r\nmagicChannel=1\r\nmagicChange=6\r\nmagicValue=127\r\n"
        "sendCcInIam=1\r\nbankExpander=0\r\ndoublePressBypass=1\r\nbypassProgram=127\r\n"
        "expressionCC=255\r\nboundlessBank=1\r\nampRackMode=0\r\nlockMask=3\r\n";

    CapturedOutput output;
    const std::unique_ptr<CliCommand> backup =
        backupCommand(device.ports(), withFile(path("known.tvk")), output.output());
    QCOMPARE(runToEnd(*backup), ExitCode::Ok);
    const QByteArray written = readFile(path("known.tvk"));
    QCOMPARE(written, "[backup]\r\nsettings=20\r\nnames=0\r\nloops=0\r\n" +
                          TvkFile::serialize(expected) + settings);
    QVERIFY(written.contains("[3]\r\npc=129\r\ncc=2\r\npcremap=128\r\n[4]\r\n"));
    QVERIFY(written.contains("[9]\r\npc=0\r\ncc=-1\r\npcremap=9\r\n"));
    // Not silently: the one value the backup could not keep as the device holds it is named.
    QCOMPARE(output.errText(), QStringLiteral("tarvik-cli: warning: CC map row 10: Tarvik holds "
                                              "0xC8, the backup keeps 0xFF\n"));
  }

  // `sheet device`: a fresh download, its presets as a backup of the device keeps them.
  void aSheetOfTheDeviceHoldsWhatABackupKeeps() {
    const QString backup = backupOf(14, "sheet-source.tvk");
    SimulatedMidi device(TarvikContents::fromSeed(14));
    CliOptions options = withFile(path("device.csv"));
    options.command = CommandKind::Sheet;
    options.files = {QStringLiteral("device")};
    CapturedOutput output;
    const std::unique_ptr<CliCommand> sheet = makeCommand(options, device.ports(), output.output());
    QCOMPARE(runToEnd(*sheet), ExitCode::Ok);
    QCOMPARE(output.outText(), "setup sheet of device written to " + path("device.csv") + "\n");
    const PresetCsv::Read read = PresetCsv::parse(readFile(path("device.csv")));
    QVERIFY2(read.ok(), qPrintable(read.error));
    const PresetTables kept = *FullBackup::loadWhole(backup).tables;
    for (int row = 0; row < kTableSize; ++row)
      QCOMPARE(read.presets->at(row), (PresetRow{kept.mask(row), kept.pcRemap(row), {}}));
  }

  // `backup -`: standard output carries the file's bytes and nothing else; no file is written.
  void backupToStandardOutputPrintsOnlyTheFile() {
    const QByteArray file = readFile(backupOf(5, "seed5.tvk"));
    SimulatedMidi device(TarvikContents::fromSeed(5));
    CapturedOutput output;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const std::unique_ptr<CliCommand> backup =
        backupCommand(device.ports(), withFile(QStringLiteral("-"), true), output.output());
    const int exitCode = runToEnd(*backup);
    QVERIFY(QDir::setCurrent(before));
    QCOMPARE(exitCode, ExitCode::Ok);
    QCOMPARE(output.outText().toLatin1(), file);
    // --verbose goes to standard error, beside the file.
    QVERIFY(output.errText().contains(QStringLiteral("128 presets complete")));
    QVERIFY(!QFile::exists(path("-")));
  }

  // A disk or an output that fills while the backup is written: exit 2 with one line, and the
  // file that was there stays as it was.
  void aBackupThatCannotBeWrittenIsAFileError_data() {
    QTest::addColumn<bool>("standardOutput");
    QTest::newRow("into a file on a full disk") << false;
    QTest::newRow("to a full standard output") << true;
  }
  void aBackupThatCannotBeWrittenIsAFileError() {
    QFETCH(bool, standardOutput);
    const QString file = path("full-disk.tvk");
    QVERIFY(writeFile(file, "old\n"));
    SimulatedMidi device(TarvikContents::fromSeed(5));
    QFile full(QStringLiteral("/dev/full"));
    QVERIFY(full.open(QIODevice::WriteOnly));
    QTextStream fullStream(&full);
    CapturedOutput output;
    const cli::Output streams =
        standardOutput ? cli::Output{fullStream, output.errStream} : output.output();
    const std::unique_ptr<CliCommand> backup = backupCommand(
        device.ports(), withFile(standardOutput ? QStringLiteral("-") : file), streams);
    int exitCode = -1;
    {
      std::optional<FileSizeLimit> fullDisk;
      if (!standardOutput) fullDisk.emplace(1000);
      exitCode = runToEnd(*backup);
    }
    QCOMPARE(exitCode, ExitCode::UsageOrFile);
    // The last line, after the warnings about values the backup keeps otherwise.
    const QString last = standardOutput
                             ? QStringLiteral("\ntarvik-cli: cannot write to standard output\n")
                             : QStringLiteral("\ntarvik-cli: cannot write %1\n").arg(file);
    QVERIFY2(output.errText().endsWith(last), qPrintable(output.errText()));
    QCOMPARE(readFile(file), QByteArray("old\n"));
  }

  void restoreFromStandardInput() {
    const QString file = backupOf(6, "seed6.tvk");
    SimulatedMidi device(TarvikContents::fromSeed(1));
    QBuffer input;
    input.setData(readFile(file));
    QVERIFY(input.open(QIODevice::ReadOnly));
    CapturedOutput output;
    cli::Output streams = output.output();
    streams.in = &input;
    RestoreCommand restore(device.ports(), withFile(QStringLiteral("-")), streams);
    QCOMPARE(runToEnd(restore), ExitCode::Ok);
    QVERIFY2(output.outText().startsWith(QStringLiteral("restore verified: ")),
             qPrintable(output.errText()));
    const FullBackup::LoadResult read = FullBackup::load(file);
    QVERIFY(read.ok() && read.settings);
    QVERIFY(device.device().contents().presets == read.tables->presetPayload());
    QVERIFY(device.device().contents().configRecord == *read.settings);
  }

  // A backup that cannot be made writes no file: into a folder that is not there it sends
  // nothing at all, and of a device that never answers it writes nothing.
  void aBackupThatFailsWritesNoFile_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error");
    QTest::newRow("into a folder that is not there")
        << "missing/rig.tvk" << false << int(ExitCode::UsageOrFile)
        << QStringLiteral("tarvik-cli: cannot write %1\n").arg(path("missing/rig.tvk"));
    QTest::newRow("of a silent device") << "silent.tvk" << true << int(ExitCode::DeviceFailure)
                                        << QStringLiteral("tarvik-cli: No Tarvik found\n");
  }
  void aBackupThatFailsWritesNoFile() {
    QFETCH(QString, file);
    QFETCH(bool, silent);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    SimulatedMidi device;
    device.device().setFaults(SimFaults{.silent = silent});
    CapturedOutput output;
    const std::unique_ptr<CliCommand> backup =
        backupCommand(device.ports(), withFile(dir.filePath(file)), output.output());
    QCOMPARE(runToEnd(*backup), exitCode);
    QCOMPARE(output.errText(), error);
    QVERIFY(!QFile::exists(dir.filePath(file)));
    if (!silent) QCOMPARE(device.device().commandsReceived(), 0);
  }

  void restoreLeavesTheDeviceHoldingTheFile() {
    const QString file = backupOf(2, "seed2.tvk");
    SimulatedMidi device(TarvikContents::fromSeed(1));
    QVERIFY(device.device().contents() != TarvikContents::fromSeed(2));

    CapturedOutput output;
    RestoreCommand restore(device.ports(), withFile(file, true), output.output());
    QCOMPARE(runToEnd(restore), ExitCode::Ok);
    QVERIFY2(output.outText().startsWith(QStringLiteral("restore verified: ")),
             qPrintable(output.outText()));
    // --verbose shows the machine's log and the restore's steps.
    QVERIFY(output.errText().contains(QStringLiteral("\nsubmit presets\n")));
    QVERIFY(output.errText().contains(QStringLiteral("restore: submitting settings\n")));

    const FullBackup::LoadResult read = FullBackup::load(file);
    QVERIFY(read.ok() && read.settings);
    const TarvikContents& held = device.device().contents();
    QVERIFY(held.presets == read.tables->presetPayload());
    QVERIFY(held.ccMap == read.tables->ccMapPayload());
    QVERIFY(held.pcRemap == read.tables->pcRemapPayload());
    QVERIFY(held.configRecord == *read.settings);

    CapturedOutput again;
    const std::unique_ptr<CliCommand> backup =
        backupCommand(device.ports(), withFile(path("again.tvk")), again.output());
    QCOMPARE(runToEnd(*backup), ExitCode::Ok);
    QCOMPARE(readFile(path("again.tvk")), readFile(file));
  }

  // Every command a restore sends is a round trip it waits for: the identify burst once, before
  // anything is written, then the submits and one read-back. Only a partial restore reads the
  // device before it writes, for the rows it leaves alone.
  void aRestoreAsksNoMoreThanItNeeds_data() {
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("commands");
    const QStringList identify(kIdentifyCommands, QStringLiteral("Identify"));
    const QStringList tables = {"SubmitPresets", "SubmitCcMap", "SubmitPcRemap"};
    const QStringList download = {"DownloadPresets", "DownloadConfig", "DownloadCcMap",
                                  "DownloadPcRemap"};
    QTest::newRow("a backup") << QStringList{"restore", "backup"}
                              << identify + tables + QStringList{"SubmitConfig"} + download;
    QTest::newRow("a file of the tables alone")
        << QStringList{"restore", "tables"} << identify + tables + download;
    QTest::newRow("some presets of a backup")
        << QStringList{"restore", "--only", "presets:1-2", "backup"}
        << identify + download + tables + download;
  }
  void aRestoreAsksNoMoreThanItNeeds() {
    QFETCH(QStringList, words);
    QFETCH(QStringList, commands);
    const QString tables = path("asked-tables.tvk");
    QVERIFY(writeFile(tables, TvkFile::serialize(tablesOf(TarvikContents::fromSeed(2)))));
    words.last() = words.last() == u"tables" ? tables : backupOf(2, "asked.tvk");
    SimulatedMidi device(TarvikContents::fromSeed(1));
    const testing::Ran ran = runCommandLine(device.ports(), path("asked.sqlite"), words);
    QCOMPARE(ran.exitCode, ExitCode::Ok);
    QCOMPARE(commandsOf(device.device()), commands);
  }

  void aFileWithoutSettingsLeavesTheRecordAlone() {
    const QString file = path("tables.tvk");
    QVERIFY(writeFile(file, TvkFile::serialize(tablesOf(TarvikContents::fromSeed(3)))));
    const TarvikContents before = TarvikContents::fromSeed(4);
    SimulatedMidi device(before);

    CapturedOutput output;
    RestoreCommand restore(device.ports(), withFile(file), output.output());
    QCOMPARE(runToEnd(restore), ExitCode::Ok);
    QVERIFY2(output.outText().contains(QStringLiteral("settings were left as they were")),
             qPrintable(output.outText()));
    QCOMPARE(submitsOfRecord(device.device()), 0);
    QVERIFY(device.device().contents().configRecord == before.configRecord);
    QVERIFY(device.device().contents().presets ==
            tablesOf(TarvikContents::fromSeed(3)).presetPayload());
  }

  // `restore --only` over a device holding seed 1: exactly the rows named change, to the
  // source's, and everything else is as the device held it, to the byte. Refused parts end the
  // command before anything reaches the device.
  void partialRestoreTakesOnlyTheParts_data() {
    QTest::addColumn<QString>("source");  // backup, tables (no settings), csv, library, device
    QTest::addColumn<QString>("parts");
    QTest::addColumn<QList<int>>("presets");  // first, last pairs as the matrix counts
    QTest::addColumn<QList<int>>("ccMap");
    QTest::addColumn<bool>("settings");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("printed");  // standard output, or the start of standard error
    QTest::addColumn<QStringList>("submits");
    const QStringList tables = {"SubmitPresets", "SubmitCcMap", "SubmitPcRemap"};
    const QString verified = QStringLiteral("restore verified\n");
    const QList<int> none;

    QTest::newRow("a range of presets") << "backup"
                                        << "presets:10-20" << QList<int>{10, 20} << none << false
                                        << 0 << "presets 10-20 from @\n" + verified << tables;
    QTest::newRow("one preset, the first") << "backup"
                                           << "presets:1" << QList<int>{1, 1} << none << false << 0
                                           << "presets 1 from @\n" + verified << tables;
    QTest::newRow("the last preset and two ranges")
        << "backup"
        << "presets:128,presets:3-4" << QList<int>{128, 128, 3, 4} << none << false << 0
        << "presets 128 from @\npresets 3-4 from @\n" + verified << tables;
    QTest::newRow("all presets, not the CC map")
        << "backup"
        << "presets" << QList<int>{1, 128} << none << false << 0
        << "presets 1-128 from @\n" + verified << tables;
    QTest::newRow("a range of the CC map") << "backup"
                                           << "ccmap:5-9" << none << QList<int>{5, 9} << false << 0
                                           << "ccmap 5-9 from @\n" + verified << tables;
    QTest::newRow("settings alone send no table")
        << "backup"
        << "settings" << none << none << true << 0 << "settings from @\n" + verified
        << QStringList{"SubmitConfig"};
    QTest::newRow("presets, CC map and settings")
        << "backup"
        << "settings,ccmap,presets:64-65" << QList<int>{64, 65} << QList<int>{1, 128} << true << 0
        << "settings from @\nccmap 1-128 from @\npresets 64-65 from @\n" + verified
        << tables + QStringList{"SubmitConfig"};
    QTest::newRow("a file of the tables alone gives presets")
        << "tables"
        << "presets:100-128" << QList<int>{100, 128} << none << false << 0
        << "presets 100-128 from @\n" + verified << tables;
    QTest::newRow("presets of a CSV") << "csv"
                                      << "presets:2-6" << QList<int>{2, 6} << none << false << 0
                                      << "presets 2-6 from @\n" + verified << tables;
    QTest::newRow("a setup of the library")
        << "library"
        << "presets:7,ccmap:7" << QList<int>{7, 7} << QList<int>{7, 7} << false << 0
        << "presets 7 from library:rig\nccmap 7 from library:rig\n" + verified << tables;
    QTest::newRow("what the device holds already is not sent")
        << "device"
        << "presets,ccmap" << QList<int>{1, 128} << QList<int>{1, 128} << false << 0
        << "presets 1-128 from @\nccmap 1-128 from @\n" + verified << QStringList();

    const auto refused = [&](const char* name, const char* source, const char* parts,
                             const QString& error) {
      QTest::newRow(name) << source << parts << none << none << false << 2 << "tarvik-cli: " + error
                          << QStringList();
    };
    refused("no preset 0", "backup", "presets:0-3", "--only presets:0-3: rows are numbers");
    refused("a range backwards", "backup", "presets:5-2",
            "--only presets:5-2: the first row comes after the last");
    refused("no preset 129", "backup", "presets:129", "--only presets:129: rows are numbers");
    refused("an unknown word", "backup", "presets,loops",
            "--only presets,loops: \"loops\" is none of presets, ccmap and settings");
    refused("an empty part", "backup", "presets,", "--only presets,: a part is empty");
    refused("rows of the settings", "backup", "settings:1", "--only settings:1: the settings");
    refused("settings from a file without them", "tables", "presets,settings",
            "@: there are no settings to take");
    refused("the CC map from a CSV", "csv", "ccmap:1-4",
            "@: only presets can be taken from a CSV file, not ccmap");
    refused("settings from a setup of the tables alone", "library tables", "settings",
            "library:tables: there are no settings to take");
  }
  void partialRestoreTakesOnlyTheParts() {
    QFETCH(QString, source);
    QFETCH(QString, parts);
    QFETCH(QList<int>, presets);
    QFETCH(QList<int>, ccMap);
    QFETCH(bool, settings);
    QFETCH(int, exitCode);
    QFETCH(QString, printed);
    QFETCH(QStringList, submits);

    const TarvikContents held = TarvikContents::fromSeed(1);
    const PresetTables givenTables = tablesOf(TarvikContents::fromSeed(2));
    const QString library = path("partial.sqlite");
    QFile::remove(library);
    QString file;
    if (source == u"csv") {
      file = path("partial.csv");
      PresetNames names;
      names.setName(3, QStringLiteral("Crunch"));
      QVERIFY(writeFile(file, PresetCsv::write(givenTables, names)));
    } else if (source.endsWith(u"tables")) {
      file = path("tables.tvk");
      QVERIFY(writeFile(file, TvkFile::serialize(givenTables)));
    } else {
      file = backupOf(source == u"device" ? 1 : 2, "rig.tvk");
    }
    // What the parts must come from: the source as a restore of it all would send it.
    FullBackup::LoadResult read;
    if (source == u"csv") {
      read.tables = givenTables;
    } else {
      read = FullBackup::load(file);
    }
    QVERIFY(read.ok());
    const FullBackup::Settings givenSettings = read.settings.value_or(FullBackup::Settings{});
    SimulatedMidi device(held);
    QStringList words = {QStringLiteral("restore"), QStringLiteral("--only"), parts, file};
    if (source.startsWith(u"library")) {
      const testing::Ran import = runCommandLine(
          device.ports(), library, {QStringLiteral("library"), QStringLiteral("import"), file});
      QVERIFY2(import.exitCode == 0, qPrintable(import.err));
      words = {QStringLiteral("library"), QStringLiteral("restore"),
               QFileInfo(file).completeBaseName(), QStringLiteral("--only"), parts};
    }
    printed.replace(u'@', file);

    const cli::CliParse parse = cli::parseCommandLine(
        QStringList{QStringLiteral("tarvik-cli"), QStringLiteral("--library"), library} + words,
        QUrl());
    if (parse.outcome == cli::CliParse::Outcome::UsageError) {
      // As the program ends on a usage error: exit 2, before a MIDI port is even looked at.
      QCOMPARE(exitCode, ExitCode::UsageOrFile);
      QVERIFY2(("tarvik-cli: " + parse.text).startsWith(printed), qPrintable(parse.text));
    } else {
      const testing::Ran ran = runCommandLine(device.ports(), library, words);
      QCOMPARE(ran.exitCode, exitCode);
      if (exitCode == ExitCode::Ok) {
        QCOMPARE(ran.out, printed);
      } else {
        QVERIFY2(ran.err.startsWith(printed), qPrintable(ran.err));
        QCOMPARE(ran.out, QString());
      }
    }
    QCOMPARE(submitsOf(device.device()), submits);
    if (exitCode != ExitCode::Ok) QVERIFY(device.device().log().empty());

    TarvikContents expected = held;
    takeRows(presets, read.tables->presetPayload(), expected.presets);
    takeRows(presets, read.tables->pcRemapPayload(), expected.pcRemap);
    takeRows(ccMap, read.tables->ccMapPayload(), expected.ccMap);
    if (settings) expected.configRecord = givenSettings;
    const TarvikContents& now = device.device().contents();
    QVERIFY(now.presets == expected.presets);
    QVERIFY(now.pcRemap == expected.pcRemap);
    QVERIFY(now.ccMap == expected.ccMap);
    QVERIFY(now.configRecord == expected.configRecord);
  }

  // The read-back is measured against the merge, all of it: a device that stores a row other
  // than it was sent fails the restore, inside the parts or outside them.
  void partialRestoreFailsWhereTheDeviceDiffers_data() {
    QTest::addColumn<int>("item");
    QTest::newRow("a preset taken") << 11;
    QTest::newRow("a preset left as it was") << 99;
  }
  void partialRestoreFailsWhereTheDeviceDiffers() {
    QFETCH(int, item);
    const QString file = backupOf(2, "partial-differs.tvk");
    SimulatedMidi device(TarvikContents::fromSeed(1));
    SimFaults faults;
    faults.alterStoredCommand = 5;  // SubmitPresets
    faults.alteredItem = item;
    device.device().setFaults(faults);
    const testing::Ran ran = runCommandLine(device.ports(), path("differs.sqlite"),
                                            {QStringLiteral("restore"), QStringLiteral("--only"),
                                             QStringLiteral("presets:10-20"), file});
    QCOMPARE(ran.exitCode, ExitCode::DeviceFailure);
    QVERIFY2(ran.err.contains(QStringLiteral("presets differ from row %1 on").arg(item + 1)),
             qPrintable(ran.err));
    QCOMPARE(ran.out, QString());
  }

  void restoreReportsTheFirstDifference_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("item");
    QTest::addColumn<Block>("block");
    QTest::addColumn<QString>("where");
    QTest::newRow("presets") << 5 << 5 << Block::Presets << "presets differ from row 6 on";
    QTest::newRow("CC map") << 7 << 0 << Block::CcMap << "CC map differ from row 1 on";
    QTest::newRow("PC remap table")
        << 19 << 127 << Block::PcRemap << "PC remap table differ from row 128 on";
    QTest::newRow("settings") << 4 << 3 << Block::Record
                              << "settings differ from muteMask (byte 3) on";
  }
  void restoreReportsTheFirstDifference() {
    QFETCH(int, command);
    QFETCH(int, item);
    QFETCH(Block, block);
    QFETCH(QString, where);
    const QString file = backupOf(2, "differs.tvk");
    const FullBackup::LoadResult read = FullBackup::load(file);
    QVERIFY(read.ok() && read.settings);
    std::uint8_t sent = 0;
    switch (block) {
      case Block::Presets:
        sent = read.tables->presetPayload()[item];
        break;
      case Block::CcMap:
        sent = read.tables->ccMapPayload()[item];
        break;
      case Block::PcRemap:
        sent = read.tables->pcRemapPayload()[item];
        break;
      case Block::Record:
        sent = (*read.settings)[item];
        break;
    }

    SimulatedMidi device(TarvikContents::fromSeed(1));
    SimFaults faults;
    faults.alterStoredCommand = static_cast<std::uint8_t>(command);
    faults.alteredItem = item;
    device.device().setFaults(faults);
    CapturedOutput output;
    RestoreCommand restore(device.ports(), withFile(file), output.output());
    QCOMPARE(runToEnd(restore), ExitCode::DeviceFailure);

    const auto hex = [](std::uint8_t value) {
      return QStringLiteral("0x%1")
          .arg(value, 2, 16, QLatin1Char('0'))
          .toUpper()
          .replace("0X", "0x");
    };
    const QString line = QStringLiteral("tarvik-cli: restore failed: %1: device %2, file %3\n")
                             .arg(where, hex(sent ^ 0x01), hex(sent));
    QCOMPARE(output.errText(), line);
    QCOMPARE(restore.core().restoreProblem(), RestoreCheck::Problem::Differs);
    QCOMPARE(CoreParts::restoreCheck(restore.core()).failedBlock(), std::optional<Block>(block));
    QCOMPARE(CoreParts::restoreCheck(restore.core()).difference()->row, item);
  }

  void aRefusedSubmitNamesTheBlock() {
    const QString file = backupOf(2, "refused.tvk");
    SimulatedMidi device(TarvikContents::fromSeed(1));
    SimFaults faults;
    faults.submitStatus = 0x00;
    device.device().setFaults(faults);
    CapturedOutput output;
    RestoreCommand restore(device.ports(), withFile(file), output.output());
    QCOMPARE(runToEnd(restore), ExitCode::DeviceFailure);
    QCOMPARE(output.errText(),
             QStringLiteral(
                 "tarvik-cli: restore failed: Tarvik did not store the presets (status 0x00)\n"));
    QCOMPARE(restore.core().restoreProblem(), RestoreCheck::Problem::Refused);
    QCOMPARE(CoreParts::restoreCheck(restore.core()).failedBlock(),
             std::optional<Block>(Block::Presets));
    // Nothing after the refused chain: no record, no verifying download.
    QCOMPARE(submitsOfRecord(device.device()), 0);
  }

  // Replies that this restore did not ask for come from another program talking to the device:
  // whatever was sent or read back, the restore cannot be called verified, and the device may
  // have been written.
  void anotherProgramsRepliesFailTheRestore_data() {
    QTest::addColumn<QString>("command");  // as the device logs it
    QTest::addColumn<int>("occurrence");   // of that command, from 1
    QTest::addColumn<Bytes>("frame");      // the other program's reply
    QTest::newRow("a submit of presets while this one identifies")
        << "Identify" << 1 << Bytes{0xF0, 0x05, 0x0F, 0x0F, 0xF7};
    QTest::newRow("an identify while this one submits")
        << "SubmitPresets (128 bytes)" << 1 << buildReplyFrame(1, Bytes{1, 9});
    QTest::newRow("a download while this one reads back")
        << "DownloadConfig" << 1 << buildReplyFrame(2, Bytes(kTableSize, 0));
  }
  void anotherProgramsRepliesFailTheRestore() {
    QFETCH(QString, command);
    QFETCH(int, occurrence);
    QFETCH(Bytes, frame);
    const QString file = backupOf(2, "interfered.tvk");
    SimulatedMidi device(TarvikContents::fromSeed(1));
    int seen = 0;
    QObject::connect(
        &device.tarvik(), &InProcessTarvik::logLine, &device.tarvik(), [&](const QString& line) {
          if (line != command || ++seen != occurrence) return;
          // As MIDI input comes: after the send that the device is logging.
          QMetaObject::invokeMethod(
              &device.tarvik(), [&] { device.service().deliverSysEx(device.inPort(), frame); },
              Qt::QueuedConnection);
        });
    CapturedOutput output;
    RestoreCommand restore(device.ports(), withFile(file), output.output());
    QCOMPARE(runToEnd(restore), ExitCode::DeviceFailure);
    // The machine acts on the other program's reply as on any: it may ask for more.
    QVERIFY(seen >= occurrence);
    QCOMPARE(output.errText(),
             QStringLiteral("tarvik-cli: restore failed: replies came from Tarvik that this "
                            "program did not ask for (another program is talking to Tarvik); "
                            "what Tarvik holds may have changed\n"));
    QCOMPARE(restore.core().restoreProblem(), RestoreCheck::Problem::Interfered);
  }

  // The device stops answering after `answered` commands: each submit, and the read-back's first
  // download, is tried three times (the default retries) on a driven watchdog, then the restore
  // ends naming the step.
  void aSilenceNamesTheStep_data() {
    QTest::addColumn<int>("answered");
    QTest::addColumn<QString>("error");
    QTest::addColumn<std::optional<Block>>("block");
    QTest::addColumn<QString>("tries");
    QTest::newRow("presets") << kIdentifyCommands
                             << "Tarvik did not answer while submitting presets"
                             << std::optional<Block>(Block::Presets) << "SubmitPresets";
    QTest::newRow("CC map") << kIdentifyCommands + 1
                            << "Tarvik did not answer while submitting control changes"
                            << std::optional<Block>(Block::CcMap) << "SubmitCcMap";
    QTest::newRow("settings") << kIdentifyCommands + 3
                              << "Tarvik did not answer while submitting config"
                              << std::optional<Block>(Block::Record) << "SubmitConfig";
    QTest::newRow("the read-back")
        << kIdentifyCommands + 4 << "Tarvik did not answer while downloading presets"
        << std::optional<Block>() << "DownloadPresets";
  }
  void aSilenceNamesTheStep() {
    QFETCH(int, answered);
    QFETCH(QString, error);
    QFETCH(std::optional<Block>, block);
    QFETCH(QString, tries);
    const QString file = backupOf(2, "silence.tvk");
    SimulatedMidi device(TarvikContents::fromSeed(1));
    SimFaults faults;
    faults.answerFirst = answered;
    device.device().setFaults(faults);
    CapturedOutput output;
    RestoreCommand restore(device.ports(), withFile(file, true), output.output());
    auto* watchdog = new testing::ManualClock;
    CoreParts::machine(restore.core()).setWatchdogClock(std::unique_ptr<WaitClock>(watchdog));
    restore.start();
    const auto silent = [&] {
      return restore.done() || (static_cast<int>(device.device().received().size()) > answered &&
                                watchdog->running());
    };
    while (!restore.done()) {
      QVERIFY(QTest::qWaitFor(silent, 60000));
      if (!restore.done()) watchdog->advance(60000);
    }
    QCOMPARE(restore.exitCode(), ExitCode::DeviceFailure);
    const QStringList lines = output.errText().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.last(), QStringLiteral("tarvik-cli: restore failed: %1").arg(error));
    const QStringList expected = tries.isEmpty() ? QStringList()
                                                 : QStringList{tries + ": no reply, try 2 of 3",
                                                               tries + ": no reply, try 3 of 3"};
    QCOMPARE(lines.filter(QLatin1String("no reply, try")), expected);
    QCOMPARE(CoreParts::restoreCheck(restore.core()).failedBlock(), block);
  }

  // A restore over a link with a fault, with the row's pace and retries, on time that moves only
  // while the program waits for nothing but a clock. Compared: the try lines and the last line; a
  // success says how many tries it took, a failure names the block.
  void aBadLinkIsGotThroughWithCare_data() {
    QTest::addColumn<SimFaults>("faults");
    QTest::addColumn<int>("pace");
    QTest::addColumn<int>("retries");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("tries");
    QTest::addColumn<QString>("last");
    const QString verified = QStringLiteral(
        "restore verified%1: Tarvik holds the file's presets, CC map, PC remap table and settings");
    QTest::newRow("frames too close for the interface, back to back")
        << SimFaults{.dropFastMs = 3} << 0 << 2 << int(ExitCode::DeviceFailure)
        << QStringList{"SubmitPresets: no reply, try 2 of 3", "SubmitPresets: no reply, try 3 of 3"}
        << "tarvik-cli: restore failed: Tarvik did not answer while submitting presets";
    QTest::newRow("frames too close for the interface, paced")
        << SimFaults{.dropFastMs = 3} << 5 << 2 << int(ExitCode::Ok) << QStringList()
        << verified.arg(QString());
    QTest::newRow("the first submit ignored")
        << SimFaults{.ignoreFirstSubmit = true} << 0 << 2 << int(ExitCode::Ok)
        << QStringList{"SubmitPresets: no reply, try 2 of 3"} << verified.arg(" (2 tries)");
    QTest::newRow("one reply in five lost")
        << SimFaults{.loseReplyEvery = 5} << 0 << 3
        << int(ExitCode::Ok)
        // Replies 5, 10, 15 ... of all the device sends: the tries shift which command loses one.
        << QStringList{"Identify: no reply, try 2 of 4", "SubmitCcMap: no reply, try 2 of 4",
                       "DownloadConfig: no reply, try 2 of 4"}
        << verified.arg(" (4 tries)");
    // Item nibble 835 of the replies falls in row 126 of the read-back's PC remap table; the
    // next, 1,670, would come after the second read-back.
    QTest::newRow("one read-back byte mangled")
        << SimFaults{.corruptReplyEvery = 835} << 0 << 2 << int(ExitCode::Ok)
        << QStringList{"PC remap table differ from row 126 on after the submit, try 2 of 3"}
        << verified.arg(" (2 tries)");
  }
  void aBadLinkIsGotThroughWithCare() {
    QFETCH(SimFaults, faults);
    QFETCH(int, pace);
    QFETCH(int, retries);
    QFETCH(int, exitCode);
    QFETCH(QStringList, tries);
    QFETCH(QString, last);
    const QString file = backupOf(2, "bad-link.tvk");
    SimulatedMidi device(TarvikContents::fromSeed(1));
    testing::IdleTime time([&] { return device.tarvik().pendingReplies() == 0; });
    device.device().setClock(time.reader());
    device.device().setFaults(faults);
    CapturedOutput output;
    RestoreCommand restore(device.ports(), withFile(file, true), output.output());
    restore.core().setTransferCare({pace, retries});
    CoreParts::pacer(restore.core()).setClock(time.clock());
    CoreParts::machine(restore.core()).setWatchdogClock(time.clock());
    QCOMPARE(runToEnd(restore), exitCode);
    const QStringList lines = output.errText().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.filter(QRegularExpression(QStringLiteral(", try \\d of \\d$"))), tries);
    QCOMPARE(exitCode == ExitCode::Ok ? output.outText().trimmed() : lines.last(), last);
    if (exitCode == ExitCode::Ok) QVERIFY(holdsFile(device.device(), file));
  }

  void aRefusedFileSendsNothing_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("standardInput");
    QTest::addColumn<QString>("error");
    QTest::newRow("not there") << QByteArray() << false << "No such file";
    QTest::newRow("no preset sections")
        << QByteArray("[settings]\r\n") << false << "no preset sections";
    QTest::newRow("settings not whole")
        << TvkFile::serialize(PresetTables()) + "[settings]\r\ndebounceTime=90\r\n"
        << false << "midiChannel is missing";
    QTest::newRow("empty standard input") << QByteArray() << true << "no preset sections";
    QTest::newRow("settings not whole on standard input")
        << TvkFile::serialize(PresetTables()) + "[settings]\r\ndebounceTime=90\r\n"
        << true << "midiChannel is missing";
    // The rows a cut file lacks would go out as defaults and read back as "verified".
    QTest::newRow("a cut file") << TvkFile::serialize(PresetTables()).left(400) << false
                                << "section [13] has no pcremap";
    QTest::newRow("a cut standard input")
        << TvkFile::serialize(PresetTables()).left(400) << true << "section [13] has no pcremap";
    QTest::newRow("a value that does not read")
        << TvkFile::serialize(PresetTables())
               .replace("[5]\r\npc=0\r\ncc=8", "[5]\r\npc=0\r\ncc=999")
        << false << "[5] cc=999 cannot be read";
  }
  void aRefusedFileSendsNothing() {
    QFETCH(QByteArray, text);
    QFETCH(bool, standardInput);
    QFETCH(QString, error);
    const QString file = standardInput ? QStringLiteral("-") : path("refused-file.tvk");
    if (!standardInput) QFile::remove(file);
    if (!standardInput && !text.isEmpty()) QVERIFY(writeFile(file, text));
    QBuffer input;
    input.setData(text);
    QVERIFY(input.open(QIODevice::ReadOnly));
    SimulatedMidi device;
    CapturedOutput output;
    cli::Output streams = output.output();
    if (standardInput) streams.in = &input;
    RestoreCommand restore(device.ports(), withFile(file), streams);
    QCOMPARE(runToEnd(restore), ExitCode::UsageOrFile);
    const QString named = standardInput ? QStringLiteral("standard input") : file;
    QVERIFY2(output.errText().startsWith(QStringLiteral("tarvik-cli: ") + named),
             qPrintable(output.errText()));
    QVERIFY2(output.errText().contains(error), qPrintable(output.errText()));
    QCOMPARE(device.device().commandsReceived(), 0);
  }

  void aDeviceWithOtherFirmwareIsNotWritten() {
    const QString file = backupOf(2, "other-firmware.tvk");
    SimulatedMidi device(TarvikContents::fromSeed(1));
    device.device().setVersion(2, 0);
    CapturedOutput output;
    RestoreCommand restore(device.ports(), withFile(file), output.output());
    QCOMPARE(runToEnd(restore), ExitCode::DeviceFailure);
    QVERIFY(output.errText().contains(QStringLiteral("Your Tarvik Version does not match")));
    QVERIFY(device.device().contents() == TarvikContents::fromSeed(1));
    QCOMPARE(device.device().commandsReceived(), 7);
  }

  void portsThatAreNotThereAreNamed() {
    SimulatedMidi device;
    CliOptions options = withFile(path("never.tvk"));
    options.in = QStringLiteral("roland");
    CapturedOutput output;
    const std::unique_ptr<CliCommand> backup =
        backupCommand(device.ports(), options, output.output());
    QCOMPARE(runToEnd(*backup), ExitCode::DeviceFailure);
    QCOMPARE(output.errText(), QStringLiteral("tarvik-cli: no MIDI input matches \"roland\"\n"));
  }

  // `linktest` as the command line makes it: what it prints, where, and how it exits. Its
  // time-outs are driven by the device's withheld replies.
  void linkTestPrintsTwoLinesAndExitsOnLoss_data() {
    QTest::addColumn<SimFaults>("faults");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::newRow("one reply in five lost")
        << SimFaults{.loseReplyEvery = 5} << QStringList{"linktest", "50"} << 1
        << "sent 50, answered 40, lost 10 (20 %)\n"
           "round trip: min 0.0 ms, median 0.0 ms, max 0.0 ms\n"
        << "tarvik-cli: warning: 10 of 50 replies lost: try --pace 5\n";
    QTest::newRow("nothing lost, fifty by default")
        << SimFaults{} << QStringList{"linktest"} << 0
        << "sent 50, answered 50, lost 0 (0 %)\n"
           "round trip: min 0.0 ms, median 0.0 ms, max 0.0 ms\n"
        << "";
    QTest::newRow("a silent device")
        << SimFaults{.silent = true} << QStringList{"linktest", "3"} << 1
        << "sent 3, answered 0, lost 3 (100 %)\nround trip: none\n"
        << "tarvik-cli: warning: 3 of 3 replies lost: try --pace 5\n";
    QTest::newRow("lost at the careful pace: twice it")
        << SimFaults{.silent = true} << QStringList{"--pace", "5", "linktest", "2"} << 1
        << "sent 2, answered 0, lost 2 (100 %)\nround trip: none\n"
        << "tarvik-cli: warning: 2 of 2 replies lost: try --pace 10\n";
    QTest::newRow("lost at the slowest pace: the cable")
        << SimFaults{.silent = true}
        << QStringList{"--pace", "20", "--retries", "0", "linktest", "2"} << 1
        << "sent 2, answered 0, lost 2 (100 %)\nround trip: none\n"
        << "tarvik-cli: warning: 2 of 2 replies lost: try another cable or USB port\n";
  }
  void linkTestPrintsTwoLinesAndExitsOnLoss() {
    QFETCH(SimFaults, faults);
    QFETCH(QStringList, words);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    SimulatedMidi sim;
    sim.device().setFaults(faults);
    const CliParse parse = parseCommandLine(QStringList{"tarvik-cli"} + words, QUrl());
    QCOMPARE(parse.outcome, CliParse::Outcome::Run);
    CapturedOutput output;
    const std::unique_ptr<CliCommand> command =
        makeCommand(parse.options, sim.ports(), output.output());
    auto* device = dynamic_cast<DeviceCommand*>(command.get());
    QVERIFY(device != nullptr);
    QVERIFY(device->core().transferCare() == parse.options.care);
    const WithheldReplyClock clock(sim.tarvik(), CoreParts::linkTest(device->core()));
    QCOMPARE(testing::runToEnd(*command), exitCode);
    QCOMPARE(output.outText(), out);
    QCOMPARE(output.errText(), err);
  }
};

QTEST_GUILESS_MAIN(CliTransferTest)
#include "test_cli_transfer.moc"
