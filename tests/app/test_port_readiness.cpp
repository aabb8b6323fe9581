// SPDX-License-Identifier: MIT
#include "WindowRig.h"

#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>

using namespace tarvik;
using tarvik::testing::kWaitMs;
using tarvik::testing::WindowRig;

namespace {

const QStringList kAllTabs = {QStringLiteral("TabSheet1"), QStringLiteral("TabSheet2"),
                              QStringLiteral("TabSheet3"), QStringLiteral("TabSheet4"),
                              QStringLiteral("TabSheet5")};

}  // namespace

// A port just opened may not carry data yet (JACK, until its next cycle): whatever the window
// sends first waits for the service to say that it does.
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
    QCOMPARE(rig.service().carryingHeld(), std::size_t{1});
    QVERIFY(rig.service().sent(0).empty());
    QVERIFY(rig.form->machine().chainRunning());
    QVERIFY(!rig.button("Button1")->isEnabled());
    QVERIFY(!rig.find<QListWidget>("inputDevices")->isEnabled());

    rig.service().releaseCarrying();
    QVERIFY(QTest::qWaitFor([&] { return !rig.form->machine().chainRunning(); }, kWaitMs));
    QCOMPARE(rig.commandsNamed("Identify"), 7);
    QCOMPARE(rig.visibleTabs(), kAllTabs);
    QVERIFY(rig.dialogs.errors.empty());
  }

  // A connect given up while its ports were still getting ready stays given up: the late news
  // that they carry sends nothing, and the next connect starts its own burst.
  void aConnectGivenUpBeforeThePortsCarrySendsNothingLater() {
    WindowRig rig;
    rig.service().holdCarrying(true);
    QTest::mouseClick(rig.button("Button1"), Qt::LeftButton);
    rig.form->machine().abortForLostPort(QStringLiteral("Tarvik MIDI"));
    QVERIFY(!rig.form->machine().chainRunning());
    QCOMPARE(rig.dialogs.errors.size(), std::size_t{1});
    rig.service().releaseCarrying();
    QVERIFY(rig.service().sent(0).empty());

    rig.service().holdCarrying(false);
    rig.dialogs = tarvik::testing::FakeDialogs();
    QVERIFY(rig.connectAndDownload());
    QCOMPARE(rig.commandsNamed("Identify"), 7);
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
    QTest::mouseClick(rig.button("Button5"), Qt::LeftButton);
    QCOMPARE(rig.service().sent(0).size(), std::size_t{2});
    QCOMPARE(rig.service().carryingHeld(), std::size_t{0});
  }
};

QTEST_MAIN(PortReadinessTest)
#include "test_port_readiness.moc"
