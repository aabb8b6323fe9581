// SPDX-License-Identifier: MIT
#pragma once

#include <QListWidget>
#include <QSignalSpy>
#include <QStringList>
#include <functional>

namespace tarvik::testing {

// The texts of a list's rows, top to bottom.
inline QStringList items(const QListWidget* list) {
  QStringList names;
  for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
  return names;
}

// The text of the row the list's selection names; empty when nothing is selected.
inline QString selectedName(const QListWidget* list) {
  const QList<QListWidgetItem*> selected = list->selectedItems();
  return selected.isEmpty() ? QString() : selected.constFirst()->text();
}

// The event log's messages without their time stamps.
inline QStringList logMessages(const QListWidget* log) {
  QStringList lines;
  for (const QString& line : items(log)) {
    const int cut = line.indexOf(QStringLiteral("] "));
    lines << (line.startsWith(QLatin1Char('[')) && cut > 0 ? line.mid(cut + 2) : line);
  }
  return lines;
}

// Serves the event loop until `done` holds after rows were added to the list; false when no row
// came for `quietMs` and it still does not hold.
inline bool awaitRowsUntil(const QListWidget* list, const std::function<bool()>& done,
                           int quietMs) {
  QSignalSpy added(list->model(), &QAbstractItemModel::rowsInserted);
  while (!done()) {
    if (!added.wait(quietMs)) return done();
  }
  return true;
}

}  // namespace tarvik::testing
