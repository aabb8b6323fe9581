// SPDX-License-Identifier: MIT
#pragma once

#include <QStyledItemDelegate>

namespace tarvik {

// The loop columns of the preset matrix: a click anywhere in the cell toggles its box, not only
// on the 13-pixel box in the middle of a cell three times as wide. The toggle goes through the
// model as the box's own would (so the interlock and the model's editable flag still decide);
// keys are handled as by any check box cell.
class LoopCellDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};

}  // namespace tarvik
