// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include "app/CompareModel.h"
#include "core/CompareSource.h"

class QLabel;
class QPushButton;
class QTreeView;

namespace tarvik {

class CompareSidePicker;
class ConfiguratorCore;
class Dialogs;
class EditTracking;

// "Compare": a window of its own that shows only what differs between two sides (the device's
// last download, the editors, a setup, a snapshot or a file), block by block, and opens either
// side into the editors as one undo step. A setup, snapshot or file is read once when it is
// chosen; the editors' side is read again after each of their changes and the device's after
// each transfer, and only then is the comparison made anew. Hidden, the window does nothing
// until it is shown again.
class CompareWindow : public QWidget {
  Q_OBJECT
 public:
  enum Side { kLeft, kRight };

  // All must outlive the window. `lastFile` tells the file the editors were last saved to or
  // loaded from (empty for none).
  CompareWindow(Dialogs& dialogs, ConfiguratorCore& core, EditTracking& edits,
                std::function<QString()> lastFile, QWidget* parent = nullptr);

  CompareSidePicker& picker(Side side) const { return *sides_[side].picker; }
  QPushButton* openButton(Side side) const { return sides_[side].open; }
  CompareModel& model() { return model_; }
  QLabel* summary() const { return summary_; }

  // What opening the side into the editors does: the unsaved-work question, then the side as
  // one undo step, its names with it when it has them. A file counts as loaded.
  void openSide(Side side);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct SideState {
    CompareSidePicker* picker = nullptr;
    QPushButton* open = nullptr;
    std::optional<CompareSource> source;
    Result<DiffSide> contents;
  };

  void readSide(SideState& side);
  // Reads the sides of `kind` again and compares, unless the window is hidden: showing it
  // reads both sides anew.
  void followChange(CompareSource::Kind kind);
  // Takes in what the library and the device hold now, then reads the sides again: `all`, or
  // those whose choice changed with it and the device's.
  void refreshSides(bool all);
  // The editors against themselves tell nothing: while both sides are the editors, the left
  // becomes the device's last download, or else the last file, when there is one.
  void chooseOtherSide();
  void compare();
  QString summaryText() const;
  // The lines on values a side holds that the comparison takes as they would be sent; empty
  // when there are none.
  QString keptText() const;
  void updateOpenButtons();

  ConfiguratorCore& core_;
  EditTracking& edits_;
  std::function<QString()> lastFile_;
  CompareModel model_;
  std::array<SideState, 2> sides_;
  QLabel* summary_;
  QTreeView* view_;
  // Reading both sides anew: the pickers' reports of it are not new choices.
  bool refreshing_ = false;
};

}  // namespace tarvik
