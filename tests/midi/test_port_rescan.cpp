// SPDX-License-Identifier: MIT
// Port lists that follow the service: a new enumeration keeps every port's entry and handle at
// its new index, drops and closes the ports that went, and never lets an old index reach
// another port. The watcher reports only what changed.
#include <QEventLoop>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "midi/InMemoryMidiService.h"
#include "midi/MidiPorts.h"
#include "midi/PortWatcher.h"

using namespace tarvik;

namespace {

using Names = std::vector<std::string>;

QString raisedText(const std::function<void()>& action) {
  try {
    action();
  } catch (const TMidiError& error) {
    return QString::fromStdString(error.what());
  }
  return {};
}

}  // namespace

class TestPortRescan : public QObject {
  Q_OBJECT

  InMemoryMidiService* service_ = nullptr;
  std::unique_ptr<MidiPorts> ports_;
  int keyboardIn_ = -1, tarvikIn_ = -1, keyboardOut_ = -1, tarvikOut_ = -1;

 private Q_SLOTS:
  void init() {
    auto service = std::make_unique<InMemoryMidiService>();
    keyboardIn_ = service->addInput("Keyboard");
    tarvikIn_ = service->addInput("Tarvik MIDI");
    keyboardOut_ = service->addOutput("Keyboard");
    tarvikOut_ = service->addOutput("Tarvik MIDI");
    service_ = service.get();
    ports_ = std::make_unique<MidiPorts>(std::move(service));
    ports_->inputs();
    ports_->outputs();
  }
  void cleanup() {
    ports_.reset();
    service_ = nullptr;
  }

  void portsThatComeAndGoAreReportedInOrder() {
    service_->setInputPresent(keyboardIn_, false);
    service_->addInput("UM-ONE:UM-ONE MIDI 1 24:0");
    service_->addOutput("UM-ONE:UM-ONE MIDI 1 24:0");
    const auto change = ports_->rescan();
    QVERIFY(change && change->changed());
    QCOMPARE(change->inputs.removed, Names{"Keyboard"});
    QCOMPARE(change->inputs.added, Names{"UM-ONE:UM-ONE MIDI 1 24:0"});
    QCOMPARE(change->inputs.newIndex, (std::vector<int>{-1, 0}));
    QCOMPARE(change->outputs.removed, Names{});
    QCOMPARE(change->outputs.newIndex, (std::vector<int>{0, 1}));
    QCOMPARE(ports_->inputs().PortNames(), (Names{"Tarvik MIDI", "UM-ONE:UM-ONE MIDI 1 24:0"}));
    QCOMPARE(ports_->outputs().PortNames(),
             (Names{"Keyboard", "Tarvik MIDI", "UM-ONE:UM-ONE MIDI 1 24:0"}));

    // Nothing new: nothing to report, and the port comes back at its old place.
    QVERIFY(!ports_->rescan()->changed());
    service_->setInputPresent(keyboardIn_, true);
    const auto back = ports_->rescan();
    QCOMPARE(back->inputs.added, Names{"Keyboard"});
    QCOMPARE(back->inputs.newIndex, (std::vector<int>{1, 2}));
  }

