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
  const QString text = item.text;
  // Only a plain line is drawn here; a focus frame, an icon or a check box the style draws.
  const bool plain = !text.isEmpty() && !text.contains(QLatin1Char('\n')) &&
                     item.icon.isNull() && !(item.state & QStyle::State_HasFocus) &&
                     !(item.features & QStyleOptionViewItem::HasCheckIndicator);
  const QWidget* widget = item.widget;
  const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  // The style's text margin on either side, as it lays out an item's text in the item's rect.
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
  const QRect textRect = item.rect.adjusted(margin, 0, -margin, 0);
  const QStaticText* layout = plain ? &layoutOf(text, item.font) : nullptr;
  if (layout == nullptr || layout->size().width() > textRect.width()) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  painter->save();
  painter->setClipRect(item.rect);
  // The item's background and selection, as the style draws them beneath the text.
  style->drawPrimitive(QStyle::PE_PanelItemViewItem, &item, painter, widget);
  QPalette::ColorGroup group = QPalette::Normal;
  if (!(item.state & QStyle::State_Enabled)) {
    group = QPalette::Disabled;
  } else if (!(item.state & QStyle::State_Active)) {
    group = QPalette::Inactive;
  }
  const bool selected = (item.state & QStyle::State_Selected) != 0;
  painter->setFont(item.font);
  painter->setPen(item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
  const qreal top = textRect.top() + (textRect.height() - layout->size().height()) / 2;
  painter->drawStaticText(QPointF(textRect.left(), top), *layout);
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
