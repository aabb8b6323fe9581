// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include "config/PresetMatrixModel.h"

class QPushButton;
class QTableView;

namespace tarvik {

class PresetSelectorDelegate;

// Contents of the "Presets / Controll Change" tab: the preset matrix and its buttons.
// "Deselect all" and "Default ProgramChange" act here; submit, save and load are bound by the
// window through the button accessors.
class PresetMatrixTab : public QWidget {
  Q_OBJECT
 public:
  explicit PresetMatrixTab(QWidget* parent = nullptr);

  // Read-only on purpose: every change goes through the model so that the view follows.
  const PresetTables& tables() const { return model_->tables(); }
  PresetMatrixModel& model() { return *model_; }
  const PresetMatrixModel& model() const { return *model_; }
  QTableView* view() const { return view_; }

  // Programmatic fills: entries are set exactly, the interlock rule does not act.
  void setTables(const PresetTables& tables) { model_->setTables(tables); }
  void applyPresets(std::span<const std::uint8_t, kTableSize> items) {
    model_->applyPresets(items);
  }
  void applyCcMap(std::span<const std::uint8_t, kTableSize> items) { model_->applyCcMap(items); }
  void applyPcRemap(std::span<const std::uint8_t, kTableSize> items) {
    model_->applyPcRemap(items);
  }

  PresetTables::Payload presetPayload() const { return tables().presetPayload(); }
  PresetTables::Payload ccMapPayload() const { return tables().ccMapPayload(); }
  PresetTables::Payload pcRemapPayload() const { return tables().pcRemapPayload(); }

  void setLockMask(quint8 mask) { model_->setLockMask(mask); }

  // "Deselect all" and "Default ProgramChange".
  void Button10Click() { model_->deselectAll(); }
  void Button12Click() { model_->defaultProgramChange(); }

  QPushButton* submitButton() const { return button3_; }
  QPushButton* saveButton() const { return button8_; }
  QPushButton* loadButton() const { return button9_; }
  QPushButton* deselectAllButton() const { return button10_; }
  QPushButton* defaultProgramChangeButton() const { return button12_; }

 private:
  QPushButton* button(const QString& name, const QString& caption);
  // A click shows the selector's list at once, as a drop-down list in its own right would;
  // Enter opens the editor closed, for the arrow keys.
  void openSelector(const QModelIndex& index, bool showList);

  PresetMatrixModel* model_ = nullptr;
  QTableView* view_ = nullptr;
  PresetSelectorDelegate* loopSelector_ = nullptr;
  PresetSelectorDelegate* programSelector_ = nullptr;
  QPushButton* button3_ = nullptr;
  QPushButton* button8_ = nullptr;
  QPushButton* button9_ = nullptr;
  QPushButton* button10_ = nullptr;
  QPushButton* button12_ = nullptr;
};

}  // namespace tarvik
