// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "config/ConfigBytes.h"
#include "config/PresetNames.h"
#include "config/ui/EditHistory.h"
#include "core/ConfiguratorCore.h"

class QAction;
class QTabWidget;
class QWidget;

namespace tarvik {

class Dialogs;

// The window's bookkeeping of the user's work: what differs from the device (fed by the
// transfer machine's outcomes), the undo history with its shortcuts and buttons, the window's
// modified marker, and the question before anything would throw unsaved work away.
class EditTracking : public QObject {
  Q_OBJECT
 public:
  // `saveTables` runs the window's "Save as File" and says whether the tables were written.
  EditTracking(Dialogs& dialogs, QWidget& window, ConfiguratorCore& core,
               std::function<bool()> saveTables, QObject* parent = nullptr);
  ~EditTracking() override;

  EditHistory& history() { return history_; }
  QAction* undoAction() const { return undo_; }
  QAction* redoAction() const { return redo_; }

  // Two small buttons in the corner of the tab bar, for those who do not use the shortcuts.
  void addButtons(QTabWidget& tabs);
  // While the configuration is being sent or read, undo and redo are off.
  void setLocked(bool locked);

  // True when nothing unsaved would be lost, or the user saved the tables or chose to discard;
  // false when the user cancelled (or the save did not happen). `beforeWhat` ends the question
  // ("before closing the window").
  bool mayDiscard(const QString& beforeWhat);

  // Puts a setup, a snapshot or a file into the editors as one undo step named `stepText`
  // (ConfiguratorCore::open). The unsaved-work question is the caller's.
  void open(const QString& stepText, const ConfigBytes& bytes,
            const std::optional<PresetNames>& names, const std::optional<LoopLabels>& labels,
            bool kept);

 Q_SIGNALS:
  // open() has put a setup, a snapshot or a file into the editors.
  void opened();

 private:
  void showUndoState();

  Dialogs& dialogs_;
  QWidget& window_;
  std::function<bool()> saveTables_;
  ConfiguratorCore& core_;
  EditHistory history_;
  bool locked_ = false;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
};

}  // namespace tarvik
