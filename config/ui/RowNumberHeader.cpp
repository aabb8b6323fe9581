// SPDX-License-Identifier: MIT
#include "config/ui/RowNumberHeader.h"

#include <QEvent>

namespace tarvik {

RowNumberHeader::RowNumberHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}

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
