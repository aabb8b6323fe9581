// SPDX-License-Identifier: MIT
// `linktest` as the command line makes it, against the simulated Tarvik in this process: what it
// prints, where, and how it exits. Its time-outs are driven by the device's withheld replies.
#include <QTest>
#include <memory>

#include "cli/CliRun.h"
#include "cli/DeviceCommand.h"
#include "core/CoreParts.h"
#include "sim/InProcessTarvik.h"
#include "support/WithheldReplyClock.h"
#include "tests/cli/CommandRig.h"

using namespace tarvik;
using namespace tarvik::cli;
using tarvik::testing::CapturedOutput;
using tarvik::testing::WithheldReplyClock;

Q_DECLARE_METATYPE(SimFaults)

class CliLinkTestTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void printsTwoLinesAndExitsOnLoss_data() {
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
  void printsTwoLinesAndExitsOnLoss() {
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

QTEST_GUILESS_MAIN(CliLinkTestTest)
#include "test_cli_link_test.moc"
