// SPDX-License-Identifier: MIT
// The window started before the device: over a real JACK server the port lists pick up
// tarvik-sim when it appears, offer its pair and connect to it, and let it go when it ends.
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <memory>

#include "app/TForm1.h"
#include "core/CoreParts.h"
#include "midi/MidiPorts.h"
#include "midi/PortWatcher.h"
#include "midi/RtMidiService.h"
#include "support/ConnectLog.h"
#include "support/CoreWindow.h"
#include "support/FakeDialogs.h"
#include "support/JackMidiService.h"
#include "support/JackRig.h"
#include "support/ListTexts.h"

using namespace tarvik;
using tarvik::testing::CoreWindow;
using tarvik::testing::FakeDialogs;
using tarvik::testing::items;
using tarvik::testing::JackRig;
using tarvik::testing::selectedName;

namespace {

constexpr int kDeviceTimeoutMs = 60000;
constexpr int kChainTimeoutMs = 90000;
constexpr int kSignalWaitMs = 20000;

}  // namespace

class WindowPortsOverJackTest : public QObject {
  Q_OBJECT

  JackRig jack;
  FakeDialogs dialogs;
  std::unique_ptr<MidiPorts> ports;
  std::unique_ptr<CoreWindow> window;

  QListWidget* list(const char* name) const { return window->find<QListWidget>(name); }
  QPushButton* button(const char* name) const { return window->button(name); }
  QStringList logMessages() const { return window->logMessages(); }
  // Lets the window's own watcher work until `done` holds after one of its reports.
  bool awaitPortReports(const std::function<bool()>& done) {
    QSignalSpy changed(window->core.get(), &ConfiguratorCore::portsChanged);
    while (!done()) {
      if (!changed.wait(kSignalWaitMs)) return done();
    }
    return true;
  }
  bool simulatorOffered() const {
    return selectedName(list("inputDevices")) == JackRig::deviceOutputPort &&
           selectedName(list("outputDevices")) == JackRig::deviceInputPort;
  }
  bool pressConnectAndAwaitChain() {
    QTest::mouseClick(button("Button1"), Qt::LeftButton);
    return QTest::qWaitFor([&] { return button("Button1")->isEnabled() && !window->core->busy(); },
                           kChainTimeoutMs);
  }
  // A connect as the user makes it; one attempt lost to a late JACK cycle on a loaded machine
  // is forgiven, as in the other tests over JACK.
  void connectAndVerify() {
    int start = static_cast<int>(logMessages().size());
    QVERIFY2(pressConnectAndAwaitChain(), "the connect chain did not end");
    if (!dialogs.errors.empty()) {
      qWarning() << "first connect failed, retrying once:" << dialogs.errors.front().text;
      dialogs.errors.clear();
      start = static_cast<int>(logMessages().size());
      QVERIFY2(pressConnectAndAwaitChain(), "the retried connect chain did not end");
    }
    QVERIFY2(dialogs.errors.empty(),
             qPrintable(dialogs.errors.empty() ? QString() : dialogs.errors.front().text));
    const QStringList connectLog = logMessages().mid(start);
    QCOMPARE(connectLog.mid(connectLog.size() - tarvik::testing::kCompleteConnectLog.size()),
             tarvik::testing::kCompleteConnectLog);
  }

 private Q_SLOTS:
  void initTestCase() {
    TARVIK_START_JACK_OR_SKIP(jack);
    auto service = std::make_unique<RtMidiService>();
    TARVIK_SKIP_UNLESS_ON_JACK(*service);
    ports = std::make_unique<MidiPorts>(std::move(service));
  }
  void cleanup() {
    if (!QTest::currentTestFailed()) return;
    qInfo().noquote() << "tarvik-sim said:\n" << jack.simulatorOutput();
  }
  void cleanupTestCase() {
    window.reset();
    ports.reset();
    jack.stopSimulator();
    jack.stopServer();
  }

