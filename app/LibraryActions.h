// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "app/LibraryItem.h"
#include "config/ConfigDiff.h"
#include "library/LibraryResult.h"

namespace tarvik {

class ConfiguratorCore;
class Dialogs;
class EditTracking;
class FullBackupActions;
class LibraryHolder;
class LibraryWindow;

// What the Library window's buttons do to the stores: each action reads the window's current
// item, asks its questions and shows its refusals in boxes over the window, and after a change
// reports it (LibraryHolder::changed, which refreshes the lists) and selects what it made. Each
// is a few calls to the library, a few milliseconds each, so they run on the window's thread; an
// import of many files shows the busy cursor meanwhile.
// Its texts are the window's (LibraryWindow::tr): a user sees one window.
class LibraryActions {
 public:
  // All must outlive the actions, which the window holds.
  LibraryActions(LibraryWindow& window, LibraryHolder& holder, Dialogs& dialogs,
                 ConfiguratorCore& core, EditTracking& edits, FullBackupActions& fullBackup);

  // Stores what the editors hold under a name asked for: a new setup (a note asked too), or,
  // asked first, in place of the setup of that name.
  void store();
  // Into the editors as one undo step, once the unsaved work is saved or given up.
  void open();
  // The verified restore of the item to the device, with its log lines and boxes.
  void send();
  void rename();
  void duplicate();
  // Asks first.
  void remove();
  // Files chosen in a dialog, or dropped: all stored or none; asks before names are replaced.
  void importChosen();
  void importFiles(const QStringList& paths);
  // Writes the setup as a backup file chosen in a dialog.
  void exportSetup();

 private:
  struct Contents {
    DiffSide side;
    QString description;  // for the log and the undo step: "the setup "Live""
  };
  std::optional<Contents> contents();
  // The library's refusal in the error box.
  void refused(const QString& what, const QString& why);
  // Selects the setup `name` once the library took a change (reported), or shows the box
  // saying `failed`.
  void afterChange(const Outcome& outcome, const QString& failed, const QString& name);
  std::optional<QString> askName(const QString& label, const QString& offered);
  bool exists(const QString& name) const;
  const LibraryItem& current() const;

  LibraryWindow& window_;
  LibraryHolder& holder_;
  Dialogs& dialogs_;
  ConfiguratorCore& core_;
  EditTracking& edits_;
  FullBackupActions& fullBackup_;
};

}  // namespace tarvik
