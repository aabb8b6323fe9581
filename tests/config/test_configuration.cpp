// SPDX-License-Identifier: MIT
// The configuration both front ends edit: which changes run the editing rules, what they report,
// and the rule that a muted loop cannot be momentary.
#include <QSignalSpy>
#include <QTest>

#include "config/Configuration.h"

using namespace tarvik;

namespace {

using Change = std::tuple<Block, int, int>;

std::vector<Change> changes(const QSignalSpy& spy) {
  std::vector<Change> seen;
  for (const QList<QVariant>& args : spy) {
    seen.emplace_back(args[0].value<Block>(), args[1].toInt(), args[2].toInt());
  }
  return seen;
}

ConfigRecord withMasks(std::uint8_t mute, std::uint8_t momentary) {
  ConfigRecord record;
  record.muteMask = mute;
  record.switchMask = momentary;
  return record;
}

}  // namespace

class ConfigurationTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  // Loops 2 and 3 form the interlock group; row 5 has loops 1 and 2 on.
  void loopClicksFollowTheInterlockGroupOfTheRecord_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("mask");
    QTest::newRow("group box moves the row's group selection") << 2 << 0x05;
    QTest::newRow("ticked group box stays ticked") << 1 << 0x03;
    QTest::newRow("box outside the group toggles alone") << 0 << 0x02;
  }
  void loopClicksFollowTheInterlockGroupOfTheRecord() {
    QFETCH(int, column);
    QFETCH(int, mask);
    Configuration configuration;
    ConfigRecord record;
    record.lockMask = 0x06;
    configuration.setRecord(record);
    std::array<std::uint8_t, kTableSize> presets{};
    presets[5] = 0x03;
    presets[6] = 0x03;
    configuration.applyPresets(presets);
    QSignalSpy changed(&configuration, &Configuration::changed);

    configuration.clickLoop(5, column);
    QCOMPARE(int(configuration.tables().mask(5)), mask);
    QCOMPARE(int(configuration.tables().mask(6)), 0x03);
    const std::vector<Change> expected =
        mask == 0x03 ? std::vector<Change>{} : std::vector<Change>{{Block::Presets, 5, 5}};
    QVERIFY(changes(changed) == expected);
  }

  // Downloads and files set the tables exactly, whatever the group; only real changes are
  // reported, block by block.
  void exactChangesRunNoRuleAndReportOnlyWhatChanged() {
    Configuration configuration;
    ConfigRecord record;
    record.lockMask = 0xFF;
    configuration.setRecord(record);
    QSignalSpy changed(&configuration, &Configuration::changed);

    std::array<std::uint8_t, kTableSize> presets{};
    presets[0] = 0x81;
    configuration.applyPresets(presets);
    QCOMPARE(int(configuration.tables().mask(0)), 0x81);
    PresetTables tables = configuration.tables();
    tables.setPcRemap(9, 4);
    configuration.setTables(tables);
    configuration.setTables(tables);
    QVERIFY(changes(changed) ==
            (std::vector<Change>{{Block::Presets, 0, 127}, {Block::PcRemap, 0, 127}}));
  }

  void fillButtonsChangeTheirBlocksOnly() {
    Configuration configuration;
    QSignalSpy changed(&configuration, &Configuration::changed);
    configuration.defaultProgramChange();
    QCOMPARE(configuration.tables().pcRemap(127), 127);
    configuration.deselectAll();
    QCOMPARE(configuration.tables().cc(0), 0);
    QCOMPARE(configuration.tables().pcRemap(127), 127);
    QVERIFY(changes(changed) == (std::vector<Change>{{Block::PcRemap, 0, 127},
                                                     {Block::CcMap, 0, 127}}));
  }

  void selectorChoicesOutsideTheItemsMeanNoSelection() {
    Configuration configuration;
    configuration.chooseCc(3, 12);
    configuration.choosePcRemap(3, 128);
    QCOMPARE(configuration.tables().cc(3), -1);
    QCOMPARE(configuration.tables().pcRemap(3), 128);
    QCOMPARE(int(configuration.ccMapPayload()[3]), 255);
    QCOMPARE(int(configuration.pcRemapPayload()[3]), 128);
  }

  void aMutedLoopCannotBeMomentary_data() {
    QTest::addColumn<int>("muteBefore");
    QTest::addColumn<int>("momentaryBefore");
    QTest::addColumn<int>("muteEdited");
    QTest::addColumn<int>("momentaryEdited");
    QTest::addColumn<int>("momentaryKept");
    QTest::newRow("muting a loop takes its momentary bit") << 0x00 << 0x0C << 0x04 << 0x0C << 0x08;
    QTest::newRow("unmuting leaves momentary off") << 0x04 << 0x08 << 0x00 << 0x08 << 0x08;
    QTest::newRow("momentary on a muted loop is refused") << 0x04 << 0x00 << 0x04 << 0x05 << 0x01;
    // A record received with both bits stays so until the user changes one of them.
    QTest::newRow("received double bit survives other edits") << 0x04 << 0x04 << 0x04 << 0x04
                                                              << 0x04;
    QTest::newRow("muting another loop clears a received double bit")
        << 0x04 << 0x0C << 0x05 << 0x0C << 0x08;
  }
  void aMutedLoopCannotBeMomentary() {
    QFETCH(int, muteBefore);
    QFETCH(int, momentaryBefore);
    QFETCH(int, muteEdited);
    QFETCH(int, momentaryEdited);
    QFETCH(int, momentaryKept);
    Configuration configuration;
    configuration.setRecord(withMasks(muteBefore, momentaryBefore));
    ConfigRecord edited = withMasks(muteEdited, momentaryEdited);
    edited.debounceTime = 90;
    configuration.editRecord(edited);
    QCOMPARE(int(configuration.record().muteMask), muteEdited);
    QCOMPARE(int(configuration.record().switchMask), momentaryKept);
    QCOMPARE(configuration.record().debounceTime, 90);
    QCOMPARE(configuration.momentaryAllowed(2), (muteEdited & 0x04) == 0);
  }

  void receivedRecordKeepsBothBitsAndItsFallbacks() {
    Configuration configuration;
    std::array<std::uint8_t, kConfigRecordSize> items{};
    items[3] = 0x04;   // mute loop 3
    items[6] = 0x04;   // momentary loop 3
    items[0] = 255;    // debounce clamps to 254
    items[8] = 7;      // unknown function falls back to "none"
    QSignalSpy changed(&configuration, &Configuration::changed);
    configuration.applyRecord(items);
    QCOMPARE(int(configuration.record().switchMask), 0x04);
    QCOMPARE(configuration.record().debounceTime, 254);
    QCOMPARE(configuration.record().magicFunction, 0);
    QCOMPARE(int(configuration.recordBytes()[6]), 0x04);
    QVERIFY(changes(changed) == (std::vector<Change>{{Block::Record, 0, kConfigRecordSize - 1}}));
  }
};

QTEST_GUILESS_MAIN(ConfigurationTest)
#include "test_configuration.moc"
