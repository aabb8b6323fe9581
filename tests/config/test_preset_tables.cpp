// SPDX-License-Identifier: MIT
#include <QTest>
#include <numeric>

#include "config/PresetTables.h"

using tarvik::PresetTables;
using Payload = PresetTables::Payload;

namespace {

Payload filled(std::uint8_t value) {
  Payload payload{};
  payload.fill(value);
  return payload;
}

}  // namespace

class PresetTablesTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void startStatePayloads() {
    const PresetTables tables;
    QCOMPARE(tables.presetPayload(), filled(0));
    QCOMPARE(tables.ccMapPayload(), filled(8));
    QCOMPARE(tables.pcRemapPayload(), filled(255));
  }

  void ccEntriesFromReply_data() {
    QTest::addColumn<int>("received");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("sentBack");
    QTest::newRow("no loop") << 0 << 0 << 0;
    QTest::newRow("loop 8") << 8 << 8 << 8;
    QTest::newRow("9 leaves no selection") << 9 << -1 << 255;
    QTest::newRow("255 leaves no selection") << 255 << -1 << 255;
  }
  void ccEntriesFromReply() {
    QFETCH(int, received);
    QFETCH(int, index);
    QFETCH(int, sentBack);
    PresetTables tables;
    Payload reply = filled(3);
    reply[77] = static_cast<std::uint8_t>(received);
    tables.applyCcMap(reply);
    QCOMPARE(tables.cc(77), index);
    QCOMPARE(tables.cc(76), 3);
    QCOMPARE(int(tables.ccMapPayload()[77]), sentBack);
  }

  void pcRemapEntriesFromReply_data() {
    QTest::addColumn<int>("received");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("sentBack");
    QTest::newRow("program 1") << 0 << 0 << 0;
    QTest::newRow("program 128") << 127 << 127 << 127;
    QTest::newRow("128 is none, sent as 128") << 128 << 128 << 128;
    QTest::newRow("129 leaves no selection") << 129 << -1 << 255;
    QTest::newRow("200 leaves no selection") << 200 << -1 << 255;
  }
  void pcRemapEntriesFromReply() {
    QFETCH(int, received);
    QFETCH(int, index);
    QFETCH(int, sentBack);
    PresetTables tables;
    Payload reply = filled(5);
    reply[0] = static_cast<std::uint8_t>(received);
    tables.applyPcRemap(reply);
    QCOMPARE(tables.pcRemap(0), index);
    QCOMPARE(tables.pcRemap(1), 5);
    QCOMPARE(int(tables.pcRemapPayload()[0]), sentBack);
  }

  void presetsFromReplyIgnoreTheInterlock() {
    PresetTables tables;
    Payload reply{};
    for (int row = 0; row < PresetTables::kRows; ++row) {
      reply[row] = static_cast<std::uint8_t>(row * 2 + 1);
    }
    reply[4] = 0x81;
    tables.applyPresets(reply);
    QCOMPARE(tables.presetPayload(), reply);
    QVERIFY(tables.loopOn(4, 0));
    QVERIFY(tables.loopOn(4, 7));
    QVERIFY(!tables.loopOn(4, 1));
  }

  void CheckBoxPresetClick_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("lockMask");
    QTest::addColumn<int>("after");
    QTest::newRow("no group: tick") << 0x00 << 2 << 0x00 << 0x04;
    QTest::newRow("no group: untick") << 0x04 << 2 << 0x00 << 0x00;
    QTest::newRow("group moves selection to clicked loop") << 0x02 << 2 << 0x06 << 0x04;
    QTest::newRow("clicking the ticked group loop keeps it") << 0x04 << 2 << 0x06 << 0x04;
    QTest::newRow("loop outside group toggles alone on") << 0x02 << 0 << 0x06 << 0x03;
    QTest::newRow("loop outside group toggles alone off") << 0x03 << 0 << 0x06 << 0x02;
    QTest::newRow("several group loops collapse to the clicked one") << 0xFF << 7 << 0xF0 << 0x8F;
    QTest::newRow("group selection keeps loops outside") << 0x31 << 1 << 0x06 << 0x33;
  }
  void CheckBoxPresetClick() {
    QFETCH(int, before);
    QFETCH(int, column);
    QFETCH(int, lockMask);
    QFETCH(int, after);
    PresetTables tables;
    tables.setMask(4, static_cast<std::uint8_t>(before));
    tables.setMask(5, static_cast<std::uint8_t>(before));
    tables.CheckBoxPresetClick(4, column, static_cast<std::uint8_t>(lockMask));
    QCOMPARE(int(tables.mask(4)), after);
    QCOMPARE(int(tables.mask(5)), before);
  }

  void deselectAllKeepsPcRemap() {
    PresetTables tables;
    tables.defaultProgramChange();
    Payload masks = filled(0xFF);
    tables.applyPresets(masks);
    tables.applyCcMap(filled(3));
    tables.deselectAll();
    QCOMPARE(tables.presetPayload(), filled(0));
    QCOMPARE(tables.ccMapPayload(), filled(0));
    QCOMPARE(tables.pcRemap(0), 0);
    QCOMPARE(tables.pcRemap(127), 127);
  }

  void defaultProgramChangeIsIdentity() {
    PresetTables tables;
    tables.defaultProgramChange();
    Payload expected{};
    std::iota(expected.begin(), expected.end(), std::uint8_t{0});
    QCOMPARE(tables.pcRemapPayload(), expected);
  }
};

QTEST_APPLESS_MAIN(PresetTablesTest)
#include "test_preset_tables.moc"
