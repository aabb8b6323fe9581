// SPDX-License-Identifier: MIT
// A set arranged into the editors through the core: what it would overwrite, what moves and what
// stays, and one undo step that takes it all back.
#include <QTest>

#include "config/ui/EditHistory.h"
#include "core/ConfiguratorCore.h"
#include "library/SetList.h"
#include "sim/InProcessTarvik.h"

using namespace tarvik;

Q_DECLARE_METATYPE(tarvik::SetList)
Q_DECLARE_METATYPE(tarvik::PresetRows::Rows)

namespace {

// A song named `title` whose preset was named `name` where it came from.
SetSong song(std::uint8_t mask, int pcRemap, const QString& title, const QString& name = {}) {
  return {title, {}, {mask, pcRemap, name}, QStringLiteral("Rig"), 1, {}};
}

// Editors whose rows all differ: preset n has loops n, sends program n and is named "n" from
// preset 3 on; presets 1 and 2 are empty.
PresetTables editorTables() {
  PresetTables tables;
  for (int row = 2; row < kTableSize; ++row) {
    tables.setMask(row, static_cast<std::uint8_t>(row));
    tables.setPcRemap(row, row);
    tables.setCc(row, row % PresetTables::kCcItems);
  }
  return tables;
}

}  // namespace

class SetArrangementTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void arrangesAsOneUndoStep_data() {
    QTest::addColumn<SetList>("set");
    QTest::addColumn<PresetRows::Rows>("overwritten");
    // The arranged presets' names: the songs', shortened to what a preset name holds.
    QTest::addColumn<QStringList>("names");
    QTest::newRow("a preset already in place is no overwrite")
        << SetList{QStringLiteral("s"),
                   {song(0x11, 5, QStringLiteral("Lead"), QStringLiteral("Chorus crunch")),
                    song(0, -1, QStringLiteral("Pride and Joy")), song(2, 2, QStringLiteral("3"))}}
        << PresetRows::Rows{0, 1} << QStringList{"Lead", "Pride and Joy", "3"};
    QTest::newRow("a set past the empty presets")
        << SetList{QStringLiteral("s"),
                   {song(1, 1, QStringLiteral("a")), song(1, 1, QStringLiteral("a")),
                    song(1, 1, QStringLiteral("a")), song(0xF0, PresetTables::kPcRemapNone, "b")}}
        << PresetRows::Rows{0, 1, 2, 3} << QStringList{"a", "a", "a", "b"};
    QTest::newRow("a song name longer than a preset name")
        << SetList{QStringLiteral("s"),
                   {song(1, 1,
                         QStringLiteral("Mary Had a Little Lamb (slow blues, in E, capo 2)"))}}
        << PresetRows::Rows{0}
        << QStringList{QStringLiteral("Mary Had a Little Lamb (slow blues, in\u2026")};
    QTest::newRow("an empty set") << SetList{QStringLiteral("s"), {}} << PresetRows::Rows{}
                                  << QStringList{};
  }
  void arrangesAsOneUndoStep() {
    QFETCH(SetList, set);
    QFETCH(PresetRows::Rows, overwritten);
    QFETCH(QStringList, names);
    SimulatedMidi device;
    ConfiguratorCore core(device.ports());
    Configuration& editors = core.configuration();
    PresetNames before;
    for (int row = 2; row < kTableSize; ++row) before.setName(row, QString::number(row + 1));
    editors.setTables(editorTables());
    editors.setNames(before);
    EditHistory history(editors);
    const int steps = history.stack().count();

    QCOMPARE(core.setArrangementOverwrites(set), overwritten);
    QVERIFY(core.arrangeSet(set));
    for (int row = 0; row < kTableSize; ++row) {
      const bool inSet = row < set.songs.size();
      QCOMPARE(editors.tables().mask(row),
               inSet ? set.songs[row].preset.mask : editorTables().mask(row));
      QCOMPARE(editors.tables().pcRemap(row),
               inSet ? set.songs[row].preset.pcRemap : editorTables().pcRemap(row));
      QCOMPARE(editors.names().name(row), inSet ? names[row] : before.name(row));
      // The CC map belongs to controller numbers, not to presets.
      QCOMPARE(editors.tables().cc(row), editorTables().cc(row));
    }
    const bool changed = !overwritten.empty();
    QCOMPARE(history.stack().count(), steps + (changed ? 1 : 0));
    history.undo();
    QCOMPARE(editors.tables(), editorTables());
    QCOMPARE(editors.names(), before);
  }
};

QTEST_MAIN(SetArrangementTest)
#include "test_set_arrangement.moc"
