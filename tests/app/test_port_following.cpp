// SPDX-License-Identifier: MIT
// The window's port lists while ports come and go: the lists follow the service with their
// selections kept by name, an empty selection is offered what appears, and a port that vanishes
// under a transfer ends it at once. Each test unplugs or plugs ports in the in-memory service and
// then has the watcher look, as its timer would.
#include <QSignalSpy>

#include "WindowRig.h"
#include "core/CoreParts.h"
#include "midi/PortWatcher.h"
#include "support/ListTexts.h"

using namespace tarvik;
using tarvik::testing::ctrlClickFirstRow;
using tarvik::testing::items;
using tarvik::testing::kWaitMs;
using tarvik::testing::selectedName;
using tarvik::testing::selectedRow;
using tarvik::testing::WindowRig;

namespace {

const QString kTarvik = QStringLiteral("Tarvik MIDI");
const std::string kThrough = "Midi Through:Midi Through Port-0 14:0";
const std::string kUmOne = "UM-ONE:UM-ONE MIDI 1 24:0";

QStringList names(const std::vector<std::string>& ports) {
  QStringList list;
  for (const std::string& port : ports) list << QString::fromStdString(port);
  return list;
}

}  // namespace

class PortFollowingTest : public QObject {
  Q_OBJECT

  static QListWidget* inputs(WindowRig& rig) { return rig.find<QListWidget>("inputDevices"); }
  static QListWidget* outputs(WindowRig& rig) { return rig.find<QListWidget>("outputDevices"); }
  // The window's rows are the MIDI layer's indices, whatever came and went.
  static void verifyRowsAreIndices(WindowRig& rig) {
    QCOMPARE(items(inputs(rig)), names(rig.sim.ports().inputs().PortNames()));
    QCOMPARE(items(outputs(rig)), names(rig.sim.ports().outputs().PortNames()));
  }
  static void unplugTarvik(WindowRig& rig) {
    rig.service().setInputPresent(rig.sim.inPort(), false);
    rig.service().setOutputPresent(rig.sim.outPort(), false);
  }
  static void plugTarvikIn(WindowRig& rig) {
    rig.service().setInputPresent(rig.sim.inPort(), true);
    rig.service().setOutputPresent(rig.sim.outPort(), true);
  }

 private Q_SLOTS:
  // A click in the empty part of a list keeps its port selected and current, also across the
  // lists' next look, and connect opens what is highlighted.
  void aClickBelowThePortsKeepsTheSelection_data() {
    QTest::addColumn<QString>("list");
    QTest::newRow("input") << "inputDevices";
    QTest::newRow("output") << "outputDevices";
  }
  void aClickBelowThePortsKeepsTheSelection() {
    QFETCH(QString, list);
    WindowRig rig;
    auto* ports = rig.find<QListWidget>(qPrintable(list));
    QCOMPARE(selectedRow(ports), 0);
    const QPoint below(10, ports->viewport()->height() - 4);
    QVERIFY(!ports->indexAt(below).isValid());
    QTest::mouseClick(ports->viewport(), Qt::LeftButton, {}, below);
    QCOMPARE(selectedRow(ports), 0);
    rig.service().addInput("Line In");
    rig.core->rescanPorts();
    QCOMPARE(selectedRow(ports), 0);
    QCOMPARE(ports->currentRow(), 0);
    QVERIFY(rig.connectAndDownload());
    QVERIFY(rig.dialogs.errors.empty());
  }

