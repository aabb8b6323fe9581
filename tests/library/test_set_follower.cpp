// SPDX-License-Identifier: MIT
// Where a set stands on stage: the song a program change selects, what the view says of it, the
// steps to the next and previous song, and whether the device holds the set where it is played.
#include <QTest>

#include "config/ConfigRecord.h"
#include "library/SetFollower.h"

using namespace tarvik;

namespace {

SetSong song(const QString& name, std::uint8_t mask, int pcRemap, const QString& labels = {},
             const QString& note = {}) {
  return SetSong{name, note, {mask, pcRemap, name}, QStringLiteral("Live"), 1, labels};
}

// Fuzz on loop 2 and Delay on loop 5, as the song's source named them.
const QString kLabels = QStringLiteral("\nFuzz\n\n\nDelay\n\n\n");

SetList threeSongs() {
  return {QStringLiteral("Friday"),
          {song(QStringLiteral("Song A"), 0x01, 0),
           song(QStringLiteral("Song B"), 0x12, 4, kLabels, QStringLiteral("capo 2")),
           song(QStringLiteral("Song C"), 0x00, PresetTables::kPcRemapNone)}};
}

DeviceBlocks holding(const SetList& setList, int differentRow) {
  PresetTables tables;
  for (int row = 0; row < setList.songs.size(); ++row) {
    tables.setMask(row, setList.songs.at(row).preset.mask);
    tables.setPcRemap(row, setList.songs.at(row).preset.pcRemap);
  }
  if (differentRow >= 0) tables.setMask(differentRow, tables.mask(differentRow) ^ 0x80);
  DeviceBlocks device;
  device.set(Block::Presets, bytesOf(tables.presetPayload()));
  device.set(Block::CcMap, bytesOf(tables.ccMapPayload()));
  device.set(Block::PcRemap, bytesOf(tables.pcRemapPayload()));
  device.set(Block::Record, QByteArray(kConfigRecordSize, '\0'));
  return device;
}

}  // namespace

class SetFollowerTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void whatTheViewSays_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("texts");  // song, place, preset, loops, pc, note, next
    QTest::addColumn<int>("next");
    QTest::addColumn<int>("previous");
    QTest::newRow("the set starts at its first song") << -1 << QStringList{"Song A",
                                                                           "1 / 3",
                                                                           "Preset 1",
                                                                           "1 Bass boost",
                                                                           "Sends program change 1",
                                                                           "",
                                                                           "Next: Song B"}
                                                      << 1 << -1;
    QTest::newRow("song 2 by its own labels, with its note")
        << 1 << QStringList{"Song B",
                            "2 / 3",
                            "Preset 2",
                            "2 Fuzz, 5 Delay",
                            "Sends program change 5",
                            "capo 2",
                            "Next: Song C"}
        << 2 << 0;
    QTest::newRow("the last song, no loop and no program change")
        << 2 << QStringList{"Song C",
                            "3 / 3",
                            "Preset 3",
                            "No loop on",
                            "Sends no program change",
                            "",
                            "Last song of the set"}
        << -1 << 1;
    QTest::newRow("a preset beyond the set: the set starts again from there")
        << 127 << QStringList{"Preset 128 is not in this set",
                              "- / 3",
                              "Preset 128",
                              "",
                              "",
                              "",
                              "Next: Song A"}
        << 0 << 0;
  }
  void whatTheViewSays() {
    QFETCH(int, row);
    QFETCH(QStringList, texts);
    QFETCH(int, next);
    QFETCH(int, previous);
    LoopLabels editors;
    editors.setLabel(0, QStringLiteral("Bass boost"));
    SetFollower follower(threeSongs(), editors);
    follower.select(row);  // -1 selects nothing: the start
    const SetFollower::Texts shown = follower.texts();
    QCOMPARE((QStringList{shown.song, shown.place, shown.preset, shown.loops, shown.programChange,
                          shown.note, shown.next}),
             texts);
    QCOMPARE(follower.nextRow(), next);
    QCOMPARE(follower.previousRow(), previous);
    QCOMPARE(follower.firstRow(), 0);
  }

  void aLoopWithoutAnyLabelIsNamedByItsNumber() {
    SetFollower follower({QStringLiteral("Short"), {song(QStringLiteral("Solo"), 0x05, 1)}});
    QCOMPARE(follower.texts().loops, QStringLiteral("LOOP 1, LOOP 3"));
    QCOMPARE(follower.nextRow(), -1);
  }

  void whetherTheDeviceHoldsTheSet_data() {
    QTest::addColumn<int>("differentRow");  // -1: the device holds the set
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("warning");
    QTest::newRow("held at 1, 2, 3") << -1 << true << QString();
    QTest::newRow("preset 3 differs")
        << 2 << true
        << QStringLiteral("Preset 3 on the Tarvik is not \"Song C\": arrange the set and send it");
    QTest::newRow("the first that differs is named")
        << 0 << true
        << QStringLiteral("Preset 1 on the Tarvik is not \"Song A\": arrange the set and send it");
    QTest::newRow("a preset after the set does not count") << 3 << true << QString();
    QTest::newRow("a device not read says nothing") << 2 << false << QString();
  }
  void whetherTheDeviceHoldsTheSet() {
    QFETCH(int, differentRow);
    QFETCH(bool, read);
    QFETCH(QString, warning);
    const SetList set = threeSongs();
    const DeviceBlocks device = read ? holding(set, differentRow) : DeviceBlocks{};
    QCOMPARE(SetFollower::deviceWarning(set, device), warning);
  }
};

QTEST_GUILESS_MAIN(SetFollowerTest)
#include "test_set_follower.moc"
