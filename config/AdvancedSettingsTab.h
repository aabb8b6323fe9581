// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <span>

#include "config/ConfigRecord.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace tarvik {

class ClampingSpinBox;

// Contents of the "Advanced settings" tab: the controls of the configuration record and their
// editing rules. The controls are the store of the settings; the record is built from them on
// demand. A box changed by the program runs the same rule as a click.
class AdvancedSettingsTab : public QWidget {
  Q_OBJECT
 public:
  explicit AdvancedSettingsTab(QWidget* parent = nullptr);

  std::array<std::uint8_t, kConfigRecordSize> configRecord() const;
  void applyConfigRecord(std::span<const std::uint8_t, kConfigRecordSize> items);

  ConfigRecord record() const;
  // Writes every control in the order a received record is applied: the mute boxes before the
  // momentary boxes, so a loop with both bits shows a ticked but disabled momentary box.
  void setRecord(const ConfigRecord& record);

  // Box i of prefix + "1".."8" stands for bit i-1; prefixes "muteCB", "switchCB", "lockCB".
  std::uint8_t readCheckboxes(const QString& prefix) const;
  void setCheckboxes(const QString& prefix, std::uint8_t mask);

  // Editing rules, public so that the window and tests can run them like the controls do.
  void UpdateMomentaryStatus();
  void magicFunctionChange();
  void CheckBox4Click();
  void UpdateLockColors();

  QPushButton* submitButton() const { return button2_; }

 Q_SIGNALS:
  // The interlock group changed; the preset matrix recolours its loop columns.
  void lockMaskChanged(quint8 mask);

 private:
  QGroupBox* buildMidiGroup();
  QGroupBox* buildPushButtonGroup();
  QGroupBox* buildMuteGroup();
  QGroupBox* buildMagicGroup();
  QGroupBox* buildLockGroup();
  QWidget* buildLoopBoxes(const QString& prefix, std::array<QCheckBox*, 8>& boxes);
  QCheckBox* checkBox(const QString& name, const QString& caption);
  QComboBox* comboBox(const QString& name, const QStringList& items, int startIndex);
  ClampingSpinBox* spinBox(const QString& name, int minimum, int maximum, int start,
                           const QString& unit);
  const std::array<QCheckBox*, 8>* boxesFor(const QString& prefix) const;

  ClampingSpinBox* spinEdit1_ = nullptr;
  ClampingSpinBox* spinEdit2_ = nullptr;
  ClampingSpinBox* spinEdit3_ = nullptr;
  ClampingSpinBox* spinEdit4_ = nullptr;
  QComboBox* comboBox1_ = nullptr;
  QComboBox* comboBox5_ = nullptr;
  QComboBox* magicFunction_ = nullptr;
  QComboBox* magicChannel_ = nullptr;
  QComboBox* magicChange_ = nullptr;
  QComboBox* magicValue_ = nullptr;
  QComboBox* expressionCC_ = nullptr;
  QCheckBox* checkBox1_ = nullptr;
  QCheckBox* checkBox3_ = nullptr;
  QCheckBox* checkBox4_ = nullptr;
  QCheckBox* checkBox5_ = nullptr;
  QCheckBox* checkBox6_ = nullptr;
  QCheckBox* checkBox7_ = nullptr;
  QLabel* label35_ = nullptr;
  QWidget* panel1_ = nullptr;
  QPushButton* button2_ = nullptr;
  std::array<QCheckBox*, 8> muteBoxes_{};
  std::array<QCheckBox*, 8> switchBoxes_{};
  std::array<QCheckBox*, 8> lockBoxes_{};
};

}  // namespace tarvik
