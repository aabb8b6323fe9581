// SPDX-License-Identifier: MIT
#include "app/EventLog.h"

#include <QListWidget>

#include "app/CachedLineDelegate.h"

namespace tarvik {

EventLog::EventLog(QListWidget& list) : list_(list) {
  // Every line is one text row. Without this, each new line lays out all lines before it, and a
  // long session (the monitor logs every incoming change) makes the window ever slower.
  list_.setUniformItemSizes(true);
  list_.setItemDelegate(new CachedLineDelegate(&list_));
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
  item->setData(DetailRole, detail);
  item->setToolTip(detail.join(QLatin1Char('\n')));
}

QStringList EventLog::textOf(const QListWidgetItem& item) {
  QStringList lines{item.text()};
  for (const QString& line : item.data(DetailRole).toStringList())
    lines << QStringLiteral("    ") + line;
  return lines;
}

void EventLog::appendRaw(const QString& line) { list_.addItem(line); }

}  // namespace tarvik
