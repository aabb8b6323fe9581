// SPDX-License-Identifier: MIT
#include "config/AdvancedSettingsTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/ClampingSpinBox.h"
#include "config/SelectorItems.h"

namespace tarvik {
namespace {

const QString kMutePrefix = QStringLiteral("muteCB");
const QString kSwitchPrefix = QStringLiteral("switchCB");
const QString kLockPrefix = QStringLiteral("lockCB");

void setIndex(QComboBox* box, int index) {
  box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

}  // namespace

AdvancedSettingsTab::AdvancedSettingsTab(QWidget* parent) : QWidget(parent) {
  auto* columns = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(buildMidiGroup());
  left->addWidget(buildPushButtonGroup());
  left->addWidget(buildLockGroup());
  left->addStretch();
  // The right column is the taller one, so the submit button sits under the left column.
  button2_ = new QPushButton(QStringLiteral("Submit to Tarvik"), this);
  button2_->setObjectName(QStringLiteral("Button2"));
  left->addWidget(button2_, 0, Qt::AlignLeft);
  auto* right = new QVBoxLayout;
  right->addWidget(buildMuteGroup());
  right->addWidget(buildMagicGroup());
  right->addStretch();
  columns->addLayout(left);
  columns->addLayout(right);

  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(2, 2, 2, 2);
  page->addLayout(columns);
  // The tab holds many controls in little room: keep rows tight.
  for (QLayout* layout : findChildren<QLayout*>()) {
    layout->setSpacing(2);
    if (qobject_cast<QGroupBox*>(layout->parentWidget()) != nullptr) {
      layout->setContentsMargins(6, 2, 6, 4);
    }
  }

  for (QCheckBox* box : muteBoxes_) {
    connect(box, &QCheckBox::toggled, this, &AdvancedSettingsTab::UpdateMomentaryStatus);
  }
  for (QCheckBox* box : lockBoxes_) {
    connect(box, &QCheckBox::toggled, this, &AdvancedSettingsTab::UpdateLockColors);
  }
  connect(magicFunction_, &QComboBox::currentIndexChanged, this,
          &AdvancedSettingsTab::magicFunctionChange);
  connect(checkBox4_, &QCheckBox::toggled, this, &AdvancedSettingsTab::CheckBox4Click);
  magicFunctionChange();
  CheckBox4Click();
}

QCheckBox* AdvancedSettingsTab::checkBox(const QString& name, const QString& caption) {
  auto* box = new QCheckBox(caption, this);
  box->setObjectName(name);
  return box;
}

QComboBox* AdvancedSettingsTab::comboBox(const QString& name, const QStringList& items,
                                         int startIndex) {
  auto* box = new QComboBox(this);
  box->setObjectName(name);
  box->addItems(items);
  box->setCurrentIndex(startIndex);
  return box;
}

ClampingSpinBox* AdvancedSettingsTab::spinBox(const QString& name, int minimum, int maximum,
                                              int start, const QString& unit) {
  auto* box = new ClampingSpinBox(this);
  box->setObjectName(name);
  box->setRange(minimum, maximum);
  box->setSuffix(QLatin1Char(' ') + unit);
  box->setValue(start);
  return box;
}

QWidget* AdvancedSettingsTab::buildLoopBoxes(const QString& prefix,
                                             std::array<QCheckBox*, 8>& boxes) {
  auto* holder = new QWidget(this);
  auto* grid = new QGridLayout(holder);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setVerticalSpacing(2);
  for (int i = 0; i < 8; ++i) {
    boxes[i] = checkBox(prefix + QString::number(i + 1), QStringLiteral("Loop%1").arg(i + 1));
    grid->addWidget(boxes[i], i / 4, i % 4);  // Loop1-4 above Loop5-8
  }
  return holder;
}

QGroupBox* AdvancedSettingsTab::buildMidiGroup() {
  auto* group = new QGroupBox(QStringLiteral("Midi"), this);
  auto* form = new QFormLayout(group);
  comboBox1_ = comboBox(QStringLiteral("ComboBox1"), SelectorItems::numbers(1, 16), 0);
  form->addRow(QStringLiteral("Channel:"), comboBox1_);
  checkBox1_ = checkBox(QStringLiteral("CheckBox1"), QStringLiteral("Omni Mode"));
  form->addRow(checkBox1_);
  checkBox3_ =
      checkBox(QStringLiteral("CheckBox3"), QStringLiteral("Send ControllChange (#0 - #7) in IAM"));
  form->addRow(checkBox3_);
  comboBox5_ = comboBox(QStringLiteral("ComboBox5"), SelectorItems::programs(), -1);
  form->addRow(QStringLiteral("Send ProgrammChange in Master Bypass:"), comboBox5_);
  checkBox7_ =
      checkBox(QStringLiteral("CheckBox7"), QStringLiteral("Amp/Rack Mode (always \"IAM\")"));
  form->addRow(checkBox7_);
  return group;
}

QGroupBox* AdvancedSettingsTab::buildPushButtonGroup() {
  auto* group = new QGroupBox(QStringLiteral("push-buttons"), this);
  auto* form = new QFormLayout(group);
  spinEdit1_ =
      spinBox(QStringLiteral("SpinEdit1"), 0, ConfigRecord::kDebounceMax, 0, QStringLiteral("ms"));
  form->addRow(QStringLiteral("debounce time (0-254ms; default 90ms):"), spinEdit1_);
  checkBox5_ =
      checkBox(QStringLiteral("CheckBox5"), QStringLiteral("Master Bypass when pressed twice"));
  form->addRow(checkBox5_);
  return group;
}

QGroupBox* AdvancedSettingsTab::buildMuteGroup() {
  auto* group = new QGroupBox(QStringLiteral("Output mute / momentary switch mode"), this);
  auto* form = new QFormLayout(group);
  form->addRow(new QLabel(QStringLiteral("mute when changes on (loop mode):"), this));
  form->addRow(buildLoopBoxes(kMutePrefix, muteBoxes_));
  spinEdit2_ =
      spinBox(QStringLiteral("SpinEdit2"), 0, ConfigRecord::kByteMax, 0, QStringLiteral("ms"));
  form->addRow(QStringLiteral("before delay (0-255ms):"), spinEdit2_);
  spinEdit3_ =
      spinBox(QStringLiteral("SpinEdit3"), 0, ConfigRecord::kByteMax, 0, QStringLiteral("ms"));
  form->addRow(QStringLiteral("after delay (0-255ms):"), spinEdit3_);
  form->addRow(new QLabel(QStringLiteral("momentary switch mode:"), this));
  form->addRow(buildLoopBoxes(kSwitchPrefix, switchBoxes_));
  spinEdit4_ = spinBox(QStringLiteral("SpinEdit4"), ConfigRecord::kOnTimeMin,
                       ConfigRecord::kByteMax, 10, QStringLiteral("*10 ms"));
  form->addRow(QStringLiteral("on time (momentary switch mode):"), spinEdit4_);
  return group;
}

QGroupBox* AdvancedSettingsTab::buildMagicGroup() {
  auto* group = new QGroupBox(QStringLiteral("Magic Pin 20"), this);
  auto* grid = new QGridLayout(group);

  magicFunction_ = comboBox(QStringLiteral("magicFunction"), SelectorItems::magicFunctions(), -1);
  auto* function = new QFormLayout;
  function->addRow(QStringLiteral("Function:"), magicFunction_);
  grid->addLayout(function, 0, 0, Qt::AlignTop);

  panel1_ = new QWidget(this);
  panel1_->setObjectName(QStringLiteral("Panel1"));
  auto* panel = new QFormLayout(panel1_);
  panel->setContentsMargins(0, 0, 0, 0);
  magicChannel_ = comboBox(QStringLiteral("magicChannel"), SelectorItems::numbers(1, 16), 0);
  magicChange_ = comboBox(QStringLiteral("magicChange"), SelectorItems::numbers(1, 128), 0);
  magicValue_ = comboBox(QStringLiteral("magicValue"), SelectorItems::numbers(0, 128), 0);
  panel->addRow(new QLabel(QStringLiteral("Midi Channel:"), panel1_), magicChannel_);
  panel->addRow(new QLabel(QStringLiteral("Controll Change:"), panel1_), magicChange_);
  panel->addRow(new QLabel(QStringLiteral("Value:"), panel1_), magicValue_);
  grid->addWidget(panel1_, 0, 1, Qt::AlignTop);

  checkBox4_ =
      checkBox(QStringLiteral("CheckBox4"), QStringLiteral("Bank Selection Expander on Pin 20"));
  grid->addWidget(checkBox4_, 1, 0, 1, 2);
  label35_ = new QLabel(QStringLiteral("Expression Pedal CC Nr:"), this);
  label35_->setObjectName(QStringLiteral("Label35"));
  expressionCC_ = comboBox(QStringLiteral("expressionCC"), SelectorItems::programs(), -1);
  grid->addWidget(label35_, 2, 0);
  grid->addWidget(expressionCC_, 2, 1);
  checkBox6_ = checkBox(QStringLiteral("CheckBox6"), QStringLiteral("boundless Bank UP/DOWN"));
  grid->addWidget(checkBox6_, 3, 0, 1, 2);
  return group;
}

QGroupBox* AdvancedSettingsTab::buildLockGroup() {
  auto* group = new QGroupBox(QStringLiteral("group 1 of n / interlocking function"), this);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(buildLoopBoxes(kLockPrefix, lockBoxes_));
  return group;
}

const std::array<QCheckBox*, 8>* AdvancedSettingsTab::boxesFor(const QString& prefix) const {
  if (prefix == kMutePrefix) {
    return &muteBoxes_;
  }
  if (prefix == kSwitchPrefix) {
    return &switchBoxes_;
  }
  if (prefix == kLockPrefix) {
    return &lockBoxes_;
  }
  return nullptr;
}

std::uint8_t AdvancedSettingsTab::readCheckboxes(const QString& prefix) const {
  const auto* boxes = boxesFor(prefix);
  if (boxes == nullptr) {
    return 0;
  }
  std::uint8_t mask = 0;
  for (int i = 0; i < 8; ++i) {
    if ((*boxes)[i]->isChecked()) {
      mask |= static_cast<std::uint8_t>(1U << i);
    }
  }
  return mask;
}

void AdvancedSettingsTab::setCheckboxes(const QString& prefix, std::uint8_t mask) {
  const auto* boxes = boxesFor(prefix);
  if (boxes == nullptr) {
    return;
  }
  // setChecked emits toggled only for a real change, which runs that box's editing rule.
  for (int i = 0; i < 8; ++i) {
    (*boxes)[i]->setChecked((mask >> i) & 1U);
  }
}

void AdvancedSettingsTab::UpdateMomentaryStatus() {
  for (int i = 0; i < 8; ++i) {
    const bool muted = muteBoxes_[i]->isChecked();
    if (muted) {
      switchBoxes_[i]->setChecked(false);
    }
    switchBoxes_[i]->setEnabled(!muted);
  }
}

void AdvancedSettingsTab::magicFunctionChange() {
  panel1_->setVisible(magicFunction_->currentIndex() == ConfigRecord::kMagicFunctionCcMessage);
}

void AdvancedSettingsTab::CheckBox4Click() {
  const bool expander = checkBox4_->isChecked();
  label35_->setVisible(expander);
  expressionCC_->setVisible(expander);
  checkBox6_->setVisible(expander);
}

void AdvancedSettingsTab::UpdateLockColors() {
  Q_EMIT lockMaskChanged(readCheckboxes(kLockPrefix));
}

ConfigRecord AdvancedSettingsTab::record() const {
  ConfigRecord record;
  record.debounceTime = spinEdit1_->value();
  record.midiChannel = comboBox1_->currentIndex();
  record.omniMode = checkBox1_->isChecked();
  record.muteMask = readCheckboxes(kMutePrefix);
  record.muteBeforeDelay = spinEdit2_->value();
  record.muteAfterDelay = spinEdit3_->value();
  record.switchMask = readCheckboxes(kSwitchPrefix);
  record.switchOnTime = spinEdit4_->value();
  record.magicFunction = magicFunction_->currentIndex();
  record.magicChannel = magicChannel_->currentIndex();
  record.magicChange = magicChange_->currentIndex();
  record.magicValue = magicValue_->currentIndex();
  record.sendCcInIam = checkBox3_->isChecked();
  record.bankExpander = checkBox4_->isChecked();
  record.doublePressBypass = checkBox5_->isChecked();
  record.bypassProgram = comboBox5_->currentIndex();
  record.expressionCC = expressionCC_->currentIndex();
  record.boundlessBank = checkBox6_->isChecked();
  record.ampRackMode = checkBox7_->isChecked();
  record.lockMask = readCheckboxes(kLockPrefix);
  return record;
}

void AdvancedSettingsTab::setRecord(const ConfigRecord& record) {
  setIndex(comboBox1_, record.midiChannel);
  checkBox1_->setChecked(record.omniMode);
  spinEdit1_->setValue(record.debounceTime);
  spinEdit2_->setValue(record.muteBeforeDelay);
  spinEdit3_->setValue(record.muteAfterDelay);
  setCheckboxes(kMutePrefix, record.muteMask);
  setCheckboxes(kSwitchPrefix, record.switchMask);
  spinEdit4_->setValue(record.switchOnTime);
  setIndex(magicFunction_, record.magicFunction);
  magicFunctionChange();
  setIndex(magicChannel_, record.magicChannel);
  setIndex(magicChange_, record.magicChange);
  setIndex(magicValue_, record.magicValue);
  checkBox3_->setChecked(record.sendCcInIam);
  checkBox4_->setChecked(record.bankExpander);
  checkBox5_->setChecked(record.doublePressBypass);
  setIndex(comboBox5_, record.bypassProgram);
  setIndex(expressionCC_, record.expressionCC);
  checkBox6_->setChecked(record.boundlessBank);
  checkBox7_->setChecked(record.ampRackMode);
  setCheckboxes(kLockPrefix, record.lockMask);
}

std::array<std::uint8_t, kConfigRecordSize> AdvancedSettingsTab::configRecord() const {
  return record().toBytes();
}

void AdvancedSettingsTab::applyConfigRecord(
    std::span<const std::uint8_t, kConfigRecordSize> items) {
  ConfigRecord received = record();
  received.apply(items);
  setRecord(received);
}

}  // namespace tarvik
