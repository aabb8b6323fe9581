// SPDX-License-Identifier: MIT
#include "config/ui/LoopCellDelegate.h"

#include <QMouseEvent>

namespace tarvik {

bool LoopCellDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                   const QStyleOptionViewItem& option, const QModelIndex& index) {
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick) {
    // The press selects the cell as before; keys toggle as in any check box cell.
    return QStyledItemDelegate::editorEvent(event, model, option, index);
  }
  const auto* mouse = static_cast<const QMouseEvent*>(event);
  const Qt::ItemFlags flags = index.flags();
  if (mouse->button() != Qt::LeftButton || !flags.testFlag(Qt::ItemIsUserCheckable) ||
      !flags.testFlag(Qt::ItemIsEnabled) || !option.rect.contains(mouse->position().toPoint())) {
    return false;
  }
  // A double click is two clicks, each toggling on its release.
  if (type == QEvent::MouseButtonDblClick) return true;
  const bool on = index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
  return model->setData(index, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

}  // namespace tarvik
