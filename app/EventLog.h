// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include "tools/LogLine.h"

class QAction;
class QListWidget;
class QWidget;

namespace tarvik {

class Dialogs;

// The event log at the bottom of the window: lines are only ever appended, and the newest line
// is the selected one so that it stays in view. Its context menu has "Copy" (the selected line;
// Ctrl+C too), "Save log..." (every line as plain text) and "Clear", so that whoever helps a
// user can be sent what happened.
class EventLog {
  Q_DECLARE_TR_FUNCTIONS(EventLog)

 public:
  // The list and the dialogs must outlive the log's use; `owner` is the parent of the boxes and
  // file dialogs.
  EventLog(QListWidget& list, Dialogs& dialogs, QWidget* owner);
  void addLog(const QString& message);
  // A line with detail: further lines for whoever helps the user (what a library said), shown
  // when the pointer rests on the line and copied and saved beneath it, not in the list itself.
  void addLog(const QString& message, const QStringList& detail);
  // A line without time stamp that leaves the selection where it is.
  void appendRaw(const QString& line);

  QAction* copyAction() const { return copy_; }
  QAction* saveAction() const { return save_; }
  QAction* clearAction() const { return clear_; }

 private:
  QListWidget& list_;
  QAction* copy_;
  QAction* save_;
  QAction* clear_;
};

}  // namespace tarvik