  void listsFollowThePortsAndKeepTheirSelectionByName() {
    WindowRig rig(TarvikContents::fromSeed(7),
                  QUrl(QStringLiteral("http://127.0.0.1:9/downloads/tarvik/")),
                  [](InMemoryMidiService& service) { service.keepWholeNames(); });
    unplugTarvik(rig);
    rig.core->rescanPorts();
    QCOMPARE(items(inputs(rig)), QStringList());
    QCOMPARE(selectedRow(outputs(rig)), -1);
    QCOMPARE(rig.logMessages(),
             (QStringList{QStringLiteral("MIDI input Tarvik MIDI disconnected"),
                          QStringLiteral("MIDI output Tarvik MIDI disconnected")}));

    // An ALSA interface plugged in beside ALSA's loop-back: the interface is offered, both ways.
    for (const std::string& name : {kThrough, kUmOne}) {
      rig.service().addInput(name);
      rig.service().addOutput(name);
    }
    QTest::mouseClick(rig.button("RefreshButton"), Qt::LeftButton);
    QCOMPARE(items(inputs(rig)), names({kThrough, kUmOne}));
    QCOMPARE(selectedName(inputs(rig)), QString::fromStdString(kUmOne));
    QCOMPARE(selectedName(outputs(rig)), QString::fromStdString(kUmOne));

    // The Tarvik comes back ahead of both: the interface stays chosen at its new row.
    rig.service().setInputPresent(rig.sim.inPort(), true);
    rig.service().setOutputPresent(rig.sim.outPort(), true);
    rig.core->rescanPorts();
    QCOMPARE(items(inputs(rig)), (QStringList{kTarvik} << names({kThrough, kUmOne})));
    QCOMPARE(selectedRow(inputs(rig)), 2);
    QCOMPARE(selectedRow(outputs(rig)), 2);
    verifyRowsAreIndices(rig);
    QCOMPARE(rig.logMessages().size(), 2);
  }

  void aDeliberatelyEmptySelectionIsOfferedOnlyWhatAppears() {
    WindowRig rig;
    ctrlClickFirstRow(inputs(rig));
    QCOMPARE(selectedRow(inputs(rig)), -1);
    // Nothing appeared: the choice to select nothing stands.
    rig.service().addOutput("Line Out");
    rig.core->rescanPorts();
    QCOMPARE(selectedRow(inputs(rig)), -1);
    QCOMPARE(selectedName(outputs(rig)), kTarvik);
    // A port the rule does not offer appears: still nothing.
    rig.service().addInput("Line In");
    rig.core->rescanPorts();
    QCOMPARE(selectedRow(inputs(rig)), -1);
    // One it offers is chosen; the output keeps its own selection.
    rig.service().addInput("USB MIDI Interface");
    rig.core->rescanPorts();
    QCOMPARE(selectedName(inputs(rig)), QStringLiteral("USB MIDI Interface"));
    QCOMPARE(selectedName(outputs(rig)), kTarvik);
    verifyRowsAreIndices(rig);
  }

  void anOutputListedAfterItsInputIsPairedThen() {
    WindowRig rig;
    unplugTarvik(rig);
    rig.core->rescanPorts();
    rig.service().setInputPresent(rig.sim.inPort(), true);
    rig.core->rescanPorts();
    QCOMPARE(selectedName(inputs(rig)), kTarvik);
    QCOMPARE(selectedRow(outputs(rig)), -1);
    rig.service().setOutputPresent(rig.sim.outPort(), true);
    rig.core->rescanPorts();
    QCOMPARE(selectedName(outputs(rig)), kTarvik);
  }

