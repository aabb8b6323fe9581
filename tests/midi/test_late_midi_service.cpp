// SPDX-License-Identifier: MIT
// The stand-in that the port lists hold until the platform's service has been loaded.
#include <QtTest>

#include "midi/InMemoryMidiService.h"
#include "midi/LateMidiService.h"

using namespace tarvik;

class TestLateMidiService : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void beforeAServiceIsAdoptedThereAreNoPortsAndNothingOpens() {
    LateMidiService late;
    QCOMPARE(late.inGetNumDevs(), 0u);
    QCOMPARE(late.outGetNumDevs(), 0u);
    std::string name;
    QCOMPARE(late.inGetDevCaps(0, name), MidiResult::BadDeviceId);
    MidiHandle handle = kNoHandle;
    QCOMPARE(late.outOpen(handle, 0), MidiResult::BadDeviceId);
    QCOMPARE(late.inOpen(handle, 0, {}, 0), MidiResult::BadDeviceId);
    QCOMPARE(handle, kNoHandle);
    QCOMPARE(late.outShortMsg(1, 0x90), MidiResult::InvalidHandle);
    // The user reads the same text for a code as from the other services.
    std::string text;
    std::string inMemoryText;
    InMemoryMidiService inMemory;
    QCOMPARE(late.getErrorText(MidiResult::BadDeviceId, text), MidiResult::NoError);
    QCOMPARE(inMemory.getErrorText(MidiResult::BadDeviceId, inMemoryText), MidiResult::NoError);
    QCOMPARE(text, inMemoryText);
    bool carrying = false;
    late.whenOpenPortsCarry([&] { carrying = true; });
    QVERIFY(carrying);
  }

  void anAdoptedServiceAnswersEveryCall() {
    LateMidiService late;
    auto owned = std::make_unique<InMemoryMidiService>();
    InMemoryMidiService& service = *owned;
    service.keepWholeNames();
    service.addInput("Tarvik MIDI 1:out");
    const int out = service.addOutput("Tarvik MIDI 1:in");
    late.adopt(std::move(owned));
    // A second service does not replace the first: handles already given out are the first's.
    late.adopt(std::make_unique<InMemoryMidiService>());

    QCOMPARE(late.inGetNumDevs(), 1u);
    QCOMPARE(late.outGetNumDevs(), 1u);
    std::string name;
    QCOMPARE(late.outGetDevCaps(0, name), MidiResult::NoError);
    QCOMPARE(name, std::string("Tarvik MIDI 1:in"));

    MidiHandle output = kNoHandle;
    QCOMPARE(late.outOpen(output, 0), MidiResult::NoError);
    QCOMPARE(late.outShortMsg(output, 0x0205C0), MidiResult::NoError);
    QCOMPARE(service.sent(out), (std::vector<std::vector<std::uint8_t>>{{0xC0, 0x05}}));
    MidiHandle input = kNoHandle;
    QCOMPARE(late.inOpen(input, 0, [](std::uint32_t, std::uintptr_t, std::uintptr_t,
                                      std::uintptr_t) {}, 0),
             MidiResult::NoError);
    QVERIFY(service.isInputOpen(0));

    // The service's own news that the ports carry, not the stand-in's "at once".
    service.holdCarrying(true);
    bool carrying = false;
    late.whenOpenPortsCarry([&] { carrying = true; });
    QVERIFY(!carrying);
    service.releaseCarrying();
    QVERIFY(carrying);

    QCOMPARE(late.inClose(input), MidiResult::NoError);
    QCOMPARE(late.outClose(output), MidiResult::NoError);
    QVERIFY(!service.isOutputOpen(out));
  }
};

QTEST_GUILESS_MAIN(TestLateMidiService)
#include "test_late_midi_service.moc"
