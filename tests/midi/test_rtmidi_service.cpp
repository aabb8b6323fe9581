// SPDX-License-Identifier: MIT
// The RtMidi service must come up on any machine, with or without a MIDI system; what it lists
// depends on the machine, so the checks hold for any count.
#include <QtTest>

#include "midi/RtMidiService.h"

using namespace tarvik;

class TestRtMidiService : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void startsAndListsConsistently() {
    RtMidiService service;
    const std::uint32_t inputs = service.inGetNumDevs();
    const std::uint32_t outputs = service.outGetNumDevs();
    qInfo("API \"%s\": %u inputs, %u outputs; problem: \"%s\"", service.apiName().c_str(), inputs,
          outputs, service.startupProblem().c_str());
    std::string name;
    for (std::uint32_t port = 0; port < inputs; ++port) {
      QCOMPARE(service.inGetDevCaps(port, name), MidiResult::NoError);
      QVERIFY(!name.empty());
    }
    for (std::uint32_t port = 0; port < outputs; ++port) {
      QCOMPARE(service.outGetDevCaps(port, name), MidiResult::NoError);
      QVERIFY(!name.empty());
    }
    QCOMPARE(service.inGetDevCaps(inputs, name), MidiResult::BadDeviceId);
    QCOMPARE(service.outGetDevCaps(outputs, name), MidiResult::BadDeviceId);
    // A service without any MIDI system says why; one with ports has nothing to say.
    if (inputs + outputs > 0) QVERIFY(service.startupProblem().empty());
    if (service.apiName().empty()) QVERIFY(!service.startupProblem().empty());
  }

  void portsPastTheListAndUnknownHandlesAreRefused() {
    RtMidiService service;
    const std::uint32_t outputs = service.outGetNumDevs();
    const std::uint32_t inputs = service.inGetNumDevs();
    MidiHandle handle = kNoHandle;
    QCOMPARE(service.outOpen(handle, outputs), MidiResult::BadDeviceId);
    QCOMPARE(service.inOpen(handle, inputs, {}, 0), MidiResult::BadDeviceId);
    QCOMPARE(handle, kNoHandle);
    MidiHeader header;
    QCOMPARE(service.outShortMsg(kNoHandle, 0x05C0), MidiResult::InvalidHandle);
    QCOMPARE(service.outLongMsg(kNoHandle, &header), MidiResult::InvalidHandle);
    QCOMPARE(service.outClose(kNoHandle), MidiResult::InvalidHandle);
    QCOMPARE(service.inClose(kNoHandle), MidiResult::InvalidHandle);
    std::string text;
    QCOMPARE(service.getErrorText(MidiResult::InvalidHandle, text), MidiResult::NoError);
    QCOMPARE(text, std::string("The specified device handle is invalid."));
  }
};

QTEST_GUILESS_MAIN(TestRtMidiService)
#include "test_rtmidi_service.moc"