  // An interface unplugged and plugged back in lists under its old name, but what the last
  // connect opened on it reaches nothing. Whenever that happens, the next connect reaches the
  // device, without a restart.
  void aDevicePluggedBackInIsReachedByTheNextConnect_data() {
    QTest::addColumn<QString>("when");
    QTest::newRow("between two looks of the lists") << QStringLiteral("between looks");
    QTest::newRow("before the lists looked again") << QStringLiteral("unseen");
    QTest::newRow("while the box of the transfer it ended is open") << QStringLiteral("in box");
  }
  void aDevicePluggedBackInIsReachedByTheNextConnect() {
    QFETCH(QString, when);
    WindowRig rig;
    QVERIFY(rig.connectAndDownload());
    std::size_t boxes = 0;
    if (when == QStringLiteral("in box")) {
      rig.tarvik().holdReplies(true);
      QSignalSpy held(&rig.tarvik(), &InProcessTarvik::replyHeld);
      QTest::mouseClick(rig.button("Button3"), Qt::LeftButton);
      QVERIFY(!held.isEmpty() || held.wait(kWaitMs));
      // The box runs the event loop, and the watcher's next tick comes inside it.
      rig.dialogs.errorShown = [&rig] {
        plugTarvikIn(rig);
        rig.core->rescanPorts();
      };
      unplugTarvik(rig);
      rig.core->rescanPorts();
      rig.dialogs.errorShown = nullptr;
      rig.tarvik().holdReplies(false);
      boxes = 1;
    } else {
      unplugTarvik(rig);
      plugTarvikIn(rig);
      if (when == QStringLiteral("between looks")) rig.core->rescanPorts();
    }
    QCOMPARE(rig.dialogs.errors.size(), boxes);
    QCOMPARE(selectedName(inputs(rig)), kTarvik);
    QCOMPARE(selectedName(outputs(rig)), kTarvik);
    if (when != QStringLiteral("unseen")) {
      // Seen as a port that went and one that came, not as the same port.
      QVERIFY(rig.logMessages().contains(QStringLiteral("MIDI input Tarvik MIDI disconnected")));
    }

    const int reconnect = static_cast<int>(rig.logMessages().size());
    QVERIFY(rig.connectAndDownload());
    QCOMPARE(rig.dialogs.errors.size(), boxes);
    QCOMPARE(rig.logMessages().mid(reconnect).filter(QStringLiteral("Tarvik found!")).size(), 1);
    QCOMPARE(rig.logMessages().constLast(),
             QStringLiteral("download programm change remap table complete"));
    // The lists' next look keeps the pair the connect opened on the new plug.
    rig.core->rescanPorts();
    QCOMPARE(rig.logMessages().mid(reconnect).filter(QStringLiteral("disconnected")),
             QStringList());
    QVERIFY(rig.core->portsOpen());
  }

  void aPortThatVanishesMidChainEndsItAtOnceAndConnectWorksAgain() {
    WindowRig rig;
    QVERIFY(rig.connectAndDownload());
    QVERIFY(rig.dialogs.errors.empty());
    const int before = static_cast<int>(rig.logMessages().size());

    rig.tarvik().holdReplies(true);
    QSignalSpy held(&rig.tarvik(), &InProcessTarvik::replyHeld);
    QTest::mouseClick(rig.button("Button3"), Qt::LeftButton);
    // The device takes the command as it is sent; its reply may be held already.
    QVERIFY(!held.isEmpty() || held.wait(kWaitMs));
    QVERIFY(rig.core->busy());
    QVERIFY(!rig.button("Button3")->isEnabled());

    rig.service().setOutputPresent(rig.sim.outPort(), false);
    rig.core->rescanPorts();
    // Ended within the look that noticed, long before the watchdog (a minute here).
    QVERIFY(!rig.core->busy());
    // The Tarvik went with its port: a submit waits for the next connect, which may start.
    QVERIFY(!rig.button("Button3")->isEnabled());
    QVERIFY(rig.button("Button1")->isEnabled());
    QCOMPARE(rig.dialogs.errors.size(), std::size_t(1));
    QCOMPARE(rig.dialogs.errors.front().caption, QStringLiteral("Error"));
    QVERIFY2(rig.dialogs.errors.front().text.contains(kTarvik),
             qPrintable(rig.dialogs.errors.front().text));
    const QStringList expected{
        QStringLiteral("submit presets"), QStringLiteral("MIDI output Tarvik MIDI disconnected"),
        QStringLiteral(
            "MIDI port Tarvik MIDI vanished while submitting presets - transfer aborted")};
    QCOMPARE(rig.logMessages().mid(before), expected);
    rig.core->rescanPorts();
    QCOMPARE(rig.logMessages().mid(before), expected);

    // Plugged in again: offered again, and a connect downloads as after a start.
    rig.service().setOutputPresent(rig.sim.outPort(), true);
    rig.core->rescanPorts();
    QCOMPARE(selectedName(outputs(rig)), kTarvik);
    rig.tarvik().holdReplies(false);
    const int reconnect = static_cast<int>(rig.logMessages().size());
    QVERIFY(rig.connectAndDownload());
    QCOMPARE(rig.dialogs.errors.size(), std::size_t(1));
    QCOMPARE(rig.logMessages().mid(reconnect).filter(QStringLiteral("Tarvik found!")).size(), 1);
    QCOMPARE(rig.logMessages().constLast(),
             QStringLiteral("download programm change remap table complete"));
  }
};

QTEST_MAIN(PortFollowingTest)
#include "test_port_following.moc"
