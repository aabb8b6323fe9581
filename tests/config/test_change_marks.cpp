// SPDX-License-Identifier: MIT
// What differs from the device and what would be lost: marks against the device's last known
// contents, counts per block, and unsaved work against both the device and the last file.
#include <QSignalSpy>
#include <QTest>

#include "config/ChangeMarks.h"

using namespace tarvik;

namespace {

PresetTables::Payload filled(std::uint8_t value) {
  PresetTables::Payload payload{};
  payload.fill(value);
  return payload;
}

// A configuration whose four blocks came from the device.
struct Downloaded {
  Downloaded() {
    configuration.applyPresets(filled(0x03));
    configuration.applyCcMap(filled(2));
    configuration.applyPcRemap(filled(7));
    for (Block block : {Block::Presets, Block::CcMap, Block::PcRemap, Block::Record}) {
      marks.deviceReceived(block);
    }
  }
  Configuration configuration;
  ChangeMarks marks{configuration};
};

}  // namespace

class ChangeMarksTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void nothingIsMarkedBeforeTheDeviceIsKnownButEditsAreUnsaved() {
    Configuration configuration;
    ChangeMarks marks(configuration);
    QSignalSpy unsaved(&marks, &ChangeMarks::unsavedChanged);
    QVERIFY(!marks.unsaved());

    configuration.clickLoop(4, 1);
    configuration.chooseCc(9, 3);
    QCOMPARE(int(marks.difference(Block::Presets, 4)), 0);
    QCOMPARE(marks.changeCount(Block::Presets), 0);
    QCOMPARE(marks.changeCount(Block::CcMap), 0);
    // Nothing known holds these edits: neither a device nor a file.
    QVERIFY(marks.unsaved());

