// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

#include "config/ConfigRecord.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QPushButton;

namespace tarvik {

class ChangeMarks;
class SubmitButton;
class Configuration;

// Contents of the "Advanced settings" tab: one control per item of the configuration record,
// bound to the configuration. A user's change of a control goes to the configuration as an
// edit (which applies the record's rules); whatever changes the configuration shows here.
// The controls keep the object names of the window's layout (SpinEdit1, ComboBox1, muteCB1..).
class AdvancedSettingsTab : public QWidget {
  Q_OBJECT
 public:
  explicit AdvancedSettingsTab(Configuration& configuration, QWidget* parent = nullptr);

  // The record as the controls show it.
  ConfigRecord shownRecord() const;

  // Box i of prefix + "1".."8" stands for bit i-1; prefixes "muteCB", "switchCB", "lockCB".
  std::uint8_t readCheckboxes(const QString& prefix) const;
  // Ticks the boxes as a user would, so the editing rules run.
  void setCheckboxes(const QString& prefix, std::uint8_t mask);

  // What the controls show beyond their values, from the configuration: momentary boxes of
  // muted loops are disabled, the CC-message panel shows only for "CC Message", the expander's
  // controls only while it is on.
  void UpdateMomentaryStatus();
  void magicFunctionChange();
  void CheckBox4Click();

  QPushButton* submitButton() const;
  // Shows in bold the controls whose value differs from the device, and counts them on the
  // submit button.
  void setChangeMarks(const ChangeMarks* marks);

 private:
  QGroupBox* buildMidiGroup();
  QGroupBox* buildPushButtonGroup();
  QGroupBox* buildMuteGroup();
  QGroupBox* buildMagicGroup();
  QGroupBox* buildLockGroup();
  // Record item `item` as a row of `form`, with its caption as the settings table has it; a
  // mask's boxes take `maskName` as the name a screen reader gives them.
  void addFormRow(QFormLayout& form, int item, const QString& maskName = {});
  // Makes the control of record item `item` as its row of the settings table (AdvancedSettings)
  // says, or a mask's eight boxes in a grid named `maskName` for a screen reader, each bound to
  // controlEdited(); the caller places what it returns.
  QWidget* makeControl(int item, const QString& maskName = {});
  QWidget* buildLoopBoxes(int item, const QString& setting);
  int maskItem(const QString& prefix) const;
  // The value the controls of record item `item` show, and showing one.
  int controlValue(int item) const;
  void showValue(int item, int value);
  // A control changed: by the user, unless the configuration is being shown.
  void controlEdited();
  void showConfiguration();
  void showMarks();
  // The mask boxes' captions: "Loop3", with the loop's label beside it when it has one.
  void showLoopLabels();
  // The text `control` shows while it holds `value`: a number, an item index, or 0 or 1 for a
  // check box.
  QString shownAs(const QWidget* control, int value) const;
  // The control of record item `item` (0..19) with bit `bit` of its value: masks have one box
  // per bit, every other item one control.
  QWidget* controlOf(int item, int bit) const;
  template <typename Control>
  Control* control(int item, int bit = 0) const {
    return static_cast<Control*>(controlOf(item, bit));
  }

  Configuration& configuration_;
  const ChangeMarks* marks_ = nullptr;
  bool showing_ = false;

  // Per record item its control, or a mask's eight boxes.
  std::array<std::array<QWidget*, 8>, kConfigRecordSize> controls_{};
  QLabel* expressionLabel_ = nullptr;
  QWidget* ccMessagePanel_ = nullptr;
  SubmitButton* submit_ = nullptr;
};

}  // namespace tarvik
