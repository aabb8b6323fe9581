// SPDX-License-Identifier: MIT
#include "app/CachedLineDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace tarvik {

void CachedLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  QStyleOptionViewItem item = option;
  initStyleOption(&item, index);
  const QWidget* widget = item.widget;
  const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  // The style's text margin on either side, as it lays out an item's text.
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
  const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
  const QString text = item.text;
  if (text.isEmpty() || text.contains(QLatin1Char('\n')) || !item.icon.isNull()) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  const QStaticText& layout = layoutOf(text, item.font);
  if (layout.size().width() > textRect.width() - 2 * margin) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  // Background, selection and focus as the style draws them, then the text over them.
  item.text.clear();
  style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
  QPalette::ColorGroup group = QPalette::Normal;
  if (!(item.state & QStyle::State_Enabled)) {
    group = QPalette::Disabled;
  } else if (!(item.state & QStyle::State_Active)) {
    group = QPalette::Inactive;
  }
  const bool selected = (item.state & QStyle::State_Selected) != 0;
  painter->save();
  painter->setFont(item.font);
  painter->setPen(item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
  const qreal top = textRect.top() + (textRect.height() - layout.size().height()) / 2;
  painter->drawStaticText(QPointF(textRect.left() + margin, top), layout);
  painter->restore();
}

const QStaticText& CachedLineDelegate::layoutOf(const QString& text, const QFont& font) const {
  if (font != layoutFont_) {
    layouts_.clear();
    layoutFont_ = font;
  }
  if (const QStaticText* cached = layouts_.object(text)) return *cached;
  auto* layout = new QStaticText(text);
  layout->setTextFormat(Qt::PlainText);
  layout->setPerformanceHint(QStaticText::AggressiveCaching);
  layout->prepare(QTransform(), font);
  layouts_.insert(text, layout);
  return *layout;
}

}  // namespace tarvik
