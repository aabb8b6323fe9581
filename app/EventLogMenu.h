// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QAction;
class QListWidget;
class QWidget;

namespace tarvik {

class Dialogs;

// The event log's context menu: "Copy" (the selected line; Ctrl+C too), "Save log..." (every
// line as plain text) and "Clear", so that whoever helps a user can be sent what happened.
class EventLogMenu : public QObject {
  Q_OBJECT
 public:
  // Lives as long as the list; owner is the parent of the boxes and file dialogs.
  EventLogMenu(QListWidget& list, Dialogs& dialogs, QWidget* owner);

  QAction* copyAction() const { return copy_; }
  QAction* saveAction() const { return save_; }
  QAction* clearAction() const { return clear_; }

 private:
  void copySelected();
  void saveAll();

  QListWidget& list_;
  Dialogs& dialogs_;
  QWidget* owner_;
  QAction* copy_;
  QAction* save_;
  QAction* clear_;
};

}  // namespace tarvik
