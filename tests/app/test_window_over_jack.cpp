// SPDX-License-Identifier: MIT
// The whole window as a user meets it: the platform MIDI service, JACK virtual ports and
// tarvik-sim in its own process.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "app/TForm1.h"
#include "config/ui/PresetMatrixTab.h"
#include "core/CoreParts.h"
#include "midi/MidiPorts.h"
#include "midi/RtMidiService.h"
#include "sim/TarvikContents.h"
#include "support/ConnectLog.h"
#include "support/CoreWindow.h"
#include "support/FakeDialogs.h"
#include "support/JackMidiService.h"
#include "support/JackRig.h"
#include "support/ListTexts.h"

using namespace tarvik;
using tarvik::testing::CoreWindow;
using tarvik::testing::FakeDialogs;
using tarvik::testing::JackRig;

namespace {

constexpr std::uint32_t kSeed = 42;
// The chains' own time-outs must not fire while the device answers: a loaded machine under the
// sanitizers can take longer than the program's second for a JACK round trip.
constexpr int kDeviceTimeoutMs = 60000;
// Beyond the chains' own time-outs, so a stuck chain shows as the error box it raises rather
// than as this wait running out.
constexpr int kChainTimeoutMs = 90000;

const QStringList& kConnectLog = tarvik::testing::kCompleteConnectLog;

const QStringList kSubmitPresetsLog = {
    QStringLiteral("submit presets"),          QStringLiteral("transmission successful"),
    QStringLiteral("submit control changes"),  QStringLiteral("submit programm change remap table"),
    QStringLiteral("transmission successful"),
};

QString errorBoxes(const FakeDialogs& dialogs) {
  QString text;
  for (const auto& box : dialogs.errors) text += "[" + box.caption + ": " + box.text + "] ";
  return text;
}

}  // namespace

class WindowOverJackTest : public QObject {
  Q_OBJECT

  JackRig jack;
  FakeDialogs dialogs;
  // The port lists go after the window and before the simulator and the server.
  std::unique_ptr<MidiPorts> ports;
  std::unique_ptr<CoreWindow> window;

  QPushButton* button(const char* name) const { return window->button(name); }
  QListWidget* list(const char* name) const { return window->find<QListWidget>(name); }
  QStringList logMessages() const { return window->logMessages(); }
  QString selectedPort(const char* listName) const {
    const QListWidgetItem* item = list(listName)->currentItem();
    return item != nullptr ? item->text() : QString();
  }
  // Presses the button and waits until the chain it starts has ended, either way.
  bool pressAndAwaitChain(const char* name) {
    QTest::mouseClick(button(name), Qt::LeftButton);
    return QTest::qWaitFor([&] { return button(name)->isEnabled() && !window->core->busy(); },
                           kChainTimeoutMs);
  }

 private Q_SLOTS:
  void initTestCase() {
    TARVIK_START_JACK_OR_SKIP(jack);
    const QString failure = jack.startSimulator(
        QStringLiteral(TARVIK_SIM_PATH),
        {QStringLiteral("--seed"), QString::number(kSeed), QStringLiteral("--echo")});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    auto service = std::make_unique<RtMidiService>();
    TARVIK_SKIP_UNLESS_ON_JACK(*service);
    ports = std::make_unique<MidiPorts>(std::move(service));
  }

  // What the simulator took and what the server reported explain a failure better than the
  // error box does: a command that never arrived, or xruns around it.
  void cleanup() {
    if (!QTest::currentTestFailed()) return;
    qInfo().noquote() << "tarvik-sim said:\n" << jack.simulatorOutput();
    qInfo().noquote() << "the JACK server said:\n" << jack.serverOutput().right(4096);
  }

  // The window goes first and the port lists next, while the ports they use still exist.
  void cleanupTestCase() {
    window.reset();
    ports.reset();
    jack.stopSimulator();
    jack.stopServer();
  }

