// SPDX-License-Identifier: MIT
#include "app/EventLog.h"

#include <QAction>
#include <QApplication>
#include <QCache>
#include <QClipboard>
#include <QListWidget>
#include <QPainter>
#include <QStaticText>
#include <QStyle>
#include <QStyledItemDelegate>

#include "app/Dialogs.h"

namespace tarvik {
namespace {

// Draws the lines of a list of plain one-line texts from a layout made once per line. A log list
// that scrolls with every new line repaints all the lines in view each time, and the item
// delegate would shape each of them anew. A line too long for its row is drawn by the item
// delegate, elided as before.
class CachedLineDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    // Only a plain line is drawn here; a focus frame, an icon or a check box the style draws.
    const bool plain = !text.isEmpty() && !text.contains(QLatin1Char('\n')) && item.icon.isNull() &&
                       !(item.state & QStyle::State_HasFocus) &&
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
    painter->setPen(
        item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    const qreal top = textRect.top() + (textRect.height() - layout->size().height()) / 2;
    painter->drawStaticText(QPointF(textRect.left(), top), *layout);
    painter->restore();
  }

 private:
  const QStaticText& layoutOf(const QString& text, const QFont& font) const {
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

  // The lines in view and some more: a line that scrolls back into view is laid out again.
  static constexpr int kCachedLines = 64;
  mutable QCache<QString, QStaticText> layouts_{kCachedLines};
  mutable QFont layoutFont_;
};

constexpr int kDetailRole = Qt::UserRole + 1;

// The line and its detail, indented, as "Copy" and "Save log..." write them.
QStringList textOf(const QListWidgetItem& item) {
  QStringList lines{item.text()};
  for (const QString& line : item.data(kDetailRole).toStringList())
    lines << QStringLiteral("    ") + line;
  return lines;
}

}  // namespace

EventLog::EventLog(QListWidget& list, Dialogs& dialogs, QWidget* owner)
    : list_(list),
      copy_(new QAction(tr("Copy"), &list)),
      save_(new QAction(tr("Save log..."), &list)),
      clear_(new QAction(tr("Clear"), &list)) {
  // Every line is one text row. Without this, each new line lays out all lines before it, and a
  // long session (the monitor logs every incoming change) makes the window ever slower.
  list_.setUniformItemSizes(true);
  list_.setItemDelegate(new CachedLineDelegate(&list_));
  copy_->setShortcut(QKeySequence::Copy);
  copy_->setShortcutContext(Qt::WidgetShortcut);
  // The list shows its actions as its context menu, so no code of ours runs until one is chosen.
  list_.setContextMenuPolicy(Qt::ActionsContextMenu);
  list_.addActions({copy_, save_, clear_});
  QObject::connect(copy_, &QAction::triggered, &list, [&list] {
    QStringList lines;
    for (int row = 0; row < list.count(); ++row) {
      if (list.item(row)->isSelected()) lines << textOf(*list.item(row));
    }
    if (!lines.isEmpty()) QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
  });
  QObject::connect(save_, &QAction::triggered, &list, [&list, &dialogs, owner] {
    QStringList lines;
    lines.reserve(list.count());
    for (int row = 0; row < list.count(); ++row) lines << textOf(*list.item(row));
    exportPlainText(dialogs, owner, lines);
  });
  QObject::connect(clear_, &QAction::triggered, &list, &QListWidget::clear);
}

void EventLog::addLog(const QString& message) {
  list_.addItem(logLine(QTime::currentTime(), message));
  list_.setCurrentRow(list_.count() - 1);
  list_.scrollToBottom();
}

void EventLog::addLog(const QString& message, const QStringList& detail) {
  addLog(message);
  if (detail.isEmpty()) return;
  QListWidgetItem* item = list_.item(list_.count() - 1);
  item->setData(kDetailRole, detail);
  item->setToolTip(detail.join(QLatin1Char('\n')));
}

void EventLog::appendRaw(const QString& line) { list_.addItem(line); }

}  // namespace tarvik
