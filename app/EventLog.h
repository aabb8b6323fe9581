// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include "tools/LogLine.h"

class QListWidget;

namespace tarvik {

// The event log at the bottom of the window: lines are only ever appended, and the newest line
// is the selected one so that it stays in view.
class EventLog {
 public:
  explicit EventLog(QListWidget& list);
  void addLog(const QString& message);
  // A line without time stamp that leaves the selection where it is.
  void appendRaw(const QString& line);

 private:
  QListWidget& list_;
};

}  // namespace tarvik
