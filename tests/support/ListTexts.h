// SPDX-License-Identifier: MIT
#pragma once

#include <QListWidget>
#include <QStringList>

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

}  // namespace tarvik::testing
