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

}  // namespace

Q_DECLARE_METATYPE(Input)

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

  void selectorEditedThroughTheView_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("afterKeyDown");
    QTest::newRow("loop selector") << 8 << 2 << 3;
    QTest::newRow("program selector") << 9 << 127 << 128;
  }
  void selectorEditedThroughTheView() {
    QFETCH(int, column);
    QFETCH(int, start);
    QFETCH(int, afterKeyDown);
    PresetMatrixTab tab;
    showTab(tab);
    const Payload reply = filled(static_cast<std::uint8_t>(start));
    column == 8 ? tab.applyCcMap(reply) : tab.applyPcRemap(reply);
    const QModelIndex cell = tab.model().index(6, column);
    tab.view()->setCurrentIndex(cell);
    QComboBox* editor = nullptr;
    QTRY_VERIFY((editor = tab.view()->viewport()->findChild<QComboBox*>()) != nullptr);
    QCOMPARE(editor->currentIndex(), start);
    QTest::keyClick(editor, Qt::Key_Down);
    QTRY_COMPARE(cell.data(Qt::EditRole).toInt(), afterKeyDown);
    QCOMPARE(tab.model().index(5, column).data(Qt::EditRole).toInt(), start);
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
