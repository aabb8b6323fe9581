// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include "app/LibraryActions.h"
#include "app/LibraryItem.h"
#include "app/LibraryListModel.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTreeView;

namespace tarvik {

class ConfiguratorCore;
class Dialogs;
class EditTracking;
class FullBackupActions;
class LibraryHolder;
class SetListPane;

// "Library": a window of its own beside the main window, over the library of setups and the
// device history. The setups are filtered as the user types (by name or note, in any letter
// case) and sorted by name; the snapshots are listed newest first. One item of either list is
// what the buttons act on: selecting in one list clears the other. Files dropped on the window
// are imported. It needs no device; only "Send to Tarvik" does.
//
// The lists are read again when the library changes (LibraryHolder::changed) and when the
// window is activated, which is when a change by tarvik-cli would be looked for; reading an
// unchanged library costs next to nothing (SetupStore::list). A library that could not be opened
// is tried again then.
//
// The buttons act on the stores through LibraryActions. Every change is reported
// (LibraryHolder::changed), which refreshes the lists.
class LibraryWindow : public QWidget {
  Q_OBJECT
 public:
  // All must outlive the window.
  LibraryWindow(LibraryHolder& holder, Dialogs& dialogs, ConfiguratorCore& core,
                EditTracking& edits, FullBackupActions& fullBackup, QWidget* parent = nullptr);
  ~LibraryWindow() override;

  SetupListModel& setupModel() { return setups_; }
  SnapshotListModel& snapshotModel() { return snapshots_; }
  SetListPane& setLists() { return *setLists_; }
  const LibraryItem& current() const { return current_; }
  // Selects the item in its list, when it is listed.
  void select(const LibraryItem& item);
  // Reads both lists again, keeping the item selected when it is still listed.
  void refresh();

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QTreeView* makeView(const char* name, QAbstractItemModel& model);
  // Reads the setups the filter lets through.
  void filterSetups();
  void takeSelection(QTreeView* from);
  void updateButtons();
  void showMenu(QTreeView* view, const QPoint& at);

  LibraryHolder& holder_;
  ConfiguratorCore& core_;
  LibraryActions actions_;
  SetupListModel setups_;
  SnapshotListModel snapshots_;
  LibraryItem current_;
  // Selections made by the program itself are not the user's choice.
  bool selecting_ = false;

  QStackedWidget* pages_ = nullptr;
  SetListPane* setLists_ = nullptr;
  QLineEdit* filter_ = nullptr;
  QTreeView* setupView_ = nullptr;
  QTreeView* historyView_ = nullptr;
  QLabel* problem_ = nullptr;
  QLabel* file_ = nullptr;
  QPushButton* store_ = nullptr;
  QPushButton* open_ = nullptr;
  QPushButton* send_ = nullptr;
  QPushButton* rename_ = nullptr;
  QPushButton* duplicate_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* import_ = nullptr;
  QPushButton* export_ = nullptr;
};

}  // namespace tarvik
