// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>
#include <functional>

class QWidget;

namespace tarvik {

class ConfiguratorCore;
class Dialogs;
class EditHistory;

// "Save as File" and the loading half of "Load from File": the configuration's tables (and, in a
// full backup, its settings and the presets' names) to and from a file, with the change marks
// told which file now holds them and a load undoable as one step. Refusals are shown in the
// error box; what a loaded file lacked is one line in the event log.
class TablesFile {
  Q_DECLARE_TR_FUNCTIONS(TablesFile)

 public:
  using Log = std::function<void(const QString&)>;

  // All must outlive this.
  TablesFile(Dialogs& dialogs, QWidget& owner, ConfiguratorCore& core, EditHistory& history,
             Log log)
      : dialogs_(dialogs), owner_(owner), core_(core), history_(history), log_(std::move(log)) {}

  // Asks for the file; true when the tables were written. With `settings`, the file is a full
  // backup (the tables, then "[settings]" and the names), which every .tvk reader still loads;
  // without, it is a .tvk file exactly as ever.
  bool save(bool settings);
  // The unsaved-work question is the caller's.
  // False when the file was refused (its box shown).
  bool load(const QString& path);
  // The file last saved or loaded; empty before there was one.
  const QString& lastPath() const { return lastPath_; }

  // The file dialogs' filter, in the user's language; the pattern stays.
  static QString filter() { return tr("Tarvik Config File (*.tvk)"); }
  static inline const QString suffix = QStringLiteral("tvk");

 private:
  Dialogs& dialogs_;
  QWidget& owner_;
  ConfiguratorCore& core_;
  EditHistory& history_;
  Log log_;
  QString lastPath_;
};

}  // namespace tarvik
