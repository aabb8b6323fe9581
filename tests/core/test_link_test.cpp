// SPDX-License-Identifier: MIT
// The link test through the core, against the simulated Tarvik in this process, with its
// time-outs driven by the device's own withheld replies; and its report's arithmetic.
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include "core/ConfiguratorCore.h"
#include "core/CoreParts.h"
#include "core/LinkTest.h"
#include "link/Framing.h"
#include "midi/InMemoryMidiService.h"
#include "sim/InProcessTarvik.h"
#include "support/ManualClock.h"
#include "support/WithheldReplyClock.h"

using namespace tarvik;
using tarvik::testing::ManualClock;
using tarvik::testing::WithheldReplyClock;

Q_DECLARE_METATYPE(SimFaults)

namespace {

// Counts what goes out; the test hands the replies in itself.
struct CountingLink : LinkPort {
  int frames = 0;
  void SendByte(std::uint8_t) override { ++frames; }
};

const std::vector<std::uint8_t> kIdentifyReply = {0xF0, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7};

}  // namespace

class LinkTestTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void reportsWhatCameBack_data() {
    QTest::addColumn<SimFaults>("faults");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("counts");
    QTest::addColumn<bool>("anyRoundTrip");
    QTest::newRow("a healthy link")
        << SimFaults{} << 50 << "sent 50, answered 50, lost 0 (0 %)" << true;
    QTest::newRow("one reply in five lost")
        << SimFaults{.loseReplyEvery = 5} << 50 << "sent 50, answered 40, lost 10 (20 %)" << true;
    QTest::newRow("one reply in three lost")
        << SimFaults{.loseReplyEvery = 3} << 10 << "sent 10, answered 7, lost 3 (30 %)" << true;
    QTest::newRow("a silent device")
        << SimFaults{.silent = true} << 20 << "sent 20, answered 0, lost 20 (100 %)" << false;
  }
  void reportsWhatCameBack() {
    QFETCH(SimFaults, faults);
    QFETCH(int, count);
    QFETCH(QString, counts);
    QFETCH(bool, anyRoundTrip);
    SimulatedMidi sim;
    sim.device().setFaults(faults);
    ConfiguratorCore core(sim.ports());
    const WithheldReplyClock clock(sim.tarvik(), CoreParts::linkTest(core));
    QSignalSpy tested(&core, &ConfiguratorCore::linkTested);
    core.openPorts(0, 0);
    QVERIFY(core.testLink(count));
    QVERIFY(core.busy());
    QVERIFY(tested.wait(30000));

    const auto report = tested.at(0).at(0).value<LinkTestReport>();
    QCOMPARE(report.countsLine(), counts);
    // The driven clock stands still while a reply travels, and moves a time-out per loss.
    QCOMPARE(report.roundTripLine(), anyRoundTrip ? "round trip: min 0.0 ms, median 0.0 ms, "
                                                    "max 0.0 ms"
                                                  : "round trip: none");
    QCOMPARE(clock.elapsedMs(), 1LL * report.lost() * LinkTest::kReplyTimeoutMs);
    // One Identify per request and nothing else: the transfer machine left their replies to
    // the test, or it would have begun its connect's burst.
    QCOMPARE(sim.device().commandsReceived(), count);
    QVERIFY(!core.busy());
    QVERIFY(!core.connected());
  }

  void nothingElseTalksToTheDeviceMeanwhile() {
    SimulatedMidi sim;
    ConfiguratorCore core(sim.ports());
    const WithheldReplyClock clock(sim.tarvik(), CoreParts::linkTest(core));
    QSignalSpy tested(&core, &ConfiguratorCore::linkTested);
    core.openPorts(0, 0);
    QVERIFY(core.testLink(5));
    QVERIFY(!core.testLink(5));
    QVERIFY(!core.connectDevice());
    QVERIFY(!core.submitPresets());
    QVERIFY(!core.startFullDownload());
    QVERIFY(tested.wait(30000));
    QCOMPARE(sim.device().commandsReceived(), 5);
    // Free again afterwards.
    QVERIFY(core.testLink(2));
    QVERIFY(tested.wait(30000));
    QCOMPARE(sim.device().commandsReceived(), 7);
  }

  void refusedWithoutPortsOrForACountOutOfRange_data() {
    QTest::addColumn<bool>("ports");
    QTest::addColumn<int>("count");
    QTest::newRow("no ports open") << false << 50;
    QTest::newRow("no identify") << true << 0;
    QTest::newRow("more than a thousand") << true << 1001;
  }
  void refusedWithoutPortsOrForACountOutOfRange() {
    QFETCH(bool, ports);
    QFETCH(int, count);
    SimulatedMidi sim;
    ConfiguratorCore core(sim.ports());
    if (ports) core.openPorts(0, 0);
    QVERIFY(!core.testLink(count));
    QVERIFY(!core.busy());
    QCOMPARE(sim.device().commandsReceived(), 0);
  }

  void endsWhenItsPortGoes() {
    SimulatedMidi sim;
    sim.device().setFaults(SimFaults{.silent = true});
    ConfiguratorCore core(sim.ports());
    QSignalSpy failed(&core, &ConfiguratorCore::linkTestFailed);
    core.openPorts(0, 0);
    QVERIFY(core.testLink(50));
    sim.service().setInputPresent(sim.inPort(), false);
    sim.service().setOutputPresent(sim.outPort(), false);
    core.rescanPorts();
    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed.at(0).at(0).toString(),
             QStringLiteral("MIDI port Tarvik MIDI vanished while the link was tested"));
    QVERIFY(!core.busy());
  }

  // Each request waits for the one before: the next goes out on the reply, or on the time-out.
  void timesEachRoundTripOnItsClock() {
    CountingLink link;
    LinkTest test(link);
    auto owned = std::make_unique<ManualClock>();
    ManualClock& clock = *owned;
    test.setClock(std::move(owned), [&clock] { return clock.now() * 1000; });
    QSignalSpy finished(&test, &LinkTest::finished);
    QVERIFY(test.start(4));
    QCOMPARE(link.frames, 2);  // marker and command byte of the first Identify
    clock.advance(3);
    test.receiveFrame(0, kIdentifyReply);
    QCOMPARE(link.frames, 4);
    // A reply to nothing asked for (a submit's) does not answer the Identify.
    clock.advance(8);
    test.receiveFrame(0, {0xF0, 0x07, 0xF7});
    test.receiveFrame(0, kIdentifyReply);
    clock.advance(LinkTest::kReplyTimeoutMs - 1);
    QCOMPARE(link.frames, 6);
    clock.advance(1);  // the third one's time is up
    QCOMPARE(link.frames, 8);
    clock.advance(5);
    test.receiveFrame(0, kIdentifyReply);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(link.frames, 8);
    const auto report = finished.at(0).at(0).value<LinkTestReport>();
    QCOMPARE(report.countsLine(), QStringLiteral("sent 4, answered 3, lost 1 (25 %)"));
    QCOMPARE(report.roundTripLine(),
             QStringLiteral("round trip: min 3.0 ms, median 5.0 ms, max 8.0 ms"));
    // Once ended, a reply is nobody's.
    test.receiveFrame(0, kIdentifyReply);
    QCOMPARE(finished.size(), 1);
  }

  void reportLines_data() {
    QTest::addColumn<int>("sent");
    QTest::addColumn<QList<qint64>>("roundTripsUs");
    QTest::addColumn<QString>("counts");
    QTest::addColumn<QString>("roundTrip");
    QTest::newRow("an odd count's median is its middle one")
        << 3 << QList<qint64>{9800, 4100, 4600} << "sent 3, answered 3, lost 0 (0 %)"
        << "round trip: min 4.1 ms, median 4.6 ms, max 9.8 ms";
    QTest::newRow("an even count's median is the mean of its middle two")
        << 5 << QList<qint64>{1000, 4000, 2000, 3000} << "sent 5, answered 4, lost 1 (20 %)"
        << "round trip: min 1.0 ms, median 2.5 ms, max 4.0 ms";
    QTest::newRow("one decimal, rounded") << 1 << QList<qint64>{4160}
                                          << "sent 1, answered 1, "
                                             "lost 0 (0 %)"
                                          << "round trip: min 4.2 ms, median 4.2 ms, max 4.2 ms";
    QTest::newRow("two of three lost rounds up")
        << 3 << QList<qint64>{12000} << "sent 3, answered 1, lost 2 (67 %)"
        << "round trip: min 12.0 ms, median 12.0 ms, "
           "max 12.0 ms";
    QTest::newRow("three of fifty lost")
        << 50 << QList<qint64>(47, 4600) << "sent 50, answered 47, lost 3 (6 %)"
        << "round trip: min 4.6 ms, median 4.6 ms, max 4.6 ms";
    QTest::newRow("nothing answered")
        << 7 << QList<qint64>{} << "sent 7, answered 0, lost 7 (100 %)"
        << "round trip: none";
  }
  void reportLines() {
    QFETCH(int, sent);
    QFETCH(QList<qint64>, roundTripsUs);
    QFETCH(QString, counts);
    QFETCH(QString, roundTrip);
    const LinkTestReport report{sent, {roundTripsUs.begin(), roundTripsUs.end()}};
    QCOMPARE(report.countsLine(), counts);
    QCOMPARE(report.roundTripLine(), roundTrip);
  }
};

QTEST_GUILESS_MAIN(LinkTestTest)
#include "test_link_test.moc"
