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
PresetTables targetTables() {
  PresetTables tables;
  for (int row = 0; row < kTableSize; ++row) {
    tables.setMask(row, 0xF0);
    tables.setCc(row, 3);
    tables.setPcRemap(row, 7);
  }
  return tables;
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
    target.setTables(targetTables());
    EditHistory history(target);
    PresetMatrixTab from(source);
    PresetMatrixTab to(target);

    select(from, {2, 3});
    trigger(from, "copyRowsAction");
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("[2]\r\npc=129\r\npcremap=40\r\n[3]\r\npc=2\r\npcremap=128\r\n"
                            "[names]\r\n3=Clean; bright\r\n"));
    select(to, {10});
    trigger(to, "pasteRowsAction");

    // Loops and programs land on rows 10 and 11; the CC map stays the target's.
    PresetTables pasted = targetTables();
    pasted.setMask(10, 0x81);
    pasted.setPcRemap(10, 40);
    pasted.setMask(11, 0x02);
    pasted.setPcRemap(11, PresetTables::kPcRemapNone);
    QVERIFY(target.tables() == pasted);
    QCOMPARE(target.names().name(10), QStringLiteral("Clean; bright"));
    QVERIFY(target.names().name(11).isEmpty());
    QCOMPARE(history.stack().count(), 1);
    QVERIFY(to.rowProblemLabel()->isHidden());
  }

  void pasteTakesPresetsOrSaysWhyNot_data() {
    QTest::addColumn<QByteArray>("text");
    // Empty when the text holds presets.
    QTest::addColumn<QString>("reason");
    QTest::addColumn<PresetTables>("after");

    // A whole saved .tvk file is presets too; its CC map is read past.
    PresetTables saved;
    for (int row = 0; row < kTableSize; ++row) saved.setMask(row, std::uint8_t(row));
    saved.setCc(0, 1);
    PresetTables fromFile = saved;
    for (int row = 0; row < kTableSize; ++row) fromFile.setCc(row, 3);
    QTest::newRow("a saved file") << TvkFile::serialize(saved) << QString() << fromFile;
    const auto refused = [](const char* name, const QByteArray& text, const char* reason) {
      QTest::newRow(name) << text << QString::fromUtf8(reason) << targetTables();
    };

    refused("prose", "Dear diary,\nToday I bought a pedal.\n",
            "line 1 is neither a section nor a key with a value");
    refused("nothing", "", "the text holds no preset sections [0] to [127]");
    refused("another program's settings", "[General]\ntheme=dark\n",
            "[General] is not a preset section");
    refused("a mask beyond eight loops", "[4]\npc=300\n",
            "[4]: \"300\" is not a loop mask from 0 to 255");
    refused("a program beyond the remap table", "[4]\npc=1\npcremap=129\n",
            "[4]: \"129\" is not a program change entry from -1 to 128");
    refused("a key no preset has", "[4]\npc=1\nvolume=3\n",
            "[4]: \"volume\" is not a preset's key");
    refused("a preset without loops", "[4]\npcremap=3\n", "[4] has no loop mask \"pc\"");
    refused("a name without its preset", "[4]\npc=1\n[names]\n9=Lead\n",
            "preset 9 is named but not among the presets");
    refused("a name no preset can have", "[0]\npc=1\n[names]\n1=" + QByteArray(41, 'x') + "\n",
            "[names]: the name of preset 1 is longer than 40 characters");
  }

  void pasteTakesPresetsOrSaysWhyNot() {
    QFETCH(QByteArray, text);
    QFETCH(QString, reason);
    QFETCH(PresetTables, after);
    Configuration target;
    target.setTables(targetTables());
    EditHistory history(target);
    PresetMatrixTab to(target);
    select(to, {0});

    QApplication::clipboard()->setText(QString::fromUtf8(text));
    trigger(to, "pasteRowsAction");

    QVERIFY(target.tables() == after);
    const QString shown =
        QStringLiteral("The clipboard holds no presets to paste: %1.").arg(reason);
    QCOMPARE(to.rowProblemLabel()->text(), reason.isEmpty() ? QString() : shown);
    QCOMPARE(to.rowProblemLabel()->isHidden(), reason.isEmpty());
    QCOMPARE(history.stack().count(), reason.isEmpty() ? 1 : 0);
  }
};

QTEST_MAIN(PresetClipboardTest)
#include "test_preset_clipboard.moc"
