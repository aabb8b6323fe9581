// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QBrush>
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>
#include <numeric>

#include "config/ui/PresetMatrixTab.h"

using tarvik::PresetMatrixModel;
using tarvik::PresetMatrixTab;
using tarvik::PresetTables;
using Payload = PresetTables::Payload;

namespace {

Payload filled(std::uint8_t value) {
  Payload payload{};
  payload.fill(value);
  return payload;
}

// Finds where the view draws a cell's check indicator, the same way the delegate tests a click.
class CheckIndicatorLocator : public QStyledItemDelegate {
 public:
  QPoint centre(QTableView* view, const QModelIndex& index) const {
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.rect = view->visualRect(index);
    initStyleOption(&option, index);
    return view->style()
        ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view)
        .center();
  }
};

enum class Input { Mouse, Keyboard };
enum class Opening { Click, F2, Enter, Typing };

}  // namespace

Q_DECLARE_METATYPE(Input)
Q_DECLARE_METATYPE(Opening)

class PresetMatrixTest : public QObject {
  Q_OBJECT

  // Toggles a loop box the way a user does: a click on its indicator or Space on the cell.
  static void userToggle(PresetMatrixTab& tab, int row, int column, Input input) {
    QTableView* view = tab.view();
    const QModelIndex index = tab.model().index(row, column);
    view->scrollTo(index);
    if (input == Input::Mouse) {
      QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                        CheckIndicatorLocator().centre(view, index));
    } else {
      view->setCurrentIndex(index);
      QTest::keyClick(view, Qt::Key_Space);
    }
  }

  static void fillSelectors(PresetMatrixTab& tab, int column, int value) {
    const Payload values = filled(static_cast<std::uint8_t>(value));
    column == PresetMatrixModel::kCcColumn ? tab.applyCcMap(values) : tab.applyPcRemap(values);
  }

  static void clickCell(PresetMatrixTab& tab, int row, int column) {
    QTableView* view = tab.view();
    const QModelIndex index = tab.model().index(row, column);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
  }

  // A key goes where the keyboard would send it: to an open list, else to the focus widget.
  static void pressKey(Qt::Key key) {
    QWidget* target = QApplication::activePopupWidget();
    if (target != nullptr) {
      target = target->focusWidget() != nullptr ? target->focusWidget() : target;
    } else {
      target = QApplication::focusWidget();
    }
    QVERIFY(target != nullptr);
    QTest::keyClick(target, key);
  }

  // One notch of the wheel, delivered to whatever widget lies under the pointer.
  static void turnWheelOver(QTableView* view, const QModelIndex& index) {
    const QPoint inViewport = view->visualRect(index).center();
    QWidget* target = view->viewport()->childAt(inViewport);
    if (target == nullptr) target = view->viewport();
    const QPointF local = target->mapFrom(view->viewport(), inViewport);
    const QPointF global = target->mapToGlobal(local);
    QWheelEvent event(local, global, QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
  }

  static void showTab(PresetMatrixTab& tab) {
    tab.resize(900, 600);
    tab.show();
    tab.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&tab));
    tab.view()->setFocus();
  }

 private Q_SLOTS:
  void headers() {
    PresetMatrixModel model;
    QCOMPARE(model.rowCount(), 128);
    QCOMPARE(model.columnCount(), 10);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("LOOP1"));
    QCOMPARE(model.headerData(7, Qt::Horizontal).toString(), QStringLiteral("LOOP8"));
    QCOMPARE(model.headerData(8, Qt::Horizontal).toString(),
             QStringLiteral("Controll Change (IAM over Midi)"));
    QCOMPARE(model.headerData(9, Qt::Horizontal).toString(),
             QStringLiteral("Programm Change Output"));
    QCOMPARE(model.headerData(0, Qt::Vertical).toInt(), 1);
    QCOMPARE(model.headerData(127, Qt::Vertical).toInt(), 128);
  }

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
    PresetMatrixModel model;
    const Payload reply = filled(static_cast<std::uint8_t>(received));
    if (column == PresetMatrixModel::kCcColumn) {
      model.applyCcMap(reply);
    } else {
      model.applyPcRemap(reply);
    }
    QCOMPARE(model.index(100, column).data().toString(), shown);
  }

  void startStateShowsLoop8AndNoProgram() {
    PresetMatrixTab tab;
    QCOMPARE(tab.model().index(0, 8).data().toString(), QStringLiteral("LOOP 8"));
    QCOMPARE(tab.model().index(0, 9).data().toString(), QString());
    QCOMPARE(tab.model().index(0, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(),
             Qt::Unchecked);
    QCOMPARE(tab.presetPayload(), filled(0));
    QCOMPARE(tab.ccMapPayload(), filled(8));
    QCOMPARE(tab.pcRemapPayload(), filled(255));
  }

  void interlockFollowsUserInput_data() {
    QTest::addColumn<Input>("input");
    QTest::newRow("mouse") << Input::Mouse;
    QTest::newRow("keyboard") << Input::Keyboard;
  }
  void interlockFollowsUserInput() {
    QFETCH(Input, input);
    PresetMatrixTab tab;
    showTab(tab);
    tab.setLockMask(0x06);  // loops 2 and 3
    tab.applyPresets(filled(0x02));
    const int row = 4;  // preset 5

    userToggle(tab, row, 2, input);
    QTRY_COMPARE(int(tab.tables().mask(row)), 0x04);

    // The click must reach the model (which reports the row) and still leave loop 3 ticked.
    QSignalSpy reached(&tab.model(), &QAbstractItemModel::dataChanged);
    userToggle(tab, row, 2, input);
    QTRY_COMPARE(reached.count(), 1);
    QCOMPARE(int(tab.tables().mask(row)), 0x04);

    userToggle(tab, row, 0, input);
    QTRY_COMPARE(int(tab.tables().mask(row)), 0x05);
    userToggle(tab, row, 0, input);
    QTRY_COMPARE(int(tab.tables().mask(row)), 0x04);

    for (int other = 0; other < PresetTables::kRows; ++other) {
      if (other != row) {
        QCOMPARE(int(tab.tables().mask(other)), 0x02);
      }
    }
    QCOMPARE(tab.model().index(row, 1).data(Qt::CheckStateRole).value<Qt::CheckState>(),
             Qt::Unchecked);
    QCOMPARE(tab.model().index(row, 2).data(Qt::CheckStateRole).value<Qt::CheckState>(),
             Qt::Checked);
  }

  void programmaticFillsIgnoreTheInterlock() {
    PresetMatrixTab tab;
    tab.setLockMask(0x06);
    tab.applyPresets(filled(0x86));
    QCOMPARE(tab.presetPayload(), filled(0x86));

    PresetTables loaded;
    loaded.setMask(9, 0xFF);
    tab.setTables(loaded);
    QCOMPARE(int(tab.tables().mask(9)), 0xFF);
    QCOMPARE(int(tab.tables().mask(8)), 0);
  }

  void deselectAllButton() {
    PresetMatrixTab tab;
    QCOMPARE(tab.deselectAllButton()->text(), QStringLiteral("Deselect all"));
    tab.setLockMask(0x06);
    tab.applyPresets(filled(0xFF));
    tab.applyCcMap(filled(5));
    tab.applyPcRemap(filled(17));
    QTest::mouseClick(tab.deselectAllButton(), Qt::LeftButton);
    QCOMPARE(tab.presetPayload(), filled(0));
    QCOMPARE(tab.ccMapPayload(), filled(0));
    QCOMPARE(tab.pcRemapPayload(), filled(17));
    QCOMPARE(tab.model().index(3, 8).data().toString(), QStringLiteral("-"));
  }

  void defaultProgramChangeButton() {
    PresetMatrixTab tab;
    QCOMPARE(tab.defaultProgramChangeButton()->text(), QStringLiteral("Default ProgramChange"));
    QTest::mouseClick(tab.defaultProgramChangeButton(), Qt::LeftButton);
    Payload expected{};
    std::iota(expected.begin(), expected.end(), std::uint8_t{0});
    QCOMPARE(tab.pcRemapPayload(), expected);
    QCOMPARE(tab.model().index(127, 9).data().toString(), QStringLiteral("128"));
  }

  void lockColoursFollowTheMask() {
    PresetMatrixTab tab;
    PresetMatrixModel& model = tab.model();
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    tab.setLockMask(0x05);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.last().at(0).toModelIndex().row(), 0);
    QCOMPARE(changed.last().at(1).toModelIndex().row(), 127);
    for (int row = 0; row < 128; ++row) {
      for (int column = 0; column < 8; ++column) {
        const QVariant background = model.index(row, column).data(Qt::BackgroundRole);
        if (column == 0 || column == 2) {
          QCOMPARE(background.value<QBrush>().color(), QColor(Qt::red));
        } else {
          QVERIFY(!background.isValid());
        }
      }
    }
    tab.setLockMask(0);
    for (int row = 0; row < 128; ++row) {
      QVERIFY(!model.index(row, 0).data(Qt::BackgroundRole).isValid());
      QVERIFY(!model.index(row, 2).data(Qt::BackgroundRole).isValid());
    }
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
    PresetMatrixTab tab;
    showTab(tab);
    fillSelectors(tab, column, start);
    QTableView* view = tab.view();

    clickCell(tab, 1, column);
    pressKey(Qt::Key_Escape);
    QTRY_VERIFY(view->indexWidget(view->currentIndex()) == nullptr);
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
    QTest::newRow("loop selector, click and choose from the list")
        << 8 << 2 << Opening::Click << 3;
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
    PresetMatrixTab tab;
    showTab(tab);
    fillSelectors(tab, column, start);
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
    QCOMPARE(tab.model().index(5, column).data(Qt::EditRole).toInt(), start);
    QCOMPARE(tab.model().index(7, column).data(Qt::EditRole).toInt(), start);
  }

  void buttonsOfTheTab() {
    PresetMatrixTab tab;
    QCOMPARE(tab.view()->objectName(), QStringLiteral("ScrollBox1"));
    QCOMPARE(tab.submitButton()->objectName(), QStringLiteral("Button3"));
    QCOMPARE(tab.submitButton()->text(), QStringLiteral("Submit to Tarvik"));
    QCOMPARE(tab.saveButton()->objectName(), QStringLiteral("Button8"));
    QCOMPARE(tab.saveButton()->text(), QStringLiteral("Save as File"));
    QCOMPARE(tab.loadButton()->objectName(), QStringLiteral("Button9"));
    QCOMPARE(tab.loadButton()->text(), QStringLiteral("Load from File"));
    QCOMPARE(tab.deselectAllButton()->objectName(), QStringLiteral("Button10"));
    QCOMPARE(tab.defaultProgramChangeButton()->objectName(), QStringLiteral("Button12"));
  }
};

QTEST_MAIN(PresetMatrixTest)
#include "test_preset_matrix.moc"