  void aMovedOpenPortKeepsItsHandleAndItsInput() {
    std::vector<std::pair<int, Names>> seen;
    ports_->inputs().OnShortMessage = [&](int port, std::uint8_t status, std::uint8_t,
                                          std::uint8_t) {
      seen.push_back({port, {std::to_string(status)}});
    };
    ports_->inputs().Open(1);
    ports_->outputs().Open(1);
    service_->setInputPresent(keyboardIn_, false);
    service_->setOutputPresent(keyboardOut_, false);
    QVERIFY(ports_->rescan());
    QVERIFY(ports_->inputs().IsOpen(0));
    QVERIFY(ports_->outputs().IsOpen(0));
    QVERIFY(service_->isInputOpen(tarvikIn_));

    // The send reaches the Tarvik, and input from it is reported under its new index.
    ports_->outputs().SendShortMessage(0, 0xC0, 3, 0);
    QCOMPARE(service_->sent(tarvikOut_).size(), std::size_t(1));
    service_->deliverShort(tarvikIn_, 0xC0, 3, 0);
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), std::size_t(1), 20000);
    QCOMPARE(seen.front().first, 0);
    ports_->inputs().Close(0);
    QVERIFY(!service_->isInputOpen(tarvikIn_));
  }

  void aVanishedOpenPortIsClosedAndNeverTakenForAnother() {
    ports_->inputs().Open(1);
    ports_->outputs().Open(1);
    service_->setInputPresent(tarvikIn_, false);
    service_->setOutputPresent(tarvikOut_, false);
    const auto change = ports_->rescan();
    QCOMPARE(change->inputs.newIndex, (std::vector<int>{0, -1}));
    QCOMPARE(change->outputs.removed, Names{"Tarvik MIDI"});
    QVERIFY(!service_->isInputOpen(tarvikIn_));
    QVERIFY(!service_->isOutputOpen(tarvikOut_));
    QCOMPARE(ports_->inputs().PortNames(), Names{"Keyboard"});
    QCOMPARE(raisedText([&] {
               ports_->outputs().SendLongMessage(1, {0xF0, 0xF7});
             }),
             QStringLiteral("TMidiOutput: Device index out of bounds! (1)"));

    // Plugged in again: it opens as a new port, at the index the lists now give it.
    service_->setInputPresent(tarvikIn_, true);
    QVERIFY(ports_->rescan());
    ports_->inputs().Open(1);
    QVERIFY(service_->isInputOpen(tarvikIn_));
  }

  // A device unplugged and plugged back in keeps its name, but what was open on it reaches
  // nothing: whenever the lists look, they must take it for a new port, close the dead handles
  // and open it afresh.
  void aPortPluggedBackInIsANewPort_data() {
    QTest::addColumn<bool>("lookWhileUnplugged");
    QTest::newRow("plugged back in between two looks") << false;
    QTest::newRow("seen gone, then plugged back in") << true;
  }
  void aPortPluggedBackInIsANewPort() {
    QFETCH(bool, lookWhileUnplugged);
    std::vector<std::uint8_t> received;
    QEventLoop arrived;
    ports_->inputs().OnShortMessage = [&](int, std::uint8_t status, std::uint8_t, std::uint8_t) {
      received.push_back(status);
      arrived.quit();
    };
    ports_->inputs().Open(1);
    ports_->outputs().Open(1);
    service_->setInputPresent(tarvikIn_, false);
    service_->setOutputPresent(tarvikOut_, false);
    if (lookWhileUnplugged) QVERIFY(ports_->rescan());
    service_->setInputPresent(tarvikIn_, true);
    service_->setOutputPresent(tarvikOut_, true);
    const auto change = ports_->rescan();
    QVERIFY(change);
    if (!lookWhileUnplugged) {
      QCOMPARE(change->inputs.removed, Names{"Tarvik MIDI"});
      QCOMPARE(change->outputs.newIndex, (std::vector<int>{0, -1}));
    }
    QCOMPARE(change->inputs.added, Names{"Tarvik MIDI"});
    QCOMPARE(change->outputs.added, Names{"Tarvik MIDI"});
    QVERIFY(!ports_->inputs().IsOpen(1));
    QVERIFY(!ports_->outputs().IsOpen(1));

    ports_->inputs().Open(1);
    ports_->outputs().SendShortMessage(1, 0xC0, 5, 0);
    QCOMPARE(service_->sent(tarvikOut_).size(), std::size_t(1));
    service_->deliverShort(tarvikIn_, 0xB0, 1, 2);
    // The hand-over to this thread is queued: the loop ends with the message, not with a look.
    QTimer::singleShot(20000, &arrived, &QEventLoop::quit);
    if (received.empty()) arrived.exec();
    QCOMPARE(received.size(), std::size_t(1));
    QCOMPARE(received.front(), std::uint8_t(0xB0));
  }

  // Plugged back in and opened afresh (as a connect does) before the lists looked: the open
  // reached the new plug, so the next look keeps it open.
  void aPortReopenedOnItsNewPlugStaysOpenAtTheNextLook() {
    ports_->outputs().Open(1);
    service_->setOutputPresent(tarvikOut_, false);
    service_->setOutputPresent(tarvikOut_, true);
    ports_->outputs().Close(1);
    ports_->outputs().Open(1);
    QVERIFY(!ports_->rescan()->changed());
    QVERIFY(service_->isOutputOpen(tarvikOut_));
    ports_->outputs().SendShortMessage(1, 0xC0, 5, 0);
    QCOMPARE(service_->sent(tarvikOut_).size(), std::size_t(1));
  }

  // A look that cannot be made now (inside an input handler; inside a receiver of the last look,
  // whose box runs the event loop) is made as soon as that has returned, not one interval later.
  void aLookPutOffIsMadeOnceItCanBe_data() {
    QTest::addColumn<bool>("insideInputHandler");
    QTest::newRow("asked inside an input handler") << true;
    QTest::newRow("asked inside a receiver of the last look") << false;
  }
  void aLookPutOffIsMadeOnceItCanBe() {
    QFETCH(bool, insideInputHandler);
    PortWatcher watcher(*ports_);
    QSignalSpy changed(&watcher, &PortWatcher::portsChanged);
    bool askedInside = false;
    auto unplugKeyboardAndLook = [&] {
      if (askedInside) return;
      askedInside = true;
      service_->setInputPresent(keyboardIn_, false);
      watcher.rescan();
      // Not made yet: the lists still hold the keyboard.
      QCOMPARE(ports_->inputs().PortNames(), (Names{"Keyboard", "Tarvik MIDI"}));
    };
    if (insideInputHandler) {
      ports_->inputs().OnShortMessage = [&](int, std::uint8_t, std::uint8_t, std::uint8_t) {
        unplugKeyboardAndLook();
      };
      ports_->inputs().Open(1);
      service_->deliverShort(tarvikIn_, 0x90, 60, 1);
    } else {
      connect(&watcher, &PortWatcher::portsChanged, this, unplugKeyboardAndLook);
      service_->addOutput("Synth");
      watcher.rescan();
    }
    // In a receiver: the look that put it off makes it before it returns, after the first.
    const int looks = insideInputHandler ? 1 : 2;
    if (changed.size() < looks) QVERIFY(changed.wait(20000));
    QCOMPARE(changed.size(), looks);
    QVERIFY(askedInside);
    QCOMPARE(changed.last().first().value<MidiPorts::Change>().inputs.removed, Names{"Keyboard"});
    QCOMPARE(ports_->inputs().PortNames(), Names{"Tarvik MIDI"});
  }

  void anIndexFromBeforeTheServiceChangedOpensNothingElse() {
    // The lists still show the Tarvik at 1; the service has lost it and listed anew.
    service_->setOutputPresent(tarvikOut_, false);
    QCOMPARE(service_->outGetNumDevs(), 1u);
    const int synth = service_->addOutput("Synth");
    QVERIFY(!raisedText([&] { ports_->outputs().Open(1); }).isEmpty());
    QVERIFY(!service_->isOutputOpen(keyboardOut_));
    QVERIFY(!service_->isOutputOpen(synth));
  }

  void noRescanInsideAnInputHandler() {
    std::optional<std::optional<MidiPorts::Change>> inside;
    ports_->inputs().OnShortMessage = [&](int, std::uint8_t, std::uint8_t, std::uint8_t) {
      service_->setInputPresent(keyboardIn_, false);
      inside = ports_->rescan();
    };
    ports_->inputs().Open(1);
    service_->deliverShort(tarvikIn_, 0x90, 60, 1);
    QTRY_VERIFY_WITH_TIMEOUT(inside.has_value(), 20000);
    QVERIFY(!inside->has_value());
    QCOMPARE(ports_->inputs().PortNames(), (Names{"Keyboard", "Tarvik MIDI"}));
    // Outside the handler the next look catches up.
    QCOMPARE(ports_->rescan()->inputs.removed, Names{"Keyboard"});
  }

  void listsNotYetEnumeratedComeWholeAsNew() {
    auto service = std::make_unique<InMemoryMidiService>();
    service->addInput("A");
    service->addOutput("B");
    MidiPorts fresh(std::move(service));
    const auto change = fresh.rescan();
    QCOMPARE(change->inputs.added, Names{"A"});
    QCOMPARE(change->outputs.added, Names{"B"});
  }

  // The window's lists exist before its service is loaded: nothing to list or open, the same
  // texts as any service for the codes; once the service comes, the next look finds its ports,
  // which open on it. A second service does not replace the first, whose handles are out.
  void listsWithoutAServiceWaitForTheOneAdopted() {
    MidiPorts late;
    QVERIFY(late.inputs().PortNames().empty());
    QVERIFY(late.outputs().PortNames().empty());
    MidiHandle handle = kNoHandle;
    QCOMPARE(late.service().outOpen(handle, 0), MidiResult::BadDeviceId);
    QCOMPARE(late.service().outShortMsg(1, 0x90), MidiResult::InvalidHandle);
    std::string text, inMemoryText;
    QCOMPARE(late.service().getErrorText(MidiResult::BadDeviceId, text), MidiResult::NoError);
    QCOMPARE(service_->getErrorText(MidiResult::BadDeviceId, inMemoryText), MidiResult::NoError);
    QCOMPARE(text, inMemoryText);

    auto owned = std::make_unique<InMemoryMidiService>();
    InMemoryMidiService& service = *owned;
    service.addInput("A");
    const int out = service.addOutput("B");
    late.adopt(std::move(owned));
    late.adopt(std::make_unique<InMemoryMidiService>());
    const auto change = late.rescan();
    QCOMPARE(change->inputs.added, Names{"A"});
    QCOMPARE(change->outputs.added, Names{"B"});
    late.outputs().SendShortMessage(0, 0xC0, 5, 0);
    QCOMPARE(service.sent(out), (std::vector<std::vector<std::uint8_t>>{{0xC0, 0x05}}));
  }

  void watcherReportsChangesAndAFailureOnce() {
    PortWatcher watcher(*ports_);
    QSignalSpy changed(&watcher, &PortWatcher::portsChanged);
    QSignalSpy failed(&watcher, &PortWatcher::rescanFailed);
    watcher.rescan();
    QCOMPARE(changed.size(), 0);

    service_->addInput("Synth");
    service_->failCall("inGetDevCaps", 0, MidiResult::Error);
    watcher.rescan();
    service_->failCall("inGetDevCaps", 0, MidiResult::Error);
    watcher.rescan();
    QCOMPARE(failed.size(), 1);
    QCOMPARE(changed.size(), 0);
    QCOMPARE(ports_->inputs().PortNames(), (Names{"Keyboard", "Tarvik MIDI"}));

    watcher.rescan();
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().first().value<MidiPorts::Change>().inputs.added, Names{"Synth"});
    QVERIFY(watcher.interval() <= 2000);
  }
};

QTEST_GUILESS_MAIN(TestPortRescan)
#include "test_port_rescan.moc"