  void connectDownloadsTheSimulatorsTablesAndSubmitsThemBack() {
    window = std::make_unique<CoreWindow>(dialogs, *ports);
    CoreParts::machine(*window->core).setConnectTimeout(kDeviceTimeoutMs);
    CoreParts::machine(*window->core).setReplyWatchdog(kDeviceTimeoutMs);
    window->form->show();
    QVERIFY(QTest::qWaitForWindowExposed(window->form.get()));

    QCOMPARE(selectedPort("inputDevices"), JackRig::deviceOutputPort);
    QCOMPARE(selectedPort("outputDevices"), JackRig::deviceInputPort);

    QVERIFY2(pressAndAwaitChain("Button1"), "the connect chain did not end");
    int attemptStart = 0;
    if (!dialogs.errors.empty()) {
      // The dummy driver runs late now and then on a busy machine (xruns) and a lost reply trips
      // the chain's time-out. A second connect, as a user would press it, must then succeed
      // in full; one lost attempt is all that is forgiven.
      qWarning().noquote() << "first connect failed, retrying once:" << errorBoxes(dialogs)
                           << logMessages();
      dialogs.errors.clear();
      attemptStart = static_cast<int>(logMessages().size());
      QVERIFY2(pressAndAwaitChain("Button1"), "the retried connect chain did not end");
    }
    QVERIFY2(dialogs.errors.empty(), qPrintable(errorBoxes(dialogs)));
    QCOMPARE(logMessages().mid(attemptStart), kConnectLog);
    QVERIFY(window->form->portsOpened());

    const TarvikContents held = TarvikContents::fromSeed(kSeed);
    QCOMPARE(window->core->configuration().presetPayload(), held.presets);
    QCOMPARE(window->core->configuration().ccMapPayload(), held.ccMap);
    QCOMPARE(window->core->configuration().pcRemapPayload(), held.pcRemap);
    auto* presets = window->form->findChild<PresetMatrixTab*>();
    QVERIFY(presets != nullptr);
    for (int loop = 0; loop < PresetTables::kLoops; ++loop) {
      const bool on = (held.presets[127] >> loop) & 1U;
      QCOMPARE(presets->model().index(127, loop).data(Qt::CheckStateRole).toInt(),
               int(on ? Qt::Checked : Qt::Unchecked));
    }

    const int submitStart = static_cast<int>(logMessages().size());
    QTest::mouseClick(button("Button3"), Qt::LeftButton);
    QVERIFY(!button("Button3")->isEnabled());
    QVERIFY2(
        QTest::qWaitFor([&] { return button("Button3")->isEnabled() && !window->core->busy(); },
                        kChainTimeoutMs),
        "the submit chain did not end");
    QVERIFY2(dialogs.errors.empty(), qPrintable(errorBoxes(dialogs)));
    QCOMPARE(logMessages().mid(submitStart), kSubmitPresetsLog);
    QCOMPARE(logMessages().constLast(), QStringLiteral("transmission successful"));

    // The test controller's program change goes out as two bytes; the simulator echoes it and
    // the monitor logs the echo.
    window->form->findChild<QComboBox*>(QStringLiteral("ComboBox2"))->setCurrentIndex(15);
    window->form->findChild<QComboBox*>(QStringLiteral("ComboBox3"))->setCurrentIndex(127);
    QTest::mouseClick(button("Button4"), Qt::LeftButton);
    window->form->findChild<QComboBox*>(QStringLiteral("ComboBox2"))->setCurrentIndex(0);
    window->form->findChild<QCheckBox*>(QStringLiteral("CheckBox2"))->setChecked(true);
    QTest::mouseClick(button("Button5"), Qt::LeftButton);
    const QString controlEcho =
        QStringLiteral("[MIDI IN] ControllChange - MidiChannel: 1 - ControllNr: 0 - Value: 127");
    QVERIFY(tarvik::testing::awaitRowsUntil(
        list("ListBox1"), [&] { return logMessages().contains(controlEcho); }, kChainTimeoutMs));
    QVERIFY(logMessages().contains(controlEcho));
    QVERIFY(logMessages().contains(
        QStringLiteral("[MIDI IN] ProgrammChange - MidiChannel: 16 - ProgrammNr: 128")));
    QVERIFY2(dialogs.errors.empty(), qPrintable(errorBoxes(dialogs)));

    window.reset();
    ports.reset();
    // The simulator logs each command it took; the three tables arrived whole.
    QVERIFY(jack.stopSimulator());
    const QByteArray simLog = jack.simulatorOutput();
    for (const char* line : {"SubmitPresets (128 bytes)\n", "SubmitCcMap (128 bytes)\n",
                             "SubmitPcRemap (128 bytes)\n", "short message: CF 7F (2 bytes)\n",
                             "short message: B0 00 7F (3 bytes)\n", "tarvik-sim: stopped"}) {
      QVERIFY2(simLog.contains(line), simLog.constData());
    }
  }
};

QTEST_MAIN(WindowOverJackTest)
#include "test_window_over_jack.moc"
