// SPDX-License-Identifier: MIT
// Comparing two configurations byte by byte: one line per byte that differs, in block order,
// the settings only when both sides hold them, and the same differences in structured form.
#include <QTest>

#include "config/ConfigDiff.h"

using namespace tarvik;

namespace {

DiffSide side(bool withSettings = true) {
  DiffSide side;
  for (int row = 0; row < kTableSize; ++row) {
    side.bytes.presets[row] = static_cast<std::uint8_t>(row);
    side.bytes.ccMap[row] = 8;
    side.bytes.pcRemap[row] = static_cast<std::uint8_t>(row);
  }
  if (withSettings) side.bytes.settings = ConfigBytes::Settings{};
  return side;
}

}  // namespace

class ConfigDiffTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void linesPerDifference_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("equal sides") << "" << QStringList{};
    QTest::newRow("a preset, row numbers from 1")
        << "presets 4 7" << QStringList{"presets 5: 0x04 -> 0x07"};
    QTest::newRow("the last CC map row, upper-case hex")
        << "ccmap 127 255" << QStringList{"ccmap 128: 0x08 -> 0xFF"};
    QTest::newRow("the first PC remap row")
        << "pcremap 0 171" << QStringList{"pcremap 1: 0x00 -> 0xAB"};
    QTest::newRow("a setting by its backup key")
        << "settings 0 90" << QStringList{"settings debounceTime: 0x00 -> 0x5A"};
    QTest::newRow("the last setting")
        << "settings 19 3" << QStringList{"settings lockMask: 0x00 -> 0x03"};
    QTest::newRow("blocks in order, rows in order")
        << "settings 7 1,pcremap 2 9,presets 100 0,presets 1 0,ccmap 50 0"
        << QStringList{"presets 2: 0x01 -> 0x00", "presets 101: 0x64 -> 0x00",
                       "ccmap 51: 0x08 -> 0x00", "pcremap 3: 0x02 -> 0x09",
                       "settings switchOnTime: 0x00 -> 0x01"};
    QTest::newRow("a loop named, quoted, after the settings")
        << "loops 2 Big_Muff,settings 0 1"
        << QStringList{"settings debounceTime: 0x00 -> 0x01", "loops 3: \"\" -> \"Big Muff\""};
    QTest::newRow("a label taken away") << "loops 7 -" << QStringList{"loops 8: \"Echo\" -> \"\""};
  }
  void linesPerDifference() {
    QFETCH(QString, change);
    QFETCH(QStringList, lines);
    DiffSide before = side();
    before.labels = LoopLabels();
    before.labels->setLabel(7, QStringLiteral("Echo"));
    DiffSide after = before;
    for (const QString& one : change.split(u',', Qt::SkipEmptyParts)) {
      const QStringList words = one.split(u' ');
      const int row = words[1].toInt();
      const auto value = static_cast<std::uint8_t>(words.value(2).toInt());
      if (words[0] == "presets") after.bytes.presets[row] = value;
      if (words[0] == "ccmap") after.bytes.ccMap[row] = value;
      if (words[0] == "pcremap") after.bytes.pcRemap[row] = value;
      if (words[0] == "settings") (*after.bytes.settings)[row] = value;
      if (words[0] == "loops") {
        after.labels->setLabel(row,
                               words[2] == "-" ? QString() : QString(words[2]).replace(u'_', u' '));
      }
    }
    QCOMPARE(ConfigDiff::lines(before, after), lines);
  }

  void settingsOnOneSideOnlyHideTheirDifferences() {
    DiffSide before = side(false);
    DiffSide after = side(true);
    (*after.bytes.settings)[0] = 200;
    QVERIFY(ConfigDiff::compare(before, after).isEmpty());
    QVERIFY(ConfigDiff::compare(after, before).isEmpty());
  }

  // The device holds no labels: against it, the editors' labels are no difference.
  void labelsOnOneSideOnlyHideTheirDifferences() {
    const DiffSide device = side();
    DiffSide editors = side();
    editors.labels = LoopLabels();
    editors.labels->setLabel(0, QStringLiteral("Fuzz"));
    QVERIFY(ConfigDiff::compare(device, editors).isEmpty());
    QVERIFY(ConfigDiff::compare(editors, device).isEmpty());
  }

  // The compare view's form: block, row index, both bytes, and the preset names beside them.
  void structuredDifferencesCarryTheNames() {
    DiffSide before = side();
    DiffSide after = side(false);
    before.names = PresetNames();
    before.names->setName(9, QStringLiteral("Crunch"));
    after.bytes.presets[9] = 0xF0;
    after.bytes.ccMap[3] = 0;
    const QList<Difference> differences = ConfigDiff::compare(before, after);
    QCOMPARE(differences.size(), 2);
    QCOMPARE(differences[0], (Difference{Block::Presets, 9, 9, 0xF0, "Crunch", {}}));
    QCOMPARE(differences[1], (Difference{Block::CcMap, 3, 8, 0, {}, {}}));
    QCOMPARE(differences[0].line(), QStringLiteral("presets 10: 0x09 -> 0xF0"));
  }
};

QTEST_GUILESS_MAIN(ConfigDiffTest)
#include "test_config_diff.moc"
