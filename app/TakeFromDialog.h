// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <optional>

#include "app/TakeFromChoice.h"

class QCheckBox;
class QDialogButtonBox;
class QSpinBox;

namespace tarvik {

class CompareSidePicker;
class ConfiguratorCore;
class Dialogs;

// The question of "Take from...": a file (a .tvk or backup file, or a CSV of the presets), a
// setup or a snapshot of the library, or the device's last download; the parts to take from
// it (presets and CC map rows by range, the settings) and whether the loops' labels come too.
// It only asks; TakeFromActions does the rest. The button that takes is off until there is a
// source and a part.
class TakeFromDialog : public QDialog {
  Q_OBJECT
 public:
  // The dialogs and the core must outlive the dialog.
  TakeFromDialog(Dialogs& dialogs, const ConfiguratorCore& core, QWidget* parent = nullptr);

  // What is chosen now; nothing while the source, or every part and the labels, are missing.
  std::optional<TakeFromChoice> choice() const;

  CompareSidePicker* picker() const { return picker_; }
  QCheckBox* presetsBox() const { return presets_; }
  QSpinBox* presetsFrom() const { return presetsFrom_; }
  QSpinBox* presetsTo() const { return presetsTo_; }
  QCheckBox* ccMapBox() const { return ccMap_; }
  QSpinBox* ccMapFrom() const { return ccMapFrom_; }
  QSpinBox* ccMapTo() const { return ccMapTo_; }
  QCheckBox* settingsBox() const { return settings_; }
  QCheckBox* labelsBox() const { return labels_; }

 private:
  void update();

  CompareSidePicker* picker_;
  QCheckBox* presets_;
  QSpinBox* presetsFrom_;
  QSpinBox* presetsTo_;
  QCheckBox* ccMap_;
  QSpinBox* ccMapFrom_;
  QSpinBox* ccMapTo_;
  QCheckBox* settings_;
  QCheckBox* labels_;
  QDialogButtonBox* buttons_;
};

}  // namespace tarvik
