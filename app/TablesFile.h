// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>
#include <functional>

class QWidget;

namespace tarvik {

class ConfiguratorCore;
class Dialogs;
class EditTracking;

// "Save as File" and "Load from File": the configuration's tables (and, in a full backup, its
// settings and the presets' names) to and from a file, with the change marks told which file now
// holds them and a load undoable as one step. Refusals are shown in the error box; what a loaded
// file lacked is one line in the event log.
class TablesFile {
  Q_DECLARE_TR_FUNCTIONS(TablesFile)

 public:
  using Log = std::function<void(const QString&)>;

  // All must outlive this.
  TablesFile(Dialogs& dialogs, QWidget& owner, ConfiguratorCore& core, EditTracking& edits, Log log)
      : dialogs_(dialogs), owner_(owner), core_(core), edits_(edits), log_(std::move(log)) {}

  // Asks for the file; true when the tables were written. With `settings`, the file is a full
  // backup (the tables, then "[settings]" and the names), which every .tvk reader still loads;
  // without, it is a .tvk file exactly as ever.
  bool save(bool settings);
  // "Load from File": ignored while the link is busy; the unsaved-work question, then the file
  // asked for, put into the editors as an opened setup is (EditTracking::open). True when a
  // file was loaded; a refused one gets its box.
  bool chooseAndLoad();
  // The same for a file already chosen (named on the command line).
  bool open(const QString& path);
  // The file last saved or loaded; empty before there was one.
  const QString& lastPath() const { return lastPath_; }

  // The file dialogs' filter, in the user's language; the pattern stays.
  static QString filter() { return tr("Tarvik Config File (*.tvk)"); }
  static inline const QString suffix = QStringLiteral("tvk");

 private:
  bool load(const QString& path);

  Dialogs& dialogs_;
  QWidget& owner_;
  ConfiguratorCore& core_;
  EditTracking& edits_;
  Log log_;
  QString lastPath_;
};

}  // namespace tarvik
