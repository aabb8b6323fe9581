// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

#include "app/LibraryItem.h"
#include "config/ConfigBytes.h"
#include "config/PresetNames.h"

class QWidget;

namespace tarvik {

class ConfiguratorCore;
class Dialogs;
class EditTracking;
class FullBackupActions;
class LibraryHolder;

// What the Library window's buttons do, with every question and refusal through the dialogs.
// Each action is a few calls to the library, each a few milliseconds, so they run on the
// window's thread; an import of many files shows the busy cursor meanwhile. Every change is
// reported to the holder, whose changed() refreshes the lists.
class LibraryActions : public QObject {
  Q_OBJECT
 public:
  // All must outlive the actions; `owner` is the window the boxes belong to.
  LibraryActions(Dialogs& dialogs, QWidget& owner, ConfiguratorCore& core, EditTracking& edits,
                 FullBackupActions& fullBackup, LibraryHolder& holder, QObject* parent = nullptr);

  // Stores what the editors hold under a name asked for, `offered` to start from: a new setup
  // (a note asked too), or, asked first, in place of the setup of that name. The stored name.
  std::optional<QString> store(const QString& offered);
  // Into the editors as one undo step, once the unsaved work is saved or given up.
  void open(const LibraryItem& item);
  // The verified restore of the item to the device, with its log lines and boxes.
  void send(const LibraryItem& item);
  // The new name, or nothing when cancelled or refused.
  std::optional<QString> rename(const QString& name);
  std::optional<QString> duplicate(const QString& name);
  // Asks first.
  void remove(const QString& name);
  // Files chosen in a dialog, or dropped: all stored or none; asks before names are replaced.
  // The names stored.
  QStringList importChosen();
  QStringList importFiles(const QStringList& paths);
  // Writes the setup as a backup file chosen in a dialog.
  void exportSetup(const QString& name);

 private:
  struct Contents {
    ConfigBytes bytes;
    std::optional<PresetNames> names;  // a snapshot has none
    QString description;               // for the log and the undo step: "the setup "Live""
    std::optional<LoopLabels> labels = std::nullopt;  // a snapshot has none
  };
  std::optional<Contents> contents(const LibraryItem& item);
  // The library's refusal in the error box.
  void refused(const QString& what, const QString& why);
  std::optional<QString> askName(const QString& label, const QString& offered);
  bool exists(const QString& name) const;

  Dialogs& dialogs_;
  QWidget& owner_;
  ConfiguratorCore& core_;
  EditTracking& edits_;
  FullBackupActions& fullBackup_;
  LibraryHolder& holder_;
};

}  // namespace tarvik
