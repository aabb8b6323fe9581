// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QBrush>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>
#include <cstdlib>
#include <numeric>

#include "config/Configuration.h"
#include "config/ui/PresetMatrixTab.h"
#include "config/ui/SubmitButton.h"
#include "config/ui/SubmitCaption.h"

using tarvik::Block;
using tarvik::ConfigRecord;
using tarvik::Configuration;
using tarvik::PresetMatrixModel;
using tarvik::PresetMatrixTab;
using tarvik::PresetTables;
using tarvik::SubmitButton;
using tarvik::submitCaption;
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

void setLockMask(Configuration& configuration, std::uint8_t mask) {
  ConfigRecord record = configuration.record();
  record.lockMask = mask;
  configuration.setRecord(record);
}

// Sits between the grid and its model and counts the check-state changes the view asks for,
// so that a click the rule answers with no change is still seen to arrive.
class CountingProxy : public QIdentityProxyModel {
 public:
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (role == Qt::CheckStateRole) ++checkRequests;
    return QIdentityProxyModel::setData(index, value, role);
  }
  int checkRequests = 0;
};

enum class Input { Mouse, BesideTheBox, Keyboard };
enum class Opening { Click, F2, Enter, Typing };

}  // namespace

Q_DECLARE_METATYPE(Input)
Q_DECLARE_METATYPE(Opening)

class PresetMatrixTest : public QObject {
  Q_OBJECT

