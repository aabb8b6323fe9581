// SPDX-License-Identifier: MIT
// The presets tab's "Take from...": the parts of a file, a setup or a CSV over what the editors
// hold after a download, as one undo step, nothing sent, and the change marks on exactly the
// rows that came out different.
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QUndoStack>

#include "WindowRig.h"
#include "app/CompareSidePicker.h"
#include "app/EditTracking.h"
#include "app/TakeFromDialog.h"
#include "config/FullBackup.h"
#include "config/PresetCsv.h"
#include "library/LibraryRig.h"
#include "tests/cli/CommandRig.h"

using namespace tarvik;
using tarvik::test::FreshLibrary;
using tarvik::testing::tablesOf;
using tarvik::testing::WindowRig;
using Kind = RestoreParts::Kind;

namespace {

struct EditorsState {
  PresetTables tables;
  ConfigBytes::Settings record;
  PresetNames names;
  LoopLabels labels;
  bool operator==(const EditorsState&) const = default;
};

EditorsState editors(const WindowRig& rig) {
  const Configuration& c = rig.core->configuration();
  return {c.tables(), c.recordBytes(), c.names(), c.labels()};
}

bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Rows first..last (from 1) of each pair.
bool inRanges(const QList<int>& ranges, int row) {
  for (qsizetype i = 0; i + 1 < ranges.size(); i += 2)
    if (row >= ranges[i] - 1 && row < ranges[i + 1]) return true;
  return false;
}

}  // namespace

class WindowTakeFromTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void takesOnlyThePartsAsOneStep_data() {
    QTest::addColumn<QString>("source");  // file, csv, setup
    QTest::addColumn<QList<int>>("presets");
    QTest::addColumn<QList<int>>("ccMap");
    QTest::addColumn<bool>("settings");
    QTest::addColumn<bool>("labels");
    QTest::addColumn<QString>("refusal");  // part of the error box; empty: taken
    const QList<int> none;
    QTest::newRow("presets of a backup with their names and the labels")
        << "file" << QList<int>{3, 6} << none << false << true << "";
    QTest::newRow("CC map rows and settings of a backup, the labels left")
        << "file" << none << QList<int>{1, 10} << true << false << "";
    QTest::newRow("presets and CC rows of a setup")
        << "setup" << QList<int>{120, 128} << QList<int>{64, 64} << false << true << "";
    QTest::newRow("presets of a CSV") << "csv" << QList<int>{1, 2} << none << false << false << "";
    QTest::newRow("no CC map from a CSV") << "csv" << QList<int>{1, 2} << QList<int>{1, 2} << false
                                          << false << "only presets can be taken from a CSV file";
    QTest::newRow("no settings from a setup of the tables")
        << "tables" << none << none << true << false << "there are no settings to take";
  }
  void takesOnlyThePartsAsOneStep() {
    QFETCH(QString, source);
    QFETCH(QList<int>, presets);
    QFETCH(QList<int>, ccMap);
    QFETCH(bool, settings);
    QFETCH(bool, labels);
    QFETCH(QString, refusal);

    // What is taken from: seed 2's contents, names on presets 4 and 100, two labels.
    const TarvikContents given = TarvikContents::fromSeed(2);
    PresetNames names;
    names.setName(3, QStringLiteral("Crunch"));
    names.setName(99, QStringLiteral("Solo"));
    LoopLabels givenLabels;
    givenLabels.setLabel(0, QStringLiteral("Fuzz"));
    givenLabels.setLabel(6, QStringLiteral("Delay"));
    // A backup holds the settings as the program sends them.
    const ConfigBytes::Settings keptRecord = ConfigBytes::keptSettings(given.configRecord);
    FreshLibrary library;
    QCOMPARE(library.open(), QString());
    TakeFromChoice choice;
    if (source == u"setup" || source == u"tables") {
      Setup setup;
      setup.name = QStringLiteral("live");
      setup.bytes = ConfigBytes::fromTables(
          tablesOf(given), source == u"setup" ? std::optional(keptRecord) : std::nullopt);
      setup.names = names;
      setup.labels = givenLabels;
      QVERIFY(library.library->setups().store(setup).ok());
      choice.source = CompareSource::setup(setup.name);
    } else {
      const QString path = library.dir.filePath(source == u"csv" ? "rig.csv" : "rig.tvk");
      QVERIFY(writeFile(path, source == u"csv" ? PresetCsv::write(tablesOf(given), names)
                                               : FullBackup::serialize(tablesOf(given), keptRecord,
                                                                       names, givenLabels)));
      choice.source = CompareSource::file(path);
    }
    choice.title = QStringLiteral("the source");
    for (qsizetype i = 0; i + 1 < presets.size(); i += 2)
      choice.parts.add({Kind::Presets, presets[i] - 1, presets[i + 1] - 1});
    for (qsizetype i = 0; i + 1 < ccMap.size(); i += 2)
      choice.parts.add({Kind::CcMap, ccMap[i] - 1, ccMap[i + 1] - 1});
    if (settings) choice.parts.add({Kind::Settings, 0, kTableSize - 1});
    choice.labels = labels;

    WindowRig rig;
    rig.core->setLibrary(library.library.get());
    QVERIFY(rig.connectAndDownload());
    const EditorsState before = editors(rig);
    const QUndoStack& stack = rig.form->edits().history().stack();
    const int steps = stack.count();
    const std::size_t commands = rig.device().log().size();

    rig.dialogs.takeFromAnswers.push_back(choice);
    QTest::mouseClick(rig.button("takeFromButton"), Qt::LeftButton);
    QCOMPARE(rig.dialogs.takeFromQuestions, 1);
    // Nothing goes to the device, whatever was taken.
    QCOMPARE(rig.device().log().size(), commands);

    if (!refusal.isEmpty()) {
      QCOMPARE(rig.dialogs.errors.size(), std::size_t{1});
      QVERIFY2(rig.dialogs.errors[0].text.contains(refusal),
               qPrintable(rig.dialogs.errors[0].text));
      QVERIFY(editors(rig) == before);
      QCOMPARE(stack.count(), steps);
      return;
    }
    QVERIFY(rig.dialogs.errors.empty());

    EditorsState expected = before;
    const PresetTables from = tablesOf(given);
    for (int row = 0; row < kTableSize; ++row) {
      if (inRanges(presets, row)) {
        expected.tables.setMask(row, from.mask(row));
        expected.tables.setPcRemap(row, from.pcRemap(row));
        expected.names.setName(row, names.name(row));
      }
      if (inRanges(ccMap, row)) expected.tables.setCc(row, from.cc(row));
    }
    if (settings) expected.record = keptRecord;
    if (labels) expected.labels = givenLabels;
    const EditorsState now = editors(rig);
    QCOMPARE(now.tables, expected.tables);
    QVERIFY(now.record == expected.record);
    QCOMPARE(now.names, expected.names);
    QCOMPARE(now.labels, expected.labels);

    // Marked exactly where a taken row differs from what the device holds.
    const ChangeMarks& marks = rig.core->marks();
    for (int row = 0; row < kTableSize; ++row) {
      QCOMPARE(marks.difference(Block::Presets, row) != 0,
               before.tables.mask(row) != expected.tables.mask(row));
      QCOMPARE(marks.difference(Block::PcRemap, row) != 0,
               before.tables.pcRemap(row) != expected.tables.pcRemap(row));
      QCOMPARE(marks.difference(Block::CcMap, row) != 0,
               before.tables.cc(row) != expected.tables.cc(row));
    }
    QCOMPARE(marks.changeCount(Block::Record) != 0, settings && expected.record != before.record);
    QVERIFY(marks.unsaved());

    QCOMPARE(stack.count(), steps + 1);
    QCOMPARE(stack.undoText(), QStringLiteral("take from the source"));
    rig.form->findChild<QAction*>(QStringLiteral("undoAction"))->trigger();
    QVERIFY(editors(rig) == before);
  }

  // The question's own answer: the ticks and ranges as the parts, off until there is a source
  // and something to take.
  void theDialogAnswersWithItsTicks() {
    WindowRig rig;
    TakeFromDialog dialog(rig.dialogs, *rig.core);
    QVERIFY(!dialog.choice());  // no file yet
    const QString path = QStringLiteral("/nowhere/rig.tvk");
    dialog.picker()->choose(CompareSource::file(path));
    dialog.presetsFrom()->setValue(10);
    dialog.presetsTo()->setValue(5);  // a range cannot run backwards: it stops at the first row
    dialog.ccMapBox()->setChecked(true);
    dialog.ccMapFrom()->setValue(7);
    dialog.ccMapTo()->setValue(9);
    dialog.settingsBox()->setChecked(true);
    dialog.labelsBox()->setChecked(true);
    const std::optional<TakeFromChoice> choice = dialog.choice();
    QVERIFY(choice);
    QCOMPARE(choice->source, CompareSource::file(path));
    QCOMPARE(choice->parts.parts(),
             (std::vector<RestoreParts::Part>{
                 {Kind::Presets, 9, 9}, {Kind::CcMap, 6, 8}, {Kind::Settings, 0, 127}}));
    QVERIFY(choice->labels);

    for (QCheckBox* box : {dialog.presetsBox(), dialog.ccMapBox(), dialog.settingsBox()})
      box->setChecked(false);
    QVERIFY(dialog.choice() && dialog.choice()->parts.isEmpty());  // the labels alone
    dialog.labelsBox()->setChecked(false);
    QVERIFY(!dialog.choice());
  }
};

QTEST_MAIN(WindowTakeFromTest)
#include "test_window_take_from.moc"
