// SPDX-License-Identifier: MIT
#include "config/ui/AdvancedSettingsTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>
#include <optional>
#include <span>
#include <utility>

#include "config/ChangeMarks.h"
#include "config/Configuration.h"
#include "config/ui/ClampingSpinBox.h"
#include "config/ui/SelectorItems.h"
#include "config/ui/SubmitButton.h"

namespace tarvik {
namespace {

const QString kMutePrefix = QStringLiteral("muteCB");
const QString kSwitchPrefix = QStringLiteral("switchCB");
const QString kLockPrefix = QStringLiteral("lockCB");

void setIndex(QComboBox* box, int index) {
  box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

// Record items whose value is a mask of eight boxes.
constexpr int kMuteItem = 3;
constexpr int kSwitchItem = 6;
constexpr int kLockItem = 19;

void setMarked(QWidget* control, bool marked) {
  if (control->font().bold() == marked) return;
  QFont font = control->font();
  font.setBold(marked);
  control->setFont(font);
}

// The record as the device holds it, while that is known.
std::optional<ConfigRecord> deviceRecord(const ChangeMarks& marks) {
  const QByteArray& bytes = marks.device(Block::Record);
  if (bytes.size() != kConfigRecordSize) return std::nullopt;
  ConfigRecord record;
  record.apply(std::span<const std::uint8_t, kConfigRecordSize>(
      reinterpret_cast<const std::uint8_t*>(bytes.constData()), kConfigRecordSize));
  return record;
}

// Record item `item` as its control takes it (for a mask, bit `bit` as one box): a number, an
// item index, or 0 and 1 for a check box.
int itemValue(const ConfigRecord& r, int item, int bit) {
  // In the order of the record's wire bytes, as controlOf().
  const std::array<int, kConfigRecordSize> values = {r.debounceTime,
                                                     r.midiChannel,
                                                     r.omniMode,
                                                     (r.muteMask >> bit) & 1,
                                                     r.muteBeforeDelay,
                                                     r.muteAfterDelay,
                                                     (r.switchMask >> bit) & 1,
                                                     r.switchOnTime,
                                                     r.magicFunction,
                                                     r.magicChannel,
                                                     r.magicChange,
                                                     r.magicValue,
                                                     r.sendCcInIam,
                                                     r.bankExpander,
                                                     r.doublePressBypass,
                                                     r.bypassProgram,
                                                     r.expressionCC,
                                                     r.boundlessBank,
                                                     r.ampRackMode,
                                                     (r.lockMask >> bit) & 1};
  return values[item];
}

}  // namespace

AdvancedSettingsTab::AdvancedSettingsTab(Configuration& configuration, QWidget* parent)
    : QWidget(parent), configuration_(configuration) {
  auto* columns = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(buildMidiGroup());
  left->addWidget(buildPushButtonGroup());
  left->addWidget(buildLockGroup());
  left->addStretch();
  // The right column is the taller one, so the submit button sits under the left column.
  // Each setting, and each box of the three masks on its own.
  submit_ = new SubmitButton(kConfigRecordSize - 3 + 3 * 8, this);
  submit_->setObjectName(QStringLiteral("Button2"));
  left->addWidget(submit_, 0, Qt::AlignLeft);
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

  bindControls();
  connect(&configuration_, &Configuration::changed, this, [this](Block block) {
    if (block == Block::Record) showConfiguration();
  });
  showConfiguration();
}

void AdvancedSettingsTab::setChangeMarks(const ChangeMarks* marks) {
  if (marks_ != nullptr) disconnect(marks_, nullptr, this, nullptr);
  marks_ = marks;
  if (marks_ != nullptr) {
    connect(marks_, &ChangeMarks::marksChanged, this, [this](Block block) {
      if (block == Block::Record) showMarks();
    });
  }
  showMarks();
}

void AdvancedSettingsTab::showMarks() {
  const std::optional<ConfigRecord> held =
      marks_ != nullptr ? deviceRecord(*marks_) : std::optional<ConfigRecord>();
  for (int item = 0; item < kConfigRecordSize; ++item) {
    const std::uint8_t difference = marks_ != nullptr ? marks_->difference(Block::Record, item) : 0;
    const bool mask = item == kMuteItem || item == kSwitchItem || item == kLockItem;
    for (int bit = 0; bit < (mask ? 8 : 1); ++bit) {
      QWidget* control = controlOf(item, bit);
      const bool marked = mask ? ((difference >> bit) & 1U) != 0 : difference != 0;
      setMarked(control, marked);
      // Bold is lost on a screen reader: the description says it, and what the device holds.
      const QString description = marked && held
                                      ? tr("changed; the Tarvik holds %1")
                                            .arg(shownAs(control, itemValue(*held, item, bit)))
                                      : QString();
      if (control->accessibleDescription() != description) {
        control->setAccessibleDescription(description);
      }
    }
  }
  submit_->showChangeCount(marks_ != nullptr ? marks_->changeCount(Block::Record) : 0);
}

QPushButton* AdvancedSettingsTab::submitButton() const { return submit_; }

QString AdvancedSettingsTab::shownAs(const QWidget* control, int value) const {
  if (const auto* number = qobject_cast<const ClampingSpinBox*>(control)) {
    return number->textFor(value);
  }
  if (const auto* list = qobject_cast<const QComboBox*>(control)) {
    return value >= 0 && value < list->count() ? list->itemText(value) : tr("no selection");
  }
  return value != 0 ? tr("checked") : tr("unchecked");
}

QWidget* AdvancedSettingsTab::controlOf(int item, int bit) const {
  // In the order of the record's wire bytes.
  const std::array<QWidget*, kConfigRecordSize> controls = {
      debounceTime_,   midiChannel_,      omniMode_,      muteBoxes_[bit], muteBeforeDelay_,
      muteAfterDelay_, switchBoxes_[bit], switchOnTime_,  magicFunction_,  magicChannel_,
      magicChange_,    magicValue_,       sendCcInIam_,   bankExpander_,   doublePressBypass_,
      bypassProgram_,  expressionCC_,     boundlessBank_, ampRackMode_,    lockBoxes_[bit]};
  return controls[item];
}

void AdvancedSettingsTab::bindControls() {
  for (ClampingSpinBox* box : {debounceTime_, muteBeforeDelay_, muteAfterDelay_, switchOnTime_}) {
    // One edit per settled value, not one per keystroke.
    box->setKeyboardTracking(false);
    connect(box, &QSpinBox::valueChanged, this, &AdvancedSettingsTab::controlEdited);
  }
  for (QComboBox* box : {midiChannel_, bypassProgram_, magicFunction_, magicChannel_, magicChange_,
                         magicValue_, expressionCC_}) {
    connect(box, &QComboBox::currentIndexChanged, this, &AdvancedSettingsTab::controlEdited);
  }
  for (QCheckBox* box :
       {omniMode_, sendCcInIam_, bankExpander_, doublePressBypass_, boundlessBank_, ampRackMode_}) {
    connect(box, &QCheckBox::toggled, this, &AdvancedSettingsTab::controlEdited);
  }
  for (const auto* boxes : {&muteBoxes_, &switchBoxes_, &lockBoxes_}) {
    for (QCheckBox* box : *boxes) {
      connect(box, &QCheckBox::toggled, this, &AdvancedSettingsTab::controlEdited);
    }
  }
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
  // A list model holds the texts as they are; the combo box's own model makes an item object of
  // each, which for the lists of 128 numbers is most of the tab's building time.
  box->setModel(new QStringListModel(items, box));
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
  // Three sets of boxes share their captions; a screen reader, which does not see where a box
  // sits, hears which setting it belongs to.
  const QString setting = prefix == kMutePrefix     ? tr("mute when changes on")
                          : prefix == kSwitchPrefix ? tr("momentary switch mode")
                                                    : tr("interlocking group");
  for (int i = 0; i < 8; ++i) {
    boxes[i] = checkBox(prefix + QString::number(i + 1), tr("Loop%1").arg(i + 1));
    boxes[i]->setAccessibleName(tr("Loop%1, %2").arg(i + 1).arg(setting));
    grid->addWidget(boxes[i], i / 4, i % 4);  // Loop1-4 above Loop5-8
  }
  return holder;
}

QGroupBox* AdvancedSettingsTab::buildMidiGroup() {
  auto* group = new QGroupBox(tr("Midi"), this);
  auto* form = new QFormLayout(group);
  midiChannel_ = comboBox(QStringLiteral("ComboBox1"), SelectorItems::numbers(1, 16), 0);
  form->addRow(tr("Channel:"), midiChannel_);
  omniMode_ = checkBox(QStringLiteral("CheckBox1"), tr("Omni Mode"));
  form->addRow(omniMode_);
  sendCcInIam_ = checkBox(QStringLiteral("CheckBox3"), tr("Send ControllChange (#0 - #7) in IAM"));
  form->addRow(sendCcInIam_);
  bypassProgram_ = comboBox(QStringLiteral("ComboBox5"), SelectorItems::programs(), -1);
  form->addRow(tr("Send ProgrammChange in Master Bypass:"), bypassProgram_);
  ampRackMode_ = checkBox(QStringLiteral("CheckBox7"), tr("Amp/Rack Mode (always \"IAM\")"));
  form->addRow(ampRackMode_);
  return group;
}

QGroupBox* AdvancedSettingsTab::buildPushButtonGroup() {
  auto* group = new QGroupBox(tr("push-buttons"), this);
  auto* form = new QFormLayout(group);
  debounceTime_ = spinBox(QStringLiteral("SpinEdit1"), 0, ConfigRecord::kDebounceMax, 0, tr("ms"));
  form->addRow(tr("debounce time (0-254ms; default 90ms):"), debounceTime_);
  doublePressBypass_ =
      checkBox(QStringLiteral("CheckBox5"), tr("Master Bypass when pressed twice"));
  form->addRow(doublePressBypass_);
  return group;
}

QGroupBox* AdvancedSettingsTab::buildMuteGroup() {
  auto* group = new QGroupBox(tr("Output mute / momentary switch mode"), this);
  auto* form = new QFormLayout(group);
  form->addRow(new QLabel(tr("mute when changes on (loop mode):"), this));
  form->addRow(buildLoopBoxes(kMutePrefix, muteBoxes_));
  muteBeforeDelay_ = spinBox(QStringLiteral("SpinEdit2"), 0, ConfigRecord::kByteMax, 0, tr("ms"));
  form->addRow(tr("before delay (0-255ms):"), muteBeforeDelay_);
  muteAfterDelay_ = spinBox(QStringLiteral("SpinEdit3"), 0, ConfigRecord::kByteMax, 0, tr("ms"));
  form->addRow(tr("after delay (0-255ms):"), muteAfterDelay_);
  form->addRow(new QLabel(tr("momentary switch mode:"), this));
  form->addRow(buildLoopBoxes(kSwitchPrefix, switchBoxes_));
  switchOnTime_ = spinBox(QStringLiteral("SpinEdit4"), ConfigRecord::kOnTimeMin,
                          ConfigRecord::kByteMax, 10, tr("*10 ms"));
  form->addRow(tr("on time (momentary switch mode):"), switchOnTime_);
  return group;
}

QGroupBox* AdvancedSettingsTab::buildMagicGroup() {
  auto* group = new QGroupBox(tr("Magic Pin 20"), this);
  auto* grid = new QGridLayout(group);

  magicFunction_ = comboBox(QStringLiteral("magicFunction"), SelectorItems::magicFunctions(), -1);
  auto* function = new QFormLayout;
  function->addRow(tr("Function:"), magicFunction_);
  grid->addLayout(function, 0, 0, Qt::AlignTop);

  ccMessagePanel_ = new QWidget(this);
  ccMessagePanel_->setObjectName(QStringLiteral("Panel1"));
  auto* panel = new QFormLayout(ccMessagePanel_);
  panel->setContentsMargins(0, 0, 0, 0);
  magicChannel_ = comboBox(QStringLiteral("magicChannel"), SelectorItems::numbers(1, 16), 0);
  magicChange_ = comboBox(QStringLiteral("magicChange"), SelectorItems::numbers(1, 128), 0);
  magicValue_ = comboBox(QStringLiteral("magicValue"), SelectorItems::numbers(0, 128), 0);
  // Rows made from their texts: the form makes each label its list's buddy.
  panel->addRow(tr("Midi Channel:"), magicChannel_);
  panel->addRow(tr("Controll Change:"), magicChange_);
  panel->addRow(tr("Value:"), magicValue_);
  grid->addWidget(ccMessagePanel_, 0, 1, Qt::AlignTop);

  bankExpander_ = checkBox(QStringLiteral("CheckBox4"), tr("Bank Selection Expander on Pin 20"));
  grid->addWidget(bankExpander_, 1, 0, 1, 2);
  expressionLabel_ = new QLabel(tr("Expression Pedal CC Nr:"), this);
  expressionLabel_->setObjectName(QStringLiteral("Label35"));
  expressionCC_ = comboBox(QStringLiteral("expressionCC"), SelectorItems::programs(), -1);
  expressionLabel_->setBuddy(expressionCC_);
  grid->addWidget(expressionLabel_, 2, 0);
  grid->addWidget(expressionCC_, 2, 1);
  boundlessBank_ = checkBox(QStringLiteral("CheckBox6"), tr("boundless Bank UP/DOWN"));
  grid->addWidget(boundlessBank_, 3, 0, 1, 2);
  return group;
}

QGroupBox* AdvancedSettingsTab::buildLockGroup() {
  auto* group = new QGroupBox(tr("group 1 of n / interlocking function"), this);
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
  ConfigRecord edited = shownRecord();
  std::uint8_t& field = prefix == kMutePrefix     ? edited.muteMask
                        : prefix == kSwitchPrefix ? edited.switchMask
                                                  : edited.lockMask;
  field = mask;
  configuration_.editRecord(edited);
}

void AdvancedSettingsTab::UpdateMomentaryStatus() {
  for (int i = 0; i < 8; ++i) {
    switchBoxes_[i]->setEnabled(configuration_.momentaryAllowed(i));
  }
}

void AdvancedSettingsTab::magicFunctionChange() {
  ccMessagePanel_->setVisible(magicFunction_->currentIndex() ==
                              ConfigRecord::kMagicFunctionCcMessage);
}

void AdvancedSettingsTab::CheckBox4Click() {
  const bool expander = bankExpander_->isChecked();
  expressionLabel_->setVisible(expander);
  expressionCC_->setVisible(expander);
  boundlessBank_->setVisible(expander);
}

void AdvancedSettingsTab::controlEdited() {
  if (showing_) {
    return;
  }
  configuration_.editRecord(shownRecord());
  // The rules may have refused or changed part of the edit; show what was kept.
  showConfiguration();
}

ConfigRecord AdvancedSettingsTab::shownRecord() const {
  ConfigRecord record;
  record.debounceTime = debounceTime_->value();
  record.midiChannel = midiChannel_->currentIndex();
  record.omniMode = omniMode_->isChecked();
  record.muteMask = readCheckboxes(kMutePrefix);
  record.muteBeforeDelay = muteBeforeDelay_->value();
  record.muteAfterDelay = muteAfterDelay_->value();
  record.switchMask = readCheckboxes(kSwitchPrefix);
  record.switchOnTime = switchOnTime_->value();
  record.magicFunction = magicFunction_->currentIndex();
  record.magicChannel = magicChannel_->currentIndex();
  record.magicChange = magicChange_->currentIndex();
  record.magicValue = magicValue_->currentIndex();
  record.sendCcInIam = sendCcInIam_->isChecked();
  record.bankExpander = bankExpander_->isChecked();
  record.doublePressBypass = doublePressBypass_->isChecked();
  record.bypassProgram = bypassProgram_->currentIndex();
  record.expressionCC = expressionCC_->currentIndex();
  record.boundlessBank = boundlessBank_->isChecked();
  record.ampRackMode = ampRackMode_->isChecked();
  record.lockMask = readCheckboxes(kLockPrefix);
  return record;
}

void AdvancedSettingsTab::showConfiguration() {
  const ConfigRecord& record = configuration_.record();
  const bool wasShowing = std::exchange(showing_, true);
  setIndex(midiChannel_, record.midiChannel);
  omniMode_->setChecked(record.omniMode);
  debounceTime_->setValue(record.debounceTime);
  muteBeforeDelay_->setValue(record.muteBeforeDelay);
  muteAfterDelay_->setValue(record.muteAfterDelay);
  for (int i = 0; i < 8; ++i) {
    muteBoxes_[i]->setChecked((record.muteMask >> i) & 1U);
    switchBoxes_[i]->setChecked((record.switchMask >> i) & 1U);
    lockBoxes_[i]->setChecked((record.lockMask >> i) & 1U);
  }
  switchOnTime_->setValue(record.switchOnTime);
  setIndex(magicFunction_, record.magicFunction);
  setIndex(magicChannel_, record.magicChannel);
  setIndex(magicChange_, record.magicChange);
  setIndex(magicValue_, record.magicValue);
  sendCcInIam_->setChecked(record.sendCcInIam);
  bankExpander_->setChecked(record.bankExpander);
  doublePressBypass_->setChecked(record.doublePressBypass);
  setIndex(bypassProgram_, record.bypassProgram);
  setIndex(expressionCC_, record.expressionCC);
  boundlessBank_->setChecked(record.boundlessBank);
  ampRackMode_->setChecked(record.ampRackMode);
  showing_ = wasShowing;
  UpdateMomentaryStatus();
  magicFunctionChange();
  CheckBox4Click();
}

}  // namespace tarvik
