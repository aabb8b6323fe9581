// SPDX-License-Identifier: MIT
#pragma once
// What the preset matrix's tests share: the tab driven as a user drives it.

#include <QApplication>
#include <QIdentityProxyModel>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>
#include <cstdlib>

#include "config/Configuration.h"
#include "config/ui/PresetMatrixTab.h"

namespace tarvik::testing {

using Payload = PresetTables::Payload;

inline Payload filled(std::uint8_t value) {
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

inline void setLockMask(Configuration& configuration, std::uint8_t mask) {
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
enum class Opening { Click, DoubleClick, F2, Enter, Typing };

// The user's hands on the tab: clicks, keys and the wheel where a user puts them.
struct MatrixUser {
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
};

}  // namespace tarvik::testing

Q_DECLARE_METATYPE(tarvik::testing::Input)
Q_DECLARE_METATYPE(tarvik::testing::Opening)
