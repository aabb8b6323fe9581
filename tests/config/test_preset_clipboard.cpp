// SPDX-License-Identifier: MIT
// Presets on the clipboard: from one window's matrix to another's with their names, readable
// as text, and a text that holds no presets refused with its reason.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTableView>
#include <QTest>

#include "config/TvkFile.h"
#include "config/ui/EditHistory.h"
#include "config/ui/PresetMatrixTab.h"
#include "config/ui/PresetRowActions.h"

using namespace tarvik;

namespace {

void select(PresetMatrixTab& tab, QList<int> rows) {
  QItemSelectionModel* selection = tab.view()->selectionModel();
  selection->clear();
  for (int row : rows) {
    selection->select(tab.model().index(row, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
}

void trigger(PresetMatrixTab& tab, const char* action) {
  tab.rowActions().action(QString::fromLatin1(action))->trigger();
}

// A target whose CC map and rows differ from anything pasted.
void fillTarget(Configuration& configuration) {
  PresetTables tables;
  for (int row = 0; row < kTableSize; ++row) {
    tables.setMask(row, 0xF0);
    tables.setCc(row, 3);
    tables.setPcRemap(row, 7);
  }
  configuration.setTables(tables);
}

}  // namespace

class PresetClipboardTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void presetsGoFromOneWindowToAnother() {
    Configuration source;
    PresetTables tables;
    tables.setMask(2, 0x81);
    tables.setPcRemap(2, 40);
    tables.setMask(3, 0x02);
    tables.setPcRemap(3, PresetTables::kPcRemapNone);
    source.setTables(tables);
    source.renamePreset(2, QStringLiteral("Clean; bright"));
    Configuration target;
    fillTarget(target);
    const PresetTables targetBefore = target.tables();
    EditHistory history(target);
    PresetMatrixTab from(source);
    PresetMatrixTab to(target);

    select(from, {2, 3});
    trigger(from, "copyRowsAction");
    const QString text = QApplication::clipboard()->text();
    QCOMPARE(text, QStringLiteral("[2]\r\npc=129\r\npcremap=40\r\n[3]\r\npc=2\r\npcremap=128\r\n"
                                  "[names]\r\n3=Clean; bright\r\n"));
    select(to, {10});
    trigger(to, "pasteRowsAction");

    for (int row = 0; row < kTableSize; ++row) {
      const int from = row == 10 || row == 11 ? row - 8 : -1;
      QCOMPARE(int(target.tables().mask(row)),
               from < 0 ? int(targetBefore.mask(row)) : int(tables.mask(from)));
      QCOMPARE(target.tables().pcRemap(row),
               from < 0 ? targetBefore.pcRemap(row) : tables.pcRemap(from));
      QCOMPARE(target.tables().cc(row), 3);
    }
    QCOMPARE(target.names().name(10), QStringLiteral("Clean; bright"));
    QVERIFY(target.names().name(11).isEmpty());
    QCOMPARE(history.stack().count(), 1);
    QVERIFY(to.rowProblemLabel()->isHidden());
  }

  // A whole saved .tvk file is presets too; its CC map is read past.
  void aSavedFilePastesItsPresets() {
    PresetTables saved;
    for (int row = 0; row < kTableSize; ++row) saved.setMask(row, std::uint8_t(row));
    saved.setCc(0, 1);
    Configuration target;
    fillTarget(target);
    PresetMatrixTab to(target);
    select(to, {0});
    QCOMPARE(to.rowActions().pasteText(TvkFile::serialize(saved)), QString());
    for (int row = 0; row < kTableSize; ++row) {
      QCOMPARE(int(target.tables().mask(row)), row);
      QCOMPARE(target.tables().cc(row), 3);
    }
  }

  void aForeignTextIsRefused_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("prose") << QByteArray("Dear diary,\nToday I bought a pedal.\n")
                           << "line 1 is neither a section nor a key with a value";
    QTest::newRow("nothing") << QByteArray() << "the text holds no preset sections [0] to [127]";
    QTest::newRow("another program's settings")
        << QByteArray("[General]\ntheme=dark\n") << "[General] is not a preset section";
    QTest::newRow("a mask beyond eight loops")
        << QByteArray("[4]\npc=300\n") << "[4]: \"300\" is not a loop mask from 0 to 255";
    QTest::newRow("a program beyond the remap table")
        << QByteArray("[4]\npc=1\npcremap=129\n")
        << "[4]: \"129\" is not a program change entry from -1 to 128";
    QTest::newRow("a key no preset has")
        << QByteArray("[4]\npc=1\nvolume=3\n") << "[4]: \"volume\" is not a preset's key";
    QTest::newRow("a preset without loops")
        << QByteArray("[4]\npcremap=3\n") << "[4] has no loop mask \"pc\"";
    QTest::newRow("a name without its preset") << QByteArray("[4]\npc=1\n[names]\n9=Lead\n")
                                               << "preset 9 is named but not among the presets";
    QTest::newRow("a name no preset can have")
        << QByteArray("[0]\npc=1\n[names]\n1=" + QByteArray(41, 'x') + "\n")
        << "[names]: the name of preset 1 is longer than 40 characters";
  }

  void aForeignTextIsRefused() {
    QFETCH(QByteArray, text);
    QFETCH(QString, reason);
    Configuration target;
    fillTarget(target);
    const PresetTables before = target.tables();
    EditHistory history(target);
    PresetMatrixTab to(target);
    select(to, {5});

    QApplication::clipboard()->setText(QString::fromUtf8(text));
    trigger(to, "pasteRowsAction");

    const QString shown =
        QStringLiteral("The clipboard holds no presets to paste: %1.").arg(reason);
    QCOMPARE(to.rowProblemLabel()->text(), shown);
    QVERIFY(!to.rowProblemLabel()->isHidden());
    QVERIFY(target.tables() == before);
    QCOMPARE(history.stack().count(), 0);
  }
};

QTEST_MAIN(PresetClipboardTest)
#include "test_preset_clipboard.moc"
