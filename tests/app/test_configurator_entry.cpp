// SPDX-License-Identifier: MIT
// The program's entry as a user starts it, over a JACK server with tarvik-sim on it: the window
// is on screen before the MIDI system is reached; then its lists fill and offer the device, and
// the window talks to it.
#include <QDir>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include "app/AfterFirstFrame.h"
#include "app/Configurator.h"
#include "app/TForm1.h"
#include "midi/RtMidiService.h"
#include "support/EntrySession.h"
#include "support/FakeDialogs.h"
#include "support/JackMidiService.h"
#include "support/JackRig.h"
#include "support/ListTexts.h"

using namespace tarvik;
using tarvik::testing::FakeDialogs;
using tarvik::testing::items;
using tarvik::testing::JackRig;
using tarvik::testing::selectedName;

namespace {

constexpr int kGiveUpMs = 60000;

}  // namespace

class ConfiguratorEntryTest : public QObject {
  Q_OBJECT

  JackRig jack;

 private Q_SLOTS:
  void initTestCase() {
    TARVIK_START_JACK_OR_SKIP(jack);
    {
      const RtMidiService probe;
      TARVIK_SKIP_UNLESS_ON_JACK(probe);
    }
    const QString failure = jack.startSimulator(
        QStringLiteral(TARVIK_SIM_PATH),
        {QStringLiteral("--seed"), QStringLiteral("5"), QStringLiteral("--echo")});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    // The module from this build, where the installed program would look beside itself.
    qputenv("TARVIK_PLATFORM_MODULE", TARVIK_PLATFORM_MODULE_PATH);
  }
  void cleanupTestCase() {
    jack.stopSimulator();
    jack.stopServer();
  }

  void theWindowShowsBeforeTheMidiSystemIsReachedAndThenOffersTheDevice() {
    FakeDialogs dialogs;
    QStringList inputsAtFirstFrame{QStringLiteral("never drawn")};
    QStringList inputsOffered;
    bool offered = false;
    const int status = runConfigurator(
        dialogs, QUrl(QStringLiteral("http://127.0.0.1:9/downloads/tarvik/")),
        [&](TForm1& form, ConfiguratorCore& core) {
          auto* inputs = form.findChild<QListWidget*>(QStringLiteral("inputDevices"));
          auto* outputs = form.findChild<QListWidget*>(QStringLiteral("outputDevices"));
          new AfterFirstFrame(form, [&, inputs] { inputsAtFirstFrame = items(inputs); });
          // After the window's own handler, which fills the lists.
          QObject::connect(&core, &ConfiguratorCore::portsChanged, &form, [&, inputs, outputs] {
            inputsOffered = items(inputs);
            offered = selectedName(inputs) == JackRig::deviceOutputPort &&
                      selectedName(outputs) == JackRig::deviceInputPort;
            if (offered) QCoreApplication::quit();
          });
          QTimer::singleShot(kGiveUpMs, &form, [] { QCoreApplication::quit(); });
        });
    QCOMPARE(status, 0);
    QCOMPARE(inputsAtFirstFrame, QStringList());
    QVERIFY2(offered, qPrintable(inputsOffered.join(QStringLiteral(", "))));
    QVERIFY(dialogs.errors.empty());
  }

  // The input list made before the module loaded is not the one the device answers on.
  void theWindowConnectsAndHearsTheDevice() {
    const tarvik::testing::EntrySession session =
        tarvik::testing::runEntrySession(jack, 2 * kGiveUpMs);
    QCOMPARE(session.status, 0);
    const QString shortfall = session.shortfall(jack.simulatorOutput());
    QVERIFY2(shortfall.isEmpty(), qPrintable(shortfall));
  }

  void aModuleThatCannotBeLoadedIsReportedOverTheWindow() {
    const QByteArray missing =
        QDir::temp().filePath(QStringLiteral("no-such-tarvik-module.so")).toLocal8Bit();
    qputenv("TARVIK_PLATFORM_MODULE", missing);
    FakeDialogs dialogs;
    bool windowShown = false;
    const int status =
        runConfigurator(dialogs, QUrl(QStringLiteral("http://127.0.0.1:9/downloads/tarvik/")),
                        [&](TForm1& form, ConfiguratorCore&) {
                          dialogs.errorShown = [&] {
                            windowShown = form.isVisible();
                            QCoreApplication::quit();
                          };
                          QTimer::singleShot(kGiveUpMs, &form, [] { QCoreApplication::quit(); });
                        });
    qputenv("TARVIK_PLATFORM_MODULE", TARVIK_PLATFORM_MODULE_PATH);
    QCOMPARE(status, 0);
    QCOMPARE(dialogs.errors.size(), std::size_t(1));
    const QString text = dialogs.errors.front().text;
    QVERIFY2(text.startsWith(QStringLiteral("No MIDI ports are available: the program's module")) &&
                 text.contains(QString::fromLocal8Bit(missing)),
             qPrintable(text));
    QVERIFY(windowShown);
  }

  // A connect that finds no Tarvik, where the program went on from ALSA (no sequencer on this
  // machine) to JACK: the box's details name JACK and what was tried on it, not ALSA's failure
  // to open /dev/snd/seq on the way.
  void aTimeOutsDetailsNameTheSystemInUse() {
    jack.stopSimulator();
    const QString failure =
        jack.startSimulator(QStringLiteral(TARVIK_SIM_PATH), {QStringLiteral("--silent")});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    FakeDialogs dialogs;
    bool pressed = false;
    const int status = runConfigurator(
        dialogs, QUrl(QStringLiteral("http://127.0.0.1:9/downloads/tarvik/")),
        [&](TForm1& form, ConfiguratorCore& core) {
          auto* inputs = form.findChild<QListWidget*>(QStringLiteral("inputDevices"));
          auto* outputs = form.findChild<QListWidget*>(QStringLiteral("outputDevices"));
          dialogs.errorShown = [] { QCoreApplication::quit(); };
          QObject::connect(&core, &ConfiguratorCore::portsChanged, &form,
                           [&, inputs, outputs] {
                             if (pressed || selectedName(inputs) != JackRig::deviceOutputPort ||
                                 selectedName(outputs) != JackRig::deviceInputPort)
                               return;
                             pressed = true;
                             QMetaObject::invokeMethod(
                                 &form, [&form] { form.Button1Click(); }, Qt::QueuedConnection);
                           });
          QTimer::singleShot(kGiveUpMs, &form, [] { QCoreApplication::quit(); });
        });
    QCOMPARE(status, 0);
    QVERIFY(pressed);
    QCOMPARE(dialogs.errors.size(), std::size_t(1));
    QCOMPARE(dialogs.errors.front().text, QStringLiteral("No Tarvik found :("));
    const QStringList detail = dialogs.errorDetails.front();
    const QString shown = detail.join(QLatin1Char('\n'));
    QCOMPARE(detail.value(0), QStringLiteral("MIDI system: Jack"));
    QVERIFY2(
        detail.value(1).startsWith(
            QStringLiteral("Identify was sent to the output \"%1\"").arg(JackRig::deviceInputPort)),
        qPrintable(shown));
    QVERIFY2(!shown.contains(QStringLiteral("ALSA")) && !shown.contains(QStringLiteral("/dev/snd")),
             qPrintable(shown));
  }
};

QTEST_MAIN(ConfiguratorEntryTest)
#include "test_configurator_entry.moc"