    configuration.clickLoop(4, 1);
    configuration.chooseCc(9, PresetTables::kCcStart);
    QVERIFY(!marks.unsaved());
    QCOMPARE(unsaved.size(), 2);
  }

  // Before a file was saved or loaded there is no file to compare with: an edit that brings a
  // block back to the start state still differs from the device and is unsaved.
  void anEditBackToTheStartStateIsUnsavedAfterADownload() {
    Downloaded d;
    QSignalSpy unsaved(&d.marks, &ChangeMarks::unsavedChanged);
    d.configuration.setTables(PresetTables());
    QVERIFY(d.configuration.tables() == PresetTables());
    QVERIFY(d.marks.changeCount(Block::Presets) > 0);
    QVERIFY(d.marks.unsaved(Block::Presets));
    QVERIFY(d.marks.unsaved());
    QCOMPARE(unsaved.size(), 1);

    // Once a file holds it, it is saved.
    d.marks.fileHolds(ConfigBytes::fromTables(d.configuration.tables()));
    QVERIFY(!d.marks.unsaved());
  }

  void marksAppearAndVanishWithTheEdits() {
    Downloaded d;
    QVERIFY(!d.marks.unsaved());
    QSignalSpy marked(&d.marks, &ChangeMarks::marksChanged);

    d.configuration.clickLoop(10, 5);
    QCOMPARE(int(d.marks.difference(Block::Presets, 10)), 0x20);
    QCOMPARE(int(d.marks.difference(Block::Presets, 11)), 0);
    QCOMPARE(marked.size(), 1);
    QCOMPARE(marked[0][1].toInt(), 10);
    QCOMPARE(marked[0][2].toInt(), 10);
    d.configuration.chooseCc(3, 0);
    d.configuration.choosePcRemap(3, 8);
    QCOMPARE(d.marks.changeCount(Block::Presets), 1);
    QCOMPARE(d.marks.changeCount(Block::CcMap), 1);
    QCOMPARE(d.marks.changeCount(Block::PcRemap), 1);
    QVERIFY(d.marks.unsaved());

    d.configuration.clickLoop(10, 5);
    d.configuration.chooseCc(3, 2);
    d.configuration.choosePcRemap(3, 7);
    for (Block block : {Block::Presets, Block::CcMap, Block::PcRemap}) {
      QCOMPARE(d.marks.changeCount(block), 0);
    }
    QCOMPARE(int(d.marks.difference(Block::Presets, 10)), 0);
    QVERIFY(!d.marks.unsaved());
  }

  // "Deselect all" clears every mask: each box that was on counts once, and the marks report
  // the rows they span.
  void everyLoopBoxCountsOnceAndRowRangesAreExact() {
    Downloaded d;
    QSignalSpy marked(&d.marks, &ChangeMarks::marksChanged);
    d.configuration.deselectAll();
    QCOMPARE(d.marks.changeCount(Block::Presets), 2 * PresetTables::kRows);
    QCOMPARE(d.marks.changeCount(Block::CcMap), PresetTables::kRows);
    QCOMPARE(d.marks.changeCount(Block::PcRemap), 0);
    QCOMPARE(marked.size(), 2);
    QCOMPARE(marked[0][1].toInt(), 0);
    QCOMPARE(marked[0][2].toInt(), PresetTables::kRows - 1);
  }

  // Settings count per control: a mask per box, hidden CC-message values not at all, since the
  // device is sent zeros for them unless the function is "CC Message".
  void settingsCountPerControlAsTheyGoOut() {
    Downloaded d;
    ConfigRecord edited = d.configuration.record();
    edited.muteMask = 0x81;
    edited.debounceTime = 90;
    edited.magicChannel = 5;
    d.configuration.editRecord(edited);
    QCOMPARE(d.marks.changeCount(Block::Record), 3);
    QCOMPARE(int(d.marks.difference(Block::Record, 3)), 0x81);
    QVERIFY(d.marks.difference(Block::Record, 0) != 0);
    QCOMPARE(int(d.marks.difference(Block::Record, 9)), 0);
  }

  // A confirmation names what went out: an edit made while the submit travelled stays marked.
  void aConfirmedSubmitClearsWhatWasSentOnly() {
    Downloaded d;
    d.configuration.clickLoop(0, 7);
    d.configuration.clickLoop(1, 7);
    const QByteArray sent = ChangeMarks::wireBytes(d.configuration, Block::Presets);
    d.configuration.clickLoop(2, 7);
    d.marks.deviceStored(Block::Presets, sent);
    QCOMPARE(d.marks.changeCount(Block::Presets), 1);
    QCOMPARE(int(d.marks.difference(Block::Presets, 2)), 0x80);
    QCOMPARE(int(d.marks.difference(Block::Presets, 0)), 0);
  }

  void workInAFileIsNotUnsaved() {
    Downloaded d;
    d.configuration.chooseCc(0, 5);
    QVERIFY(d.marks.unsaved());
    d.marks.fileHolds(ConfigBytes::fromTables(d.configuration.tables()));
    QVERIFY(!d.marks.unsaved());
    // Still marked: the device lacks it.
    QCOMPARE(d.marks.changeCount(Block::CcMap), 1);

    // The settings are not in a .tvk file; a file holding other bytes does not cover an edit.
    ConfigRecord edited = d.configuration.record();
    edited.omniMode = true;
    d.configuration.editRecord(edited);
    QVERIFY(d.marks.unsaved());
    ConfigBytes other = ConfigBytes::sent(d.configuration);
    other.settings->fill(0);
    d.marks.fileHolds(other);
    QVERIFY(d.marks.unsaved());
    d.marks.fileHolds(ConfigBytes::sent(d.configuration));
    QVERIFY(!d.marks.unsaved());
  }

  // The device keeps no names: they are measured against the names last saved or loaded only,
  // and apart from the blocks, which keep their own measure.
  void namesAreUnsavedUntilAFileHoldsThem() {
    Downloaded d;
    QSignalSpy unsaved(&d.marks, &ChangeMarks::unsavedChanged);
    QVERIFY(d.configuration.renamePreset(4, QStringLiteral("Crunch")).isEmpty());
    QVERIFY(d.marks.namesUnsaved() && d.marks.unsaved());
    QCOMPARE(d.marks.changeCount(Block::Presets), 0);
    const PresetNames crunch = d.configuration.names();
    const ConfigBytes device = ConfigBytes::sent(d.configuration);
    d.marks.fileHolds(device, crunch);
    QVERIFY(!d.marks.unsaved());
    // A load without names clears them, and says that no names are what the file holds.
    d.configuration.setNames(PresetNames());
    QVERIFY(d.marks.unsaved());
    d.marks.fileHolds(device, PresetNames());
    QVERIFY(!d.marks.unsaved());
    QCOMPARE(unsaved.size(), 4);

    // Saved names do not cover an unsaved block, nor the other way round.
    d.configuration.chooseCc(0, 5);
    d.configuration.setNames(crunch);
    d.marks.fileHolds(device, crunch);
    QVERIFY(d.marks.unsaved());
    d.marks.fileHolds(ConfigBytes::sent(d.configuration));
    d.configuration.setNames(PresetNames());
    QVERIFY(d.marks.unsaved() && !d.marks.unsaved(Block::CcMap));
  }
};

QTEST_GUILESS_MAIN(ChangeMarksTest)
#include "test_change_marks.moc"
