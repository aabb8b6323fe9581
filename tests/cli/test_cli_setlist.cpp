// SPDX-License-Identifier: MIT
// The setlist commands, parsed from their command lines as a user types them, against a library
// of the test's own and the simulated Tarvik in this process.
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "cli/CliRun.h"
#include "cli/MonitorCommand.h"
#include "config/ConfigBytes.h"
#include "library/SetupLibrary.h"
#include "midi/InMemoryMidiService.h"
#include "sim/InProcessTarvik.h"
#include "tests/cli/CommandRig.h"

using namespace tarvik;
using namespace tarvik::cli;
using tarvik::testing::CapturedOutput;
using tarvik::testing::Ran;
using tarvik::testing::runCommandLine;

class CliSetListTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString library_;

  QString path(const QString& name) const { return dir_.filePath(name); }

  Ran run(SimulatedMidi& device, const QStringList& words, const QByteArray& input = {}) {
    return runCommandLine(device.ports(), library_, words, input);
  }
  Ran run(const QStringList& words, const QByteArray& input = {}) {
    SimulatedMidi device;
    return run(device, words, input);
  }

  // The setup "Rig": a device's backup of the seed's contents, with two preset names and a
  // labelled loop.
  TarvikContents importRig(std::uint32_t seed) {
    SimulatedMidi device(TarvikContents::fromSeed(seed));
    if (run(device, {"backup", path("Rig.tvk")}).exitCode != ExitCode::Ok) qFatal("backup");
    QFile file(path("Rig.tvk"));
    if (!file.open(QIODevice::Append)) qFatal("append");
    file.write("[names]\r\n7=Wah\r\n9=Lead\r\n[loops]\r\nloop2=Fuzz\r\n");
    file.close();
    if (run({"library", "import", path("Rig.tvk"), "--replace"}).exitCode != ExitCode::Ok)
      qFatal("import");
    return device.device().contents();
  }

 private Q_SLOTS:
  void initTestCase() { QVERIFY(dir_.isValid()); }
  void init() {
    library_ = path(QStringLiteral("%1.sqlite").arg(QTest::currentTestFunction()) +
                    QTest::currentDataTag());
  }

  void storeTakesAllLinesOrNone_data() {
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("shown");  // setlist show's output, or the error's end
    QTest::newRow("songs in set order, CR LF line ends too")
        << QByteArray("Opener\tRig\t9\r\nBallad song\tRig\t7\nOpener reprise\tRig\t128\n")
        << ExitCode::Ok
        << "1\tOpener\tRig\t9\n2\tBallad song\tRig\t7\n3\tOpener reprise\tRig\t128\n";
    QTest::newRow("a line of two fields")
        << QByteArray("Opener\tRig\t9\nBallad Rig\t7\n") << ExitCode::UsageOrFile
        << "standard input: line 2: 2 fields where SONG, SETUP and PRESET, separated by tabs, "
           "belong\n";
    QTest::newRow("a preset past 128") << QByteArray("Opener\tRig\t129\n") << ExitCode::UsageOrFile
                                       << "standard input: line 1: the preset \"129\" is not one "
                                          "of 1..128\n";
    QTest::newRow("a preset counted from 0")
        << QByteArray("Opener\tRig\t0\n") << ExitCode::UsageOrFile
        << "line 1: the preset \"0\" is not one of 1..128\n";
    QTest::newRow("a setup that is not in the library")
        << QByteArray("Opener\tRig\t1\nCloser\tRug\t2\n") << ExitCode::UsageOrFile
        << "line 2: no setup named \"Rug\"\n";
    QTest::newRow("a song name with a control character")
        << QByteArray(
               "Open\x0b"
               "er\tRig\t1\n")
        << ExitCode::UsageOrFile << "holds U+000B, a control";
  }
  void storeTakesAllLinesOrNone() {
    QFETCH(QByteArray, lines);
    QFETCH(int, exitCode);
    QFETCH(QString, shown);
    importRig(5);
    const Ran stored = run({"setlist", "store", "Friday", "-"}, lines);
    QCOMPARE(stored.exitCode, exitCode);
    if (exitCode != ExitCode::Ok) {
      QVERIFY2(stored.err.startsWith("tarvik-cli: ") && stored.err.contains(shown.trimmed()),
               qPrintable(stored.err));
      QCOMPARE(run({"setlist", "list"}).out, QString());
      return;
    }
    QCOMPARE(run({"setlist", "list"}).out, QStringLiteral("Friday\t3\n"));
    QCOMPARE(run({"setlist", "show", "Friday"}).out, shown);
    {
      // The songs name the loops as their setup does, for the chart.
      SetupLibrary::Opened opened = SetupLibrary::open(library_);
      QVERIFY2(opened.library, qPrintable(opened.error));
      QCOMPARE(opened.library->setLists().setList("Friday").value->songs.at(0).loopLabels,
               QStringLiteral("\nFuzz\n\n\n\n\n\n"));
    }
    // A name that is taken stays as it is unless replaced.
    QCOMPARE(run({"setlist", "store", "Friday", "-"}, "Solo\tRig\t2\n").exitCode,
             ExitCode::UsageOrFile);
    QCOMPARE(run({"setlist", "show", "Friday"}).out, shown);
    QCOMPARE(run({"setlist", "store", "Friday", "-", "--replace"}, "Solo\tRig\t2\n").exitCode,
             ExitCode::Ok);
    QCOMPARE(run({"setlist", "show", "Friday"}).out, QStringLiteral("1\tSolo\tRig\t2\n"));
    QCOMPARE(run({"setlist", "show", "Saturday"}).exitCode, ExitCode::UsageOrFile);
  }

  // What `show` prints goes back into `store`, also for a song whose preset came from the
  // editors (which only the set list keeps a copy of): as it is, into another set, or
  // reordered and renamed into its own.
  void showsLinesGoBackIntoStore_data() {
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("shown");  // the target's show, or the error's end
    // A set "Sunday" that keeps another copy of the editors' preset 3.
    QTest::addColumn<bool>("secondCopy");
    const QByteArray shown = "1\tOpener\tRig\t9\n2\tBallad\teditors\t3\n";
    QTest::newRow("show's lines into another set")
        << shown << "Saturday" << ExitCode::Ok << QString::fromUtf8(shown) << false;
    QTest::newRow("reordered and renamed into their own set")
        << QByteArray("Ballad live\teditors\t3\nOpener\tRig\t9\n") << "Friday" << ExitCode::Ok
        << "1\tBallad live\teditors\t3\n2\tOpener\tRig\t9\n"
        << true;
    QTest::newRow("a preset of the editors that no set keeps")
        << QByteArray("Ballad\teditors\t4\n") << "Saturday" << ExitCode::UsageOrFile
        << "line 1: no setup named \"editors\"" << false;
    QTest::newRow("into another set while two sets keep different copies")
        << shown << "Saturday" << ExitCode::UsageOrFile
        << "line 2: \"editors\" is no setup, and the set lists keep different copies of its "
           "preset 3"
        << true;
  }
  void showsLinesGoBackIntoStore() {
    QFETCH(QByteArray, lines);
    QFETCH(QString, target);
    QFETCH(int, exitCode);
    QFETCH(QString, shown);
    QFETCH(bool, secondCopy);
    importRig(5);
    QCOMPARE(run({"setlist", "store", "Friday", "-"}, "Opener\tRig\t9\n").exitCode, ExitCode::Ok);
    const PresetRow copied{0x21, 40, QStringLiteral("Clean")};
    {
      SetupLibrary::Opened opened = SetupLibrary::open(library_);
      QVERIFY2(opened.library, qPrintable(opened.error));
      SetList friday = *opened.library->setLists().setList("Friday").value;
      friday.songs.append({"Ballad", "by ear", copied, kEditorsSource, 3, "Fuzz\n\n\n\n\n\n\n"});
      QVERIFY(opened.library->setLists().save(friday, IfExists::Replace).ok());
      const SetSong other{"Ballad", {}, {0x03, 7, {}}, kEditorsSource, 3, {}};
      if (secondCopy)
        QVERIFY(opened.library->setLists().save({"Sunday", {other}}, IfExists::Refuse).ok());
    }
    QCOMPARE(run({"setlist", "show", "Friday"}).out,
             QStringLiteral("1\tOpener\tRig\t9\n2\tBallad\teditors\t3\n"));

    const Ran stored = run({"setlist", "store", target, "-", "--replace"}, lines);
    QCOMPARE(stored.exitCode, exitCode);
    if (exitCode != ExitCode::Ok) {
      QVERIFY2(stored.err.startsWith("tarvik-cli: ") && stored.err.trimmed().endsWith(shown),
               qPrintable(stored.err));
      QCOMPARE(run({"setlist", "show", target}).exitCode, ExitCode::UsageOrFile);
      return;
    }
    QCOMPARE(run({"setlist", "show", target}).out, shown);
    SetupLibrary::Opened opened = SetupLibrary::open(library_);
    QVERIFY2(opened.library, qPrintable(opened.error));
    const Result<SetList> kept = opened.library->setLists().setList(target);
    QVERIFY(kept.ok());
    QCOMPARE(kept.value->songs.size(), 2);
    for (const SetSong& song : kept.value->songs) {
      if (song.source != kEditorsSource) continue;
      QCOMPARE(song.preset, copied);
      QCOMPARE(song.loopLabels, QStringLiteral("Fuzz\n\n\n\n\n\n\n"));
    }
  }

  // The arranged backup, restored and verified, leaves the set's presets at 1, 2, 3 with their
  // loops and PC remap entries, and everything else as the device had it.
  void anArrangedSetRestoresOntoTheDevice() {
    const TarvikContents rig = importRig(11);
    QCOMPARE(run({"setlist", "store", "Friday", "-"}, "A\tRig\t9\nB\tRig\t7\nC\tRig\t9\n").exitCode,
             ExitCode::Ok);
    const TarvikContents before = TarvikContents::fromSeed(12);
    SimulatedMidi device(before);
    const Ran arranged =
        run(device, {"setlist", "arrange", "Friday", "--onto", "device", path("gig.tvk")});
    QVERIFY2(arranged.exitCode == ExitCode::Ok, qPrintable(arranged.err));
    const Ran restored = run(device, {"restore", path("gig.tvk")});
    QVERIFY2(restored.exitCode == ExitCode::Ok, qPrintable(restored.err));

    const TarvikContents after = device.device().contents();
    const int from[] = {8, 6, 8};
    for (int row = 0; row < 3; ++row) {
      QCOMPARE(after.presets[row], rig.presets[from[row]]);
      QCOMPARE(after.pcRemap[row], rig.pcRemap[from[row]]);
    }
    for (int row = 3; row < kTableSize; ++row) {
      QCOMPARE(after.presets[row], before.presets[row]);
      QCOMPARE(after.pcRemap[row], before.pcRemap[row]);
    }
    QCOMPARE(after.ccMap, before.ccMap);
    // The settings as a backup keeps them: the values the device would not take are clamped.
    QCOMPARE(after.configRecord, ConfigBytes::keptSettings(before.configRecord));
    // Onto a setup, the file keeps the setup's loop labels: the pedals are the same.
    const Ran onto =
        run({"setlist", "arrange", "Friday", "--onto", "library:Rig", path("rig-gig.tvk")});
    QVERIFY2(onto.exitCode == ExitCode::Ok, qPrintable(onto.err));
    const Ran compared = run({"diff", "library:Rig", path("rig-gig.tvk")});
    QCOMPARE(compared.exitCode, ExitCode::DeviceFailure);
    QVERIFY2(!compared.out.contains("loops"), qPrintable(compared.out));
    // The names come along in the file, for the library's sake: the presets are named as the
    // set names the songs.
    QFile file(path("gig.tvk"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("[names]\r\n1=A\r\n2=B\r\n3=C\r\n"));

    // A source that cannot be read writes nothing.
    const Ran missing =
        run({"setlist", "arrange", "Friday", "--onto", "library:Rug", path("none.tvk")});
    QCOMPARE(missing.exitCode, ExitCode::UsageOrFile);
    QVERIFY(!QFile::exists(path("none.tvk")));
  }

  // Program changes on any channel name the song at their preset, or none beyond the set; the
  // notes and controllers between them print nothing. An unknown set ends before any port opens.
  void followPrintsTheSongEachProgramChangeSelects() {
    importRig(11);
    QCOMPARE(run({"setlist", "store", "Friday", "-"}, "Opener\tRig\t9\nBallad\tRig\t7\n").exitCode,
             ExitCode::Ok);
    SimulatedMidi device;
    const CliParse parse = parseCommandLine(
        {"tarvik-cli", "--library", library_, "setlist", "follow", "Friday"}, QUrl());
    QCOMPARE(parse.outcome, CliParse::Outcome::Run);
    CapturedOutput output;
    const std::unique_ptr<CliCommand> follow =
        makeCommand(parse.options, device.ports(), output.output());
    auto* monitor = qobject_cast<MonitorCommand*>(follow.get());
    QVERIFY(monitor != nullptr);
    QSignalSpy printed(monitor, &MonitorCommand::linePrinted);
    follow->start();
    QVERIFY2(!follow->done(), qPrintable(output.errText()));
    device.service().deliverShort(device.inPort(), 0xC0, 1, 0);  // preset 2
    device.service().deliverShort(device.inPort(), 0x90, 60, 100);
    device.service().deliverShort(device.inPort(), 0xB0, 7, 100);
    device.service().deliverShort(device.inPort(), 0xCF, 0, 0);   // preset 1, channel 16
    device.service().deliverShort(device.inPort(), 0xC3, 16, 0);  // preset 17
    QVERIFY(QTest::qWaitFor([&] { return printed.size() == 3; }, 60000));
    QCOMPARE(output.outText(), QStringLiteral("2\tBallad\t2\n1\tOpener\t1\n-\t-\t17\n"));
    follow->interrupt();
    QCOMPARE(follow->exitCode(), ExitCode::Ok);
    QCOMPARE(device.device().log().size(), std::size_t{0});  // it only listens

    const Ran unknown = run({"setlist", "follow", "Saturday"});
    QCOMPARE(unknown.exitCode, ExitCode::UsageOrFile);
    QVERIFY2(unknown.err.contains(QStringLiteral("Saturday")), qPrintable(unknown.err));
  }
};

QTEST_GUILESS_MAIN(CliSetListTest)
#include "test_cli_setlist.moc"
