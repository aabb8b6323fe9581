// SPDX-License-Identifier: MIT
// The undo history: one step per user edit or opened step, exact values back on undo and redo,
// and no editing rule run by either.
#include <QSignalSpy>
#include <QTest>

#include "config/ui/EditHistory.h"

using namespace tarvik;

namespace {

PresetTables::Payload filled(std::uint8_t value) {
  PresetTables::Payload payload{};
  payload.fill(value);
  return payload;
}

EditHistory::Snapshot snapshot(const Configuration& configuration) {
  return {configuration.tables(), configuration.record(), configuration.names()};
}

}  // namespace

class EditHistoryTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  // Loops 2 and 3 interlock; row 5 holds loops 1 and 2, row 6 a received row with both group
  // loops on, which no click could make.
  void undoOfAnInterlockClickRestoresEveryBoxItChanged() {
    Configuration configuration;
    ConfigRecord record;
    record.lockMask = 0x06;
    configuration.setRecord(record);
    PresetTables::Payload presets{};
    presets[5] = 0x03;
    presets[6] = 0x07;
    configuration.applyPresets(presets);
    EditHistory history(configuration);
    const EditHistory::Snapshot before = snapshot(configuration);

    configuration.clickLoop(5, 2);
    configuration.clickLoop(6, 1);
    QCOMPARE(int(configuration.tables().mask(5)), 0x05);
    QCOMPARE(int(configuration.tables().mask(6)), 0x03);
    QCOMPARE(history.stack().count(), 2);
    const EditHistory::Snapshot after = snapshot(configuration);

    history.undo();
    history.undo();
    QVERIFY(snapshot(configuration) == before);
    history.redo();
    history.redo();
    QVERIFY(snapshot(configuration) == after);
    // Neither undo nor redo is an edit of its own.
    QCOMPARE(history.stack().count(), 2);
  }

  // A record the device sent with a muted momentary loop comes back as it was, although the
  // user could not tick that combination.
  void undoOfASettingPutsBackWhatTheRuleTookAway() {
    Configuration configuration;
    const std::array<std::uint8_t, kConfigRecordSize> received = [] {
      ConfigRecord r;
      r.muteMask = 0x01;
      r.switchMask = 0x01;
      return r.toBytes();
    }();
    configuration.applyRecord(received);
    EditHistory history(configuration);
    ConfigRecord edited = configuration.record();
    edited.muteMask = 0x03;
    configuration.editRecord(edited);
    QCOMPARE(int(configuration.record().switchMask), 0);

    history.undo();
    QCOMPARE(int(configuration.record().muteMask), 0x01);
    QCOMPARE(int(configuration.record().switchMask), 0x01);
  }

  void wholeTableActionsAndOpenStepsAreOneStepEach() {
    Configuration configuration;
    configuration.applyPresets(filled(0x11));
    EditHistory history(configuration);
    const EditHistory::Snapshot start = snapshot(configuration);

    // Presets and CC map change together.
    configuration.deselectAll();
    QCOMPARE(history.stack().count(), 1);
    const EditHistory::Snapshot cleared = snapshot(configuration);

    // Four replies, one step; undo is held back while it is open.
    history.beginStep(QStringLiteral("read configuration from Tarvik"));
    configuration.applyPresets(filled(0x42));
    configuration.applyCcMap(filled(4));
    history.undo();
    configuration.applyPcRemap(filled(9));
    ConfigRecord received;
    received.debounceTime = 90;
    configuration.applyRecord(received.toBytes());
    history.endStep();
    QCOMPARE(history.stack().count(), 2);
    QCOMPARE(history.stack().undoText(), QStringLiteral("read configuration from Tarvik"));

    history.undo();
    QVERIFY(snapshot(configuration) == cleared);
    history.undo();
    QVERIFY(snapshot(configuration) == start);

    // Changes that change nothing leave no step; a new edit drops what could be redone.
    configuration.setTables(configuration.tables());
    configuration.chooseCc(0, configuration.tables().cc(0));
    QCOMPARE(history.stack().index(), 0);
    configuration.chooseCc(0, 1);
    QCOMPARE(history.stack().count(), 1);
    QVERIFY(!history.stack().canRedo());
  }

  // A name is one step of its own, trimmed as a backup file would trim it; a name no file could
  // hold back is refused without a step, and a step that opens a setup takes its names along.
  void presetNamesAreEditedTrimmedAndUndoneLikeValues() {
    Configuration configuration;
    EditHistory history(configuration);
    QSignalSpy renamed(&configuration, &Configuration::namesChanged);

    QVERIFY(configuration.renamePreset(4, QStringLiteral("  Crunch ")).isEmpty());
    QCOMPARE(configuration.names().name(4), QStringLiteral("Crunch"));
    QCOMPARE(renamed.count(), 1);
    QCOMPARE(history.stack().undoText(), QStringLiteral("edit preset names"));
    QVERIFY(!configuration.renamePreset(4, QString(41, QLatin1Char('x'))).isEmpty());
    QVERIFY(!configuration.renamePreset(4, QStringLiteral("a\tb")).isEmpty());
    QCOMPARE(configuration.names().name(4), QStringLiteral("Crunch"));
    QCOMPARE(history.stack().count(), 1);

    const int ccBefore = configuration.tables().cc(0);
    PresetNames opened;
    opened.setName(0, QStringLiteral("Clean"));
    history.beginStep(QStringLiteral("open setup"));
    configuration.applyCcMap(filled(3));
    configuration.setNames(opened);
    history.endStep();
    history.undo();
    QCOMPARE(configuration.names().name(4), QStringLiteral("Crunch"));
    QVERIFY(configuration.names().name(0).isEmpty());
    QCOMPARE(int(configuration.tables().cc(0)), ccBefore);
    history.undo();
    QVERIFY(configuration.names().isEmpty());
    history.redo();
    history.redo();
    QCOMPARE(configuration.names(), opened);
    QCOMPARE(int(configuration.tables().cc(0)), 3);
  }

  // The oldest steps go once the history is full; the newest ones still undo exactly.
  void theHistoryKeepsTheNewestStepsOnly() {
    const int edits = EditHistory::kUndoSteps + 30;
    auto edit = [](Configuration& configuration, int i) {
      const int row = i % 100;
      configuration.chooseCc(row, (configuration.tables().cc(row) + 1) % PresetTables::kCcItems);
    };
    Configuration configuration;
    EditHistory history(configuration);
    for (int i = 1; i <= edits; ++i) edit(configuration, i);
    QCOMPARE(history.stack().count(), EditHistory::kUndoSteps);
    Configuration oldest;
    for (int i = 1; i <= edits - EditHistory::kUndoSteps; ++i) edit(oldest, i);
    while (history.stack().canUndo()) history.undo();
    QVERIFY(configuration.tables() == oldest.tables());
  }
};

QTEST_MAIN(EditHistoryTest)
#include "test_edit_history.moc"
