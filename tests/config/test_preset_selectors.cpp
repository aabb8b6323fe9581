// SPDX-License-Identifier: MIT
// The preset matrix's two selector columns: their texts, the explicit ways to change them, and
// the ways through the grid that must change nothing.
#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "config/Configuration.h"
#include "config/ui/PresetMatrixTab.h"
#include "tests/config/PresetMatrixSupport.h"

using namespace tarvik;
using namespace tarvik::testing;

class PresetSelectorsTest : public QObject, MatrixUser {
  Q_OBJECT
 private Q_SLOTS:
  void selectorTexts_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("received");
    QTest::addColumn<QString>("shown");
    QTest::newRow("no loop") << 8 << 0 << "-";
    QTest::newRow("loop 1") << 8 << 1 << "LOOP 1";
    QTest::newRow("loop 8") << 8 << 8 << "LOOP 8";
    QTest::newRow("cc out of range is empty") << 8 << 9 << "";
    QTest::newRow("program 1") << 9 << 0 << "1";
    QTest::newRow("program 128") << 9 << 127 << "128";
    QTest::newRow("none") << 9 << 128 << "none";
    QTest::newRow("program out of range is empty") << 9 << 200 << "";
  }

  void selectorTexts() {
    QFETCH(int, column);
    QFETCH(int, received);
    QFETCH(QString, shown);
    Configuration configuration;
    PresetMatrixModel model(configuration);
    fillSelectors(configuration, column, received);
    QCOMPARE(model.index(100, column).data().toString(), shown);
  }

  // A user's ways through the grid after leaving a selector's list with Escape: down the
  // column with the arrow keys, or across with Tab and the wheel turned over the cell reached.
  // None of them is an edit, so no value may change.
  void navigationLeavesSelectorsAlone_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("wheel");
    QTest::newRow("loop selector, arrow keys") << 8 << 4 << false;
    QTest::newRow("program selector, arrow keys") << 9 << 20 << false;
    QTest::newRow("loop selector, tab in and wheel") << 8 << 4 << true;
    QTest::newRow("program selector, tab in and wheel") << 9 << 20 << true;
  }

  void navigationLeavesSelectorsAlone() {
    QFETCH(int, column);
    QFETCH(int, start);
    QFETCH(bool, wheel);
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    showTab(tab);
    fillSelectors(configuration, column, start);
    QTableView* view = tab.view();

    clickCell(tab, 1, column);
    // The view lets go of the editor when its delegate says it is closed, however late that is.
    QSignalSpy closed(view->itemDelegateForColumn(column), &QAbstractItemDelegate::closeEditor);
    pressKey(Qt::Key_Escape);
    QVERIFY(closed.count() == 1 || closed.wait());
    QVERIFY(view->indexWidget(view->currentIndex()) == nullptr);
    // The released editor goes at the next deferred delete, and the focus with it.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The offscreen platform leaves no window active once a list has closed; a desktop gives
    // the activation back to the window, and with it the focus to the grid.
    tab.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&tab));
    QVERIFY(view->hasFocus());
    int row = 1;
    for (int step = 0; step < 4; ++step) {
      if (wheel) {
        pressKey(Qt::Key_Backtab);
        pressKey(Qt::Key_Tab);
        turnWheelOver(view, view->currentIndex());
      } else {
        pressKey(Qt::Key_Down);
        ++row;
      }
    }

    for (int other = 0; other < PresetTables::kRows; ++other) {
      QCOMPARE(tab.model().index(other, column).data(Qt::EditRole).toInt(), start);
    }
    QCOMPARE(view->currentIndex(), tab.model().index(row, column));
  }

  // The explicit ways to change a selector still work, and each changes only its own cell.
  void selectorEditedOnPurpose_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("start");
    QTest::addColumn<Opening>("opening");
    QTest::addColumn<int>("after");
    QTest::newRow("loop selector, click and choose from the list") << 8 << 2 << Opening::Click << 3;
    QTest::newRow("program selector, click and choose from the list")
        << 9 << 127 << Opening::Click << 128;
    QTest::newRow("loop selector, F2 then down") << 8 << 2 << Opening::F2 << 3;
    QTest::newRow("program selector, F2 then down") << 9 << 126 << Opening::F2 << 127;
    QTest::newRow("loop selector, Enter then down") << 8 << 0 << Opening::Enter << 1;
    QTest::newRow("program selector, Enter then down") << 9 << 0 << Opening::Enter << 1;
    QTest::newRow("loop selector, typing L") << 8 << 0 << Opening::Typing << 1;
    QTest::newRow("program selector, typing 5") << 9 << 0 << Opening::Typing << 4;
  }

  void selectorEditedOnPurpose() {
    QFETCH(int, column);
    QFETCH(int, start);
    QFETCH(Opening, opening);
    QFETCH(int, after);
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    showTab(tab);
    fillSelectors(configuration, column, start);
    QTableView* view = tab.view();
    const QModelIndex cell = tab.model().index(6, column);

    if (opening == Opening::Click) {
      clickCell(tab, 6, column);
      auto* editor = qobject_cast<QComboBox*>(view->indexWidget(cell));
      QVERIFY(editor != nullptr);
      QVERIFY(editor->view()->isVisible());  // one click shows the list
      QCOMPARE(editor->currentIndex(), start);
      // Moving through the open list is not yet a choice; Return makes it.
      QTest::keyClick(editor->view(), Qt::Key_Down);
      QCOMPARE(cell.data(Qt::EditRole).toInt(), start);
      QTest::keyClick(editor->view(), Qt::Key_Return);
    } else if (opening == Opening::Typing) {
      view->setCurrentIndex(cell);
      pressKey(column == PresetMatrixModel::kCcColumn ? Qt::Key_L : Qt::Key_5);
    } else {
      view->setCurrentIndex(cell);
      pressKey(opening == Opening::F2 ? Qt::Key_F2 : Qt::Key_Return);
      auto* editor = qobject_cast<QComboBox*>(view->indexWidget(cell));
      QVERIFY(editor != nullptr);
      QVERIFY(editor->hasFocus());
      pressKey(Qt::Key_Down);
    }

    QCOMPARE(cell.data(Qt::EditRole).toInt(), after);
    const PresetTables& tables = configuration.tables();
    QCOMPARE(column == PresetMatrixModel::kCcColumn ? tables.cc(6) : tables.pcRemap(6), after);
    QCOMPARE(tab.model().index(5, column).data(Qt::EditRole).toInt(), start);
    QCOMPARE(tab.model().index(7, column).data(Qt::EditRole).toInt(), start);
  }
};

QTEST_MAIN(PresetSelectorsTest)
#include "test_preset_selectors.moc"
