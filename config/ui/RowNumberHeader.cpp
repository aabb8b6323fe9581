// SPDX-License-Identifier: MIT
#include "config/ui/RowNumberHeader.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>

namespace tarvik {

RowNumberHeader::RowNumberHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {
  // Not in the tab chain: the grid's cells are where the keyboard goes.
  setFocusPolicy(Qt::ClickFocus);
  connect(this, &QHeaderView::sectionDoubleClicked, this, &RowNumberHeader::rowPlayRequested);
}

void RowNumberHeader::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  // The click that focused the header made its row the view's current one.
  const QModelIndex current =
      selectionModel() != nullptr ? selectionModel()->currentIndex() : QModelIndex();
  if (!enter || !current.isValid()) {
    QHeaderView::keyPressEvent(event);
    return;
  }
  Q_EMIT rowPlayRequested(current.row());
}

QSize RowNumberHeader::sizeHint() const {
  const int rows = count();
  if (rows == 0 || model() == nullptr) return QHeaderView::sizeHint();
  if (hintCount_ != rows || !hint_.isValid()) {
    // Labels differ only in their digits: the widest by the font's advance stands for all.
    int widestRow = 0;
    int widestAdvance = -1;
    for (int row = 0; row < rows; ++row) {
      const QString label = model()->headerData(row, Qt::Vertical).toString();
      const int advance = fontMetrics().horizontalAdvance(label);
      if (advance > widestAdvance) {
        widestAdvance = advance;
        widestRow = row;
      }
    }
    hint_ = sectionSizeFromContents(widestRow);
    hintCount_ = rows;
  }
  return hint_;
}

void RowNumberHeader::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
    hint_ = QSize();
  }
  QHeaderView::changeEvent(event);
}

}  // namespace tarvik
