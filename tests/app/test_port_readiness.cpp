// SPDX-License-Identifier: MIT
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>

#include "WindowRig.h"

using namespace tarvik;
using tarvik::testing::kAllTabs;
using tarvik::testing::kWaitMs;
using tarvik::testing::WindowRig;

// A port just opened may not carry data yet (JACK, until its next cycle): whatever the window
// sends first is kept by the MIDI layer and goes out once the port carries, with the window's
// thread free meanwhile.
class PortReadinessTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  // Ports that do not carry data yet (JACK, until its next cycle) would lose the first
  // Identify: the burst waits for them, with the window's thread free and the senders locked.
  void theIdentifyBurstWaitsUntilTheOpenedPortsCarry() {
    WindowRig rig;
    rig.service().holdCarrying(true);
    QTest::mouseClick(rig.button("Button1"), Qt::LeftButton);
    QVERIFY(rig.service().isInputOpen(0));
    QVERIFY(rig.service().isOutputOpen(0));
    QVERIFY(rig.service().carryingHeld() > 0);
    QVERIFY(rig.service().sent(0).empty());
    QVERIFY(rig.core->busy());
    QVERIFY(!rig.button("Button1")->isEnabled());
    QVERIFY(!rig.find<QListWidget>("inputDevices")->isEnabled());

    rig.service().holdCarrying(false);
    rig.service().releaseCarrying();
    QVERIFY(QTest::qWaitFor([&] { return !rig.core->busy(); }, kWaitMs));
    QCOMPARE(rig.commandsNamed("Identify"), 7);
    QCOMPARE(rig.visibleTabs(), kAllTabs);
    QVERIFY(rig.dialogs.errors.empty());
  }

  // A connect given up before its ports carry: what it sent goes out late, and the next connect
  // is not thrown by the stale reply.
  void aConnectGivenUpBeforeThePortsCarryLeavesTheNextOneWhole() {
    WindowRig rig;
    rig.service().holdCarrying(true);
    QTest::mouseClick(rig.button("Button1"), Qt::LeftButton);
    CoreParts::machine(*rig.core).abortForLostPort(QStringLiteral("Tarvik MIDI"));
    QVERIFY(!rig.core->busy());
    QCOMPARE(rig.dialogs.errors.size(), std::size_t{1});
    rig.service().holdCarrying(false);
    rig.service().releaseCarrying();

    // The late Identify reached the device once the ports carried.
    const int late = rig.commandsNamed("Identify");
    QVERIFY(late > 0);

    rig.dialogs = tarvik::testing::FakeDialogs();
    QVERIFY(rig.connectAndDownload());
    QCOMPARE(rig.commandsNamed("Identify"), late + 7);
    QVERIFY(rig.dialogs.errors.empty());
  }

  // A test message to an output that is not open yet goes out once the output carries.
  void aTestMessageToAJustOpenedOutputWaitsUntilItCarries() {
    WindowRig rig;
    rig.form->buildDeviceTabs();
    rig.service().holdCarrying(true);
    QTest::mouseClick(rig.button("Button4"), Qt::LeftButton);
    QVERIFY(rig.service().isOutputOpen(0));
    QVERIFY(rig.service().sent(0).empty());
    rig.service().releaseCarrying();
    QCOMPARE(rig.service().sent(0).size(), std::size_t{1});
    // An open output carries already: the next message goes at once.
    rig.service().holdCarrying(false);
    QTest::mouseClick(rig.button("Button5"), Qt::LeftButton);
    QCOMPARE(rig.service().sent(0).size(), std::size_t{2});
    QCOMPARE(rig.service().carryingHeld(), std::size_t{0});
  }

  // The message waits for its port by name: a rescan meanwhile that moves the port to another
  // row must not send it elsewhere.
  void aWaitingTestMessageFollowsItsPortAcrossARescan() {
    int other = -1;
    WindowRig rig(TarvikContents::fromSeed(7), testing::kUnreachableUpdateServer,
                  [&](InMemoryMidiService& service) { other = service.addOutput("Other synth"); });
    rig.form->buildDeviceTabs();
    rig.find<QListWidget>("outputDevices")->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
    rig.service().holdCarrying(true);
    QTest::mouseClick(rig.button("Button4"), Qt::LeftButton);
    QVERIFY(rig.service().isOutputOpen(other));
    rig.service().setOutputPresent(0, false);
    rig.core->rescanPorts();
    rig.service().releaseCarrying();
    QCOMPARE(rig.service().sent(other).size(), std::size_t{1});
    QVERIFY(rig.dialogs.errors.empty());
  }
};

QTEST_MAIN(PortReadinessTest)
#include "test_port_readiness.moc"
