// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "config/ChangeMarks.h"
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

  ChangeMarks& marks() { return marks_; }
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

  // Puts a setup, a snapshot or a file into the editors as one undo step named `stepText`: the
  // tables through the clamps a download applies, the settings when `bytes` has them, the names
  // when given (else the editors keep theirs). Nothing is asked and nothing is sent; the
  // unsaved-work question and the marks' file side are the caller's.
  void open(const QString& stepText, const ConfigBytes& bytes,
            const std::optional<PresetNames>& names = std::nullopt,
            const std::optional<LoopLabels>& labels = std::nullopt);

 Q_SIGNALS:
  // open() has put a setup, a snapshot or a file into the editors.
  void opened();

 private:
  void bindMachine(TransferMachine& machine);
  void showUndoState();

  Dialogs& dialogs_;
  QWidget& window_;
  std::function<bool()> saveTables_;
  ConfiguratorCore& core_;
  ChangeMarks& marks_;
  EditHistory history_;
  bool locked_ = false;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
};

}  // namespace tarvik
