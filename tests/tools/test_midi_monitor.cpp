// SPDX-License-Identifier: MIT
#include "tools/MidiMonitor.h"
#include "tools/ui/TestControllerTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalSpy>
#include <QPushButton>
#include <QTest>

Q_DECLARE_METATYPE(std::optional<QString>)

class MidiMonitorTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void monitorLines_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("data1");
    QTest::addColumn<int>("data2");
    QTest::addColumn<QString>("line");  // empty: no line
    QTest::newRow("program change shows channel and program plus one")
        << 0xC5 << 0x09 << 0 << "[MIDI IN] ProgrammChange - MidiChannel: 6 - ProgrammNr: 10";
    QTest::newRow("control change shows controller and value as received")
        << 0xB0 << 0x07 << 0x64
        << "[MIDI IN] ControllChange - MidiChannel: 1 - ControllNr: 7 - Value: 100";
    QTest::newRow("highest channel and program")
        << 0xCF << 0x7F << 0 << "[MIDI IN] ProgrammChange - MidiChannel: 16 - ProgrammNr: 128";
    QTest::newRow("note on is not shown") << 0x90 << 60 << 100 << "";
    QTest::newRow("clock is not shown") << 0xF8 << 0 << 0 << "";
    QTest::newRow("active sensing is not shown") << 0xFE << 0 << 0 << "";
    QTest::newRow("sysex start is not shown") << 0xF0 << 0 << 0 << "";
  }
  void monitorLines() {
    QFETCH(int, status);
    QFETCH(int, data1);
    QFETCH(int, data2);
    QFETCH(QString, line);
    const auto got = tarvik::monitorLine(static_cast<std::uint8_t>(status),
                                         static_cast<std::uint8_t>(data1),
                                         static_cast<std::uint8_t>(data2));
    if (line.isEmpty()) {
      QVERIFY(!got.has_value());
    } else {
      QVERIFY(got.has_value());
      QCOMPARE(*got, line);
    }
  }

  void sendButtonsFormTheMessages() {
    tarvik::TestControllerTab tab;
    auto* channel = tab.findChild<QComboBox*>(QStringLiteral("ComboBox2"));
    auto* program = tab.findChild<QComboBox*>(QStringLiteral("ComboBox3"));
    auto* controller = tab.findChild<QComboBox*>(QStringLiteral("ComboBox4"));
    auto* on = tab.findChild<QCheckBox*>(QStringLiteral("CheckBox2"));
    QVERIFY(channel && program && controller && on);
    QCOMPARE(channel->count(), 16);
    QCOMPARE(program->itemText(127), QStringLiteral("128"));
    QCOMPARE(controller->currentText(), QStringLiteral("1"));

    QSignalSpy sent(&tab, &tarvik::TestControllerTab::sendRequested);
    channel->setCurrentIndex(15);
    program->setCurrentIndex(127);
    QTest::mouseClick(tab.programSendButton(), Qt::LeftButton);
    channel->setCurrentIndex(0);
    on->setChecked(true);
    QTest::mouseClick(tab.controlSendButton(), Qt::LeftButton);
    on->setChecked(false);
    QTest::mouseClick(tab.controlSendButton(), Qt::LeftButton);
    QCOMPARE(sent.count(), 3);
    auto message = [&](int i) {
      return sent.at(i).at(0).value<tarvik::TestControllerTab::ShortMessage>();
    };
    QCOMPARE(message(0).status, 0xCF);
    QCOMPARE(message(0).data1, 0x7F);
    QCOMPARE(message(1).status, 0xB0);
    QCOMPARE(message(1).data1, 0x00);
    QCOMPARE(message(1).data2, 0x7F);
    QCOMPARE(message(2).data2, 0x00);
  }
};

QTEST_MAIN(MidiMonitorTest)
#include "test_midi_monitor.moc"
