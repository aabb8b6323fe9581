// SPDX-License-Identifier: MIT
#pragma once

#include <QCache>
#include <QFont>
#include <QStaticText>
#include <QString>
#include <QStyledItemDelegate>

namespace tarvik {

// Draws the lines of a list of plain one-line texts from a layout made once per line. A log list
// that scrolls with every new line repaints all the lines in view each time, and the item
// delegate would shape each of them anew. A line too long for its row is drawn by the item
// delegate, elided as before.
class CachedLineDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  // The lines in view and some more: a line that scrolls back into view is laid out again.
  static constexpr int kCachedLines = 64;

  const QStaticText& layoutOf(const QString& text, const QFont& font) const;

  mutable QCache<QString, QStaticText> layouts_{kCachedLines};
  mutable QFont layoutFont_;
};

}  // namespace tarvik
