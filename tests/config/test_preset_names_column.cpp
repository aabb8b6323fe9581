// SPDX-License-Identifier: MIT
// The preset matrix's name column: the ways a user names a preset there, what the column
// refuses, and the lock while the device is busy.
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "config/Configuration.h"
#include "config/ui/EditHistory.h"
#include "config/ui/PresetMatrixTab.h"
#include "tests/config/PresetMatrixSupport.h"

using namespace tarvik;
using namespace tarvik::testing;

namespace {

constexpr int kName = PresetMatrixModel::kNameColumn;
// Generous: nothing waits this long unless the thing waited for never comes.
constexpr int kWaitMs = 20000;

}  // namespace

class PresetNamesColumnTest : public QObject, MatrixUser {
  Q_OBJECT
 private Q_SLOTS:
  // Every way to open the editor, and what the text put in becomes: a name is one undo step,
  // which undo takes back; what the editor cannot hold never gets in.
  void aNameIsEditedOnPurpose_data() {
    QTest::addColumn<Opening>("opening");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("name");
    QTest::newRow("F2") << Opening::F2 << "Crunch"
                        << "Crunch";
    QTest::newRow("Enter") << Opening::Enter << "Crunch"
                           << "Crunch";
    QTest::newRow("double click") << Opening::DoubleClick << "Crunch"
                                  << "Crunch";
    QTest::newRow("typing starts with the key") << Opening::Typing << "runch"
                                                << "crunch";
    QTest::newRow("spaces around are dropped") << Opening::F2 << "  Lead  "
                                               << "Lead";
    QTest::newRow("cut at 40 characters")
        << Opening::F2 << QString(45, QLatin1Char('x')) << QString(40, QLatin1Char('x'));
    QTest::newRow("a line break is refused") << Opening::F2 << "Lead\nTone"
                                             << "";
    QTest::newRow("a control character is refused") << Opening::F2 << "Lead\x07"
                                                    << "";
  }
  void aNameIsEditedOnPurpose() {
    QFETCH(Opening, opening);
    QFETCH(QString, pasted);
    QFETCH(QString, name);
    Configuration configuration;
    EditHistory history(configuration);
    PresetMatrixTab tab(configuration);
    showTab(tab);
    QTableView* view = tab.view();
    const QModelIndex cell = tab.model().index(4, kName);
    view->scrollTo(cell);
    view->setCurrentIndex(cell);
    const QPoint centre = view->visualRect(cell).center();
    if (opening == Opening::DoubleClick) {
      // The first click of the two, then the second, which the platform reports as double.
      QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
      QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
    } else {
      const Qt::Key key = opening == Opening::F2      ? Qt::Key_F2
                          : opening == Opening::Enter ? Qt::Key_Return
                                                      : Qt::Key_C;
      pressKey(key);
    }
    auto* editor = qobject_cast<QLineEdit*>(view->indexWidget(cell));
    QVERIFY(editor != nullptr);
    QVERIFY(editor->hasFocus());
    editor->insert(pasted);
    QCOMPARE(editor->text().trimmed(), name);
    // The delegate hands the text over once Return has been handled, then closes the editor.
    QSignalSpy closed(view->itemDelegateForColumn(kName), &QAbstractItemDelegate::closeEditor);
    QTest::keyClick(editor, Qt::Key_Return);
    QVERIFY(!closed.isEmpty() || closed.wait(kWaitMs));

    QCOMPARE(configuration.names().name(4), name);
    QCOMPARE(cell.data().toString(), name);
    QVERIFY(configuration.names().name(3).isEmpty());
    QCOMPARE(history.stack().count(), name.isEmpty() ? 0 : 1);
    if (name.isEmpty()) return;
    QCOMPARE(history.stack().undoText(), QStringLiteral("edit preset names"));
    history.undo();
    QVERIFY(cell.data().toString().isEmpty());
  }

  // What the rename refuses, the column refuses: nothing changes and no step is recorded.
  void refusedNamesChangeNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<bool>("taken");
    QTest::newRow("a name of 40 characters") << QString(40, QLatin1Char('n')) << false << true;
    QTest::newRow("a name of 41 characters") << QString(41, QLatin1Char('n')) << false << false;
    QTest::newRow("a tab") << "Lead\tTone" << false << false;
    QTest::newRow("any name while locked") << "Crunch" << true << false;
  }
  void refusedNamesChangeNothing() {
    QFETCH(QString, name);
    QFETCH(bool, locked);
    QFETCH(bool, taken);
    Configuration configuration;
    configuration.renamePreset(7, QStringLiteral("Clean"));
    EditHistory history(configuration);
    PresetMatrixModel model(configuration);
    model.setEditable(!locked);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    QCOMPARE(model.setData(model.index(7, kName), name), taken);
    QCOMPARE(configuration.names().name(7), taken ? name : QStringLiteral("Clean"));
    QCOMPARE(changed.count(), taken ? 1 : 0);
    QCOMPARE(history.stack().count(), taken ? 1 : 0);
  }
};

QTEST_MAIN(PresetNamesColumnTest)
#include "test_preset_names_column.moc"
