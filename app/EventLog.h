// SPDX-License-Identifier: MIT
#pragma once

#include <QtCore/qnamespace.h>

#include <QString>
#include <QStringList>

#include "tools/LogLine.h"

class QListWidget;
class QListWidgetItem;

namespace tarvik {

// The event log at the bottom of the window: lines are only ever appended, and the newest line
// is the selected one so that it stays in view.
class EventLog {
 public:
  explicit EventLog(QListWidget& list);
  void addLog(const QString& message);
  // A line with detail: further lines for whoever helps the user (what a library said), shown
  // when the pointer rests on the line and copied and saved beneath it, not in the list itself.
  void addLog(const QString& message, const QStringList& detail);
  // The line and its detail, indented, as "Copy" and "Save log..." write them.
  static QStringList textOf(const QListWidgetItem& item);
  static constexpr int DetailRole = Qt::UserRole + 1;
  // A line without time stamp that leaves the selection where it is.
  void appendRaw(const QString& line);

 private:
  QListWidget& list_;
};

}  // namespace tarvik
