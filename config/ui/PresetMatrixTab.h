// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <functional>

#include "config/ui/PresetMatrixModel.h"

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;

namespace tarvik {

class ChangeMarks;
class EditHistory;
class PresetRowActions;
class PresetSelectorDelegate;
class SubmitButton;

// Contents of the "Presets / Controll Change" tab: the preset matrix over the configuration and
// its buttons. "Deselect all" and "Default ProgramChange" act here; submit, save, load and the
// full backup and restore are bound by the window through the button accessors.
class PresetMatrixTab : public QWidget {
  Q_OBJECT
 public:
  explicit PresetMatrixTab(Configuration& configuration, QWidget* parent = nullptr);

  const PresetTables& tables() const { return model_->tables(); }
  PresetMatrixModel& model() { return *model_; }
  QTableView* view() const { return view_; }
  // Copy, paste and the other acts on whole presets, in the grid's context menu.
  PresetRowActions& rowActions() { return *rowActions_; }
  QCheckBox* interlockPlacedBox() const { return interlockPlaced_; }
  // Why the last paste was refused; hidden while there is nothing to say.
  QLabel* rowProblemLabel() const { return rowProblem_; }
  // Marks the cells that differ from the device and counts them on the submit button.
  void setChangeMarks(const ChangeMarks* marks);
  // The history that names the row acts' undo steps.
  void setEditHistory(EditHistory* history);
  // Off while the configuration is being sent or read: the matrix and the buttons that change
  // it (load, "Deselect all", "Default ProgramChange") take no input.
  void setEditable(bool editable);

  // "Play on Tarvik" (the grid's context menu), a double click on a row's number or Enter on
  // it ask for playRequested(); off, none of them does anything. The window allows it while a
  // device is connected and nothing else talks to it.
  void setPlayable(bool playable);
  // "Follow": whether a program change from the device should show its row (see showRow).
  QCheckBox* followBox() const { return follow_; }
  // Selects the row and scrolls it into view.
  void showRow(int row);
  // A loop heading's context menu: "Name LOOP3..." and "Swap LOOP 3 with..." each other loop,
  // which moves the pedal (Configuration::swapLoops) as one undo step; nothing is sent.
  // It also offers "Learn CC for LOOP 3..." (ccLearnRequested).
  void fillLoopMenu(QMenu& menu, int loop);
  // A CC map cell's additions to the grid's context menu: "Learn CC for LOOP 3..." for the loop
  // row `row`'s entry switches (none for an entry without a loop), and "Learn this CC's loop"
  // (ccEntryLearnRequested).
  void fillCcMenu(QMenu& menu, int row);
  // Whether CC learn can hear anything now (an input is open); without it, or while the matrix
  // takes no input, the learn entries are off.
  void setCcLearnAvailable(std::function<bool()> available) {
    ccLearnAvailable_ = std::move(available);
  }
  // Selects the CC map entry of `controller` with its selector open, ready for the loop.
  void showCcEntry(int controller);

  // "Deselect all" and "Default ProgramChange".
  void Button10Click();
  void Button12Click();

  QPushButton* submitButton() const;
  QPushButton* saveButton() const { return save_; }
  QPushButton* loadButton() const { return load_; }
  // "Back up everything..." and "Restore everything...": all four blocks, to and from the device.
  QPushButton* backupButton() const { return backup_; }
  QPushButton* restoreButton() const { return restore_; }
  // "Setup sheet...": its menu prints the sheet or saves it as a PDF or CSV file.
  QPushButton* sheetButton() const { return sheet_; }
  // "Take from...": some presets, CC map rows or settings of a file, setup or snapshot.
  QPushButton* takeFromButton() const { return takeFrom_; }
  QAction* printSheetAction() const { return printSheet_; }
  QAction* saveSheetAction() const { return saveSheet_; }
  QPushButton* deselectAllButton() const { return deselectAll_; }
  QPushButton* defaultProgramChangeButton() const { return defaultProgramChange_; }

 Q_SIGNALS:
  void playRequested(int row);
  // The user wants to name loop `loop` (0..7): a double click on its heading, or "Name
  // LOOP3..." in the heading's context menu. Not while the matrix takes no input.
  void loopRenameRequested(int loop);
  // The user wants the next control change to switch loop `loop` (0..7), or to pick its entry.
  void ccLearnRequested(int loop);
  void ccEntryLearnRequested();

 protected:
  void changeEvent(QEvent* event) override;

 private:
  QPushButton* button(const QString& name, const QString& caption);
  // Each column as wide as drawn, or as its heading needs.
  void fitColumns();
  // A click shows a selector's list at once, as a drop-down list in its own right would; Enter
  // or a double click opens a selector closed, for the arrow keys. A name opens on Enter or a
  // double click, not on a click, which only picks the row.
  void openEditor(const QModelIndex& index, bool click);
  void showChangeCount();
  void askLoopRename(int section);
  void swapLoops(int a, int b);
  // The headings and the CC selector's items follow the loops' labels.
  void showLabels();
  void showGridMenu(QPoint at);
  bool ccLearnable() const;

  const ChangeMarks* marks_ = nullptr;
  EditHistory* history_ = nullptr;
  PresetMatrixModel* model_ = nullptr;
  QTableView* view_ = nullptr;
  PresetSelectorDelegate* loopSelector_ = nullptr;
  PresetSelectorDelegate* programSelector_ = nullptr;
  SubmitButton* submit_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* load_ = nullptr;
  QPushButton* backup_ = nullptr;
  QPushButton* restore_ = nullptr;
  QPushButton* sheet_ = nullptr;
  QPushButton* takeFrom_ = nullptr;
  QAction* printSheet_ = nullptr;
  QAction* saveSheet_ = nullptr;
  QPushButton* deselectAll_ = nullptr;
  QPushButton* defaultProgramChange_ = nullptr;
  PresetRowActions* rowActions_ = nullptr;
  QCheckBox* interlockPlaced_ = nullptr;
  QLabel* rowProblem_ = nullptr;
  QAction* play_ = nullptr;
  QCheckBox* follow_ = nullptr;
  std::function<bool()> ccLearnAvailable_;
};

}  // namespace tarvik
