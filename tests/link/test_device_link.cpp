// SPDX-License-Identifier: MIT
// The link hears the ports it listens on whenever their lists are made: the window listens
// before the platform's service arrives, and the device answers on the adopted service's list.
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "link/DeviceLink.h"
#include "midi/InMemoryMidiService.h"
#include "midi/MidiPorts.h"

using namespace tarvik;

class TestDeviceLink : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void aLinkListeningBeforeTheServiceHearsTheAdoptedPorts_data() {
    QTest::addColumn<bool>("sysEx");
    QTest::newRow("the device's reply") << true;
    QTest::newRow("a program change") << false;
  }
  void aLinkListeningBeforeTheServiceHearsTheAdoptedPorts() {
    QFETCH(bool, sysEx);
    MidiPorts ports;
    DeviceLink link(ports);
    link.listen();
    auto service = std::make_unique<InMemoryMidiService>();
    InMemoryMidiService& device = *service;
    device.addInput("Tarvik MIDI");
    device.addOutput("Tarvik MIDI");
    ports.adopt(std::move(service));
    link.open(0, 0);

    QSignalSpy frames(&link, &DeviceLink::sysExReceived);
    QSignalSpy shorts(&link, &DeviceLink::shortReceived);
    const std::vector<std::uint8_t> reply{0xF0, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7};
    if (sysEx)
      device.deliverSysEx(0, reply);
    else
      device.deliverShort(0, 0xC3, 7, 0);
    QVERIFY((sysEx ? frames : shorts).wait(60000));
    if (sysEx) {
      QCOMPARE(frames.constFirst().at(1).value<std::vector<std::uint8_t>>(), reply);
    } else {
      QCOMPARE(shorts.constFirst().at(1).value<std::uint8_t>(), std::uint8_t(0xC3));
      QCOMPARE(shorts.constFirst().at(2).value<std::uint8_t>(), std::uint8_t(7));
    }
  }
};

QTEST_MAIN(TestDeviceLink)
#include "test_device_link.moc"