  void windowStartedFirstOffersAndConnectsTheSimulatorWhenItAppears() {
    window = std::make_unique<CoreWindow>(dialogs, *ports);
    CoreParts::machine(*window->core).setConnectTimeout(kDeviceTimeoutMs);
    CoreParts::machine(*window->core).setReplyWatchdog(kDeviceTimeoutMs);
    window->form->show();
    QVERIFY(!items(list("inputDevices")).contains(JackRig::deviceOutputPort));

    const QString failure = jack.startSimulator(QStringLiteral(TARVIK_SIM_PATH),
                                                {QStringLiteral("--seed"), QStringLiteral("3")});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY2(awaitPortReports([&] { return simulatorOffered(); }),
             qPrintable(items(list("inputDevices")).join(", ")));
    connectAndVerify();

    // The program's own ports, opened by the connect, are never offered.
    window->core->rescanPorts();
    for (const QString& name : items(list("inputDevices")) + items(list("outputDevices")))
      QVERIFY2(!name.startsWith(QStringLiteral("Tarvik Configurator")), qPrintable(name));

    // The device goes: logged once, its ports leave the lists.
    QVERIFY(jack.stopSimulator());
    QVERIFY(awaitPortReports([&] {
      return !items(list("inputDevices")).contains(JackRig::deviceOutputPort) &&
             !items(list("outputDevices")).contains(JackRig::deviceInputPort);
    }));
    // The simulator's two JACK clients go one after the other, so either port may be noticed
    // first: each is logged once, in no particular order.
    QStringList disconnected = logMessages().filter(QStringLiteral("disconnected"));
    disconnected.sort();
    QCOMPARE(disconnected,
             (QStringList{QStringLiteral("MIDI input tarvik-sim:Tarvik MIDI disconnected"),
                          QStringLiteral("MIDI output TARVIK-SIM:Tarvik MIDI disconnected")}));

    // And comes back: offered again, and a connect works without a restart.
    const QString again = jack.startSimulator(QStringLiteral(TARVIK_SIM_PATH),
                                              {QStringLiteral("--seed"), QStringLiteral("3")});
    QVERIFY2(again.isEmpty(), qPrintable(again));
    QVERIFY(awaitPortReports([&] { return simulatorOffered(); }));
    connectAndVerify();
  }

  // The device restarts under the same port names while the lists do not look (within one of
  // their intervals): its JACK clients are new, and what the last connect opened reaches
  // nothing. Seen by the next look or not, the next connect reaches it.
  void aDeviceRestartedBetweenTwoLooksIsReachedByTheNextConnect_data() {
    QTest::addColumn<bool>("looked");
    QTest::newRow("the lists look before the connect") << true;
    QTest::newRow("the connect comes first") << false;
  }
  void aDeviceRestartedBetweenTwoLooksIsReachedByTheNextConnect() {
    QFETCH(bool, looked);
    QVERIFY(window);
    CoreParts::portWatcher(*window->core).stop();
    const auto disconnects = [&] {
      return logMessages().filter(QStringLiteral("disconnected")).size();
    };
    const auto before = disconnects();
    QVERIFY(jack.stopSimulator());
    const QString again = jack.startSimulator(QStringLiteral(TARVIK_SIM_PATH),
                                              {QStringLiteral("--seed"), QStringLiteral("3")});
    QVERIFY2(again.isEmpty(), qPrintable(again));
    if (looked) {
      window->core->rescanPorts();
      // Same names, new clients: both ports went and came, and are offered again.
      QCOMPARE(disconnects(), before + 2);
      QVERIFY(simulatorOffered());
    }
    connectAndVerify();
    // The pair the connect opened is the one the next look finds.
    const auto afterConnect = disconnects();
    window->core->rescanPorts();
    QCOMPARE(disconnects(), afterConnect);
    QVERIFY(window->core->portsOpen());
    window->core->watchPorts();
  }
};

QTEST_MAIN(WindowPortsOverJackTest)
#include "test_window_ports_over_jack.moc"