  // Toggles a loop box the way a user does: a click on its indicator or elsewhere in its cell, or
  // Space on the cell.
  static void userToggle(PresetMatrixTab& tab, int row, int column, Input input) {
    QTableView* view = tab.view();
    const QModelIndex index = view->model()->index(row, column);
    view->scrollTo(index);
    const QPoint box = CheckIndicatorLocator().centre(view, index);
    if (input == Input::Mouse) {
      QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, box);
    } else if (input == Input::BesideTheBox) {
      QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                        besideTheBox(view->visualRect(index), box));
    } else {
      view->setCurrentIndex(index);
      QTest::keyClick(view, Qt::Key_Space);
    }
  }

  // A point of the cell at least 8 pixels to the side of the 13-pixel box and above it.
  static QPoint besideTheBox(const QRect& cell, const QPoint& box) {
    const bool roomLeft = box.x() - cell.left() > cell.right() - box.x();
    const QPoint point(roomLeft ? cell.left() + 2 : cell.right() - 2, cell.top() + 2);
    if (std::abs(point.x() - box.x()) < 14) qFatal("the box fills its cell");
    return point;
  }

  static void fillSelectors(Configuration& configuration, int column, int value) {
    const Payload values = filled(static_cast<std::uint8_t>(value));
    column == PresetMatrixModel::kCcColumn ? configuration.applyCcMap(values)
                                           : configuration.applyPcRemap(values);
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
    Configuration configuration;
    PresetMatrixModel model(configuration);
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

  // The row header measures only its widest label; it must come out as wide as a header that
  // measures them all, also after a change of font.
  void rowHeaderIsAsWideAsMeasuringEveryLabel() {
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    auto* view = tab.findChild<QTableView*>(QStringLiteral("ScrollBox1"));
    QHeaderView measuringAll(Qt::Vertical);
    measuringAll.setModel(view->model());
    const QSize before = measuringAll.sizeHint();
    QCOMPARE(view->verticalHeader()->sizeHint(), before);
    QFont bigger = view->font();
    bigger.setPointSize(bigger.pointSize() * 2);
    view->verticalHeader()->setFont(bigger);
    measuringAll.setFont(bigger);
    QVERIFY(measuringAll.sizeHint().width() > before.width());
    QCOMPARE(view->verticalHeader()->sizeHint(), measuringAll.sizeHint());
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
    Configuration configuration;
    PresetMatrixModel model(configuration);
    fillSelectors(configuration, column, received);
    QCOMPARE(model.index(100, column).data().toString(), shown);
  }

  void startStateShowsLoop8AndNoProgram() {
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    QCOMPARE(tab.model().index(0, 8).data().toString(), QStringLiteral("LOOP 8"));
    QCOMPARE(tab.model().index(0, 9).data().toString(), QString());
    QCOMPARE(tab.model().index(0, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(),
             Qt::Unchecked);
    QCOMPARE(configuration.presetPayload(), filled(0));
    QCOMPARE(configuration.ccMapPayload(), filled(8));
    QCOMPARE(configuration.pcRemapPayload(), filled(255));
  }

  // Whatever changes the configuration shows in the grid, and the model reports exactly the
  // cells and roles that changed, so that the view repaints no more than it must.
  void configurationChangesReachTheView_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QRect>("cells");  // columns as x, rows as y
    QTest::addColumn<int>("role");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("shown");
    QTest::newRow("downloaded presets")
        << "presets" << QRect(0, 0, 8, 128) << int(Qt::CheckStateRole) << 77 << 7
        << QVariant(int(Qt::Checked));
    QTest::newRow("one loop clicked") << "click" << QRect(0, 5, 8, 1) << int(Qt::CheckStateRole)
                                      << 5 << 3 << QVariant(int(Qt::Checked));
    QTest::newRow("one CC entry chosen") << "cc" << QRect(8, 3, 1, 1) << int(Qt::DisplayRole) << 3
                                         << 8 << QVariant(QStringLiteral("LOOP 2"));
    QTest::newRow("one program chosen") << "pc" << QRect(9, 9, 1, 1) << int(Qt::DisplayRole) << 9
                                        << 9 << QVariant(QStringLiteral("none"));
    QTest::newRow("interlock group changed")
        << "lock" << QRect(0, 0, 8, 128) << int(Qt::BackgroundRole) << 40 << 1
        << QVariant(QBrush(QColor(Qt::red)));
  }
  void configurationChangesReachTheView() {
    QFETCH(QString, change);
    QFETCH(QRect, cells);
    QFETCH(int, role);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QVariant, shown);
    Configuration configuration;
    PresetMatrixModel model(configuration);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    if (change == QLatin1String("presets")) configuration.applyPresets(filled(0x80));
    if (change == QLatin1String("click")) configuration.clickLoop(5, 3);
    if (change == QLatin1String("cc")) configuration.chooseCc(3, 2);
    if (change == QLatin1String("pc")) configuration.choosePcRemap(9, 128);
    if (change == QLatin1String("lock")) setLockMask(configuration, 0x02);

    QCOMPARE(changed.count(), 1);
    const QModelIndex first = changed.first().at(0).toModelIndex();
    const QModelIndex last = changed.first().at(1).toModelIndex();
    QCOMPARE(QRect(QPoint(first.column(), first.row()), QPoint(last.column(), last.row())), cells);
    QVERIFY(changed.first().at(2).value<QList<int>>().contains(role));
    const QVariant data = model.index(row, column).data(role);
    if (role == Qt::CheckStateRole) {
      QCOMPARE(data.toInt(), shown.toInt());
    } else if (role == Qt::BackgroundRole) {
      QCOMPARE(data.value<QBrush>().color(), shown.value<QBrush>().color());
    } else {
      QCOMPARE(data.toString(), shown.toString());
    }
  }

  void interlockFollowsUserInput_data() {
    QTest::addColumn<Input>("input");
    QTest::newRow("mouse") << Input::Mouse;
    QTest::newRow("mouse anywhere in the cell") << Input::BesideTheBox;
    QTest::newRow("keyboard") << Input::Keyboard;
  }
  void interlockFollowsUserInput() {
    QFETCH(Input, input);
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    CountingProxy proxy;
    proxy.setSourceModel(&tab.model());
    tab.view()->setModel(&proxy);
    showTab(tab);
    setLockMask(configuration, 0x06);  // loops 2 and 3
    configuration.applyPresets(filled(0x02));
    const int row = 4;  // preset 5

    // A click or a key press reaches the model before QTest returns.
    userToggle(tab, row, 2, input);
    QCOMPARE(int(configuration.tables().mask(row)), 0x04);

    // The click must reach the model and still leave loop 3 ticked.
    const int requests = proxy.checkRequests;
    userToggle(tab, row, 2, input);
    QCOMPARE(proxy.checkRequests, requests + 1);
    QCOMPARE(int(configuration.tables().mask(row)), 0x04);

    userToggle(tab, row, 0, input);
    QCOMPARE(int(configuration.tables().mask(row)), 0x05);
    userToggle(tab, row, 0, input);
    QCOMPARE(int(configuration.tables().mask(row)), 0x04);

    for (int other = 0; other < PresetTables::kRows; ++other) {
      if (other != row) {
        QCOMPARE(int(configuration.tables().mask(other)), 0x02);
      }
    }
    QCOMPARE(tab.model().index(row, 1).data(Qt::CheckStateRole).value<Qt::CheckState>(),
             Qt::Unchecked);
    QCOMPARE(tab.model().index(row, 2).data(Qt::CheckStateRole).value<Qt::CheckState>(),
             Qt::Checked);
  }

  // While the device is busy, no click toggles a box, wherever in the cell.
  void noToggleWhileNotEditable_data() { interlockFollowsUserInput_data(); }
  void noToggleWhileNotEditable() {
    QFETCH(Input, input);
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    showTab(tab);
    tab.setEditable(false);
    userToggle(tab, 3, 0, input);
    QCOMPARE(int(configuration.tables().mask(3)), int(PresetTables().mask(3)));
    tab.setEditable(true);
    userToggle(tab, 3, 0, input);
    QVERIFY(configuration.tables().mask(3) != PresetTables().mask(3));
  }

  void programmaticFillsIgnoreTheInterlock() {
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    setLockMask(configuration, 0x06);
    configuration.applyPresets(filled(0x86));
    QCOMPARE(configuration.presetPayload(), filled(0x86));
    QCOMPARE(tab.model().index(0, 1).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    QCOMPARE(tab.model().index(0, 2).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);

    PresetTables loaded;
    loaded.setMask(9, 0xFF);
    configuration.setTables(loaded);
    QCOMPARE(int(tab.tables().mask(9)), 0xFF);
    QCOMPARE(int(tab.tables().mask(8)), 0);
    QCOMPARE(tab.model().index(9, 7).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
  }

  void deselectAllButton() {
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    QCOMPARE(tab.deselectAllButton()->text(), QStringLiteral("Deselect all"));
    setLockMask(configuration, 0x06);
    configuration.applyPresets(filled(0xFF));
    configuration.applyCcMap(filled(5));
    configuration.applyPcRemap(filled(17));
    QTest::mouseClick(tab.deselectAllButton(), Qt::LeftButton);
    QCOMPARE(configuration.presetPayload(), filled(0));
    QCOMPARE(configuration.ccMapPayload(), filled(0));
    QCOMPARE(configuration.pcRemapPayload(), filled(17));
    QCOMPARE(tab.model().index(3, 8).data().toString(), QStringLiteral("-"));
    QCOMPARE(tab.model().index(3, 2).data(Qt::CheckStateRole).value<Qt::CheckState>(),
             Qt::Unchecked);
  }

  void defaultProgramChangeButton() {
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    QCOMPARE(tab.defaultProgramChangeButton()->text(), QStringLiteral("Default ProgramChange"));
    QTest::mouseClick(tab.defaultProgramChangeButton(), Qt::LeftButton);
    Payload expected{};
    std::iota(expected.begin(), expected.end(), std::uint8_t{0});
    QCOMPARE(configuration.pcRemapPayload(), expected);
    QCOMPARE(tab.model().index(127, 9).data().toString(), QStringLiteral("128"));
  }

  // The colours follow the record's interlock mask however it changes; a record change that
  // leaves the mask alone repaints nothing.
  void lockColoursFollowTheMask() {
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    PresetMatrixModel& model = tab.model();
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    ConfigRecord record;
    record.lockMask = 0x05;
    configuration.editRecord(record);
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
    record.debounceTime = 90;
    configuration.editRecord(record);
    QCOMPARE(changed.count(), 1);

    std::array<std::uint8_t, tarvik::kConfigRecordSize> received{};
    configuration.applyRecord(received);
    QCOMPARE(changed.count(), 2);
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
    Configuration configuration;
    PresetMatrixTab tab(configuration);
    showTab(tab);
    fillSelectors(configuration, column, start);
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

  void buttonsOfTheTab() {
    Configuration configuration;
    PresetMatrixTab tab(configuration);
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

  // A new count must not move the buttons of the row (a relayout repaints the whole tab widget at
  // every change of the marks), yet every caption must fit, also after the font changed.
  void submitCountKeepsTheLayout() {
    QWidget page;
    auto* row = new QHBoxLayout(&page);
    auto* submit = new SubmitButton(1280);
    row->addWidget(submit);
    row->addWidget(new QPushButton(QStringLiteral("Save as File")));
    page.show();
    QCoreApplication::sendPostedEvents();
    const QPoint save = row->itemAt(1)->widget()->pos();
    const QSize size = submit->size();
    for (int changes : {1, 1280, 7, 0}) {
      submit->showChangeCount(changes);
      QCOMPARE(submit->text(), submitCaption(changes));
      QCoreApplication::sendPostedEvents(&page, QEvent::LayoutRequest);
    }
    QCOMPARE(submit->size(), size);
    QCOMPARE(row->itemAt(1)->widget()->pos(), save);
    QPushButton widest(submitCaption(1280), &page);
    QVERIFY(size.width() >= widest.sizeHint().width());

    QFont larger = page.font();
    larger.setPointSize(larger.pointSize() * 2);
    page.setFont(larger);
    QPushButton widestLarger(submitCaption(1280), &page);
    QVERIFY(submit->width() >= widestLarger.sizeHint().width());
    QVERIFY(submit->width() > size.width());
  }
};

QTEST_MAIN(PresetMatrixTest)
#include "test_preset_matrix.moc"
