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
#include <type_traits>
#include <utility>
#include <variant>

#include "config/ChangeMarks.h"
#include "config/Configuration.h"
#include "config/ui/AdvancedSettings.h"
#include "config/ui/ClampingSpinBox.h"
#include "config/ui/SelectorItems.h"
#include "config/ui/SubmitButton.h"
#include "config/ui/WordElision.h"

namespace tarvik {
namespace {

using Kind = AdvancedSettings::Kind;

// The setting a mask's box belongs to, for its accessible name.
constexpr char kSettingProperty[] = "tarvikSetting";
// How much of a loop's label a box shows: as wide as this many "Loop8" captions.
constexpr int kLabelRoom = 2;

const AdvancedSettings::Setting& settingOf(int item) { return AdvancedSettings::setting(item); }
int item(const AdvancedSettings::Field& field) { return AdvancedSettings::item(field); }
bool isMask(int item) { return AdvancedSettings::isMask(item); }
int fieldValue(const ConfigRecord& record, int item) {
  return AdvancedSettings::value(record, item);
}
void setField(ConfigRecord& record, int item, int value) {
  AdvancedSettings::setValue(record, item, value);
}

void setIndex(QComboBox* box, int index) {
  box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

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
int itemValue(const ConfigRecord& record, int item, int bit) {
  const int value = fieldValue(record, item);
  return isMask(item) ? (value >> bit) & 1 : value;
}

}  // namespace

AdvancedSettingsTab::AdvancedSettingsTab(Configuration& configuration, QWidget* parent)
    : QWidget(parent), configuration_(configuration) {
  auto* columns = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(buildMidiGroup());
  left->addWidget(buildPushButtonGroup());
  left->addWidget(buildMagicGroup());
  left->addStretch();
  // The boxes of a named loop take two lines: the three groups of boxes share the right
  // column, and the magic pin's group, three lines taller with the expander, the left. The
  // submit button fits under the boxes.
  // Each setting, and each box of the three masks on its own.
  submit_ = new SubmitButton(kConfigRecordSize - 3 + 3 * 8, this);
  submit_->setObjectName(QStringLiteral("Button2"));
  auto* right = new QVBoxLayout;
  right->addWidget(buildMuteGroup());
  right->addWidget(buildLockGroup());
  right->addStretch();
  right->addWidget(submit_, 0, Qt::AlignLeft);
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

  connect(&configuration_, &Configuration::changed, this, [this](Block block) {
    if (block == Block::Record) showConfiguration();
  });
  connect(&configuration_, &Configuration::labelsChanged, this,
          &AdvancedSettingsTab::showLoopLabels);
  showConfiguration();
  showLoopLabels();
}

void AdvancedSettingsTab::showLoopLabels() {
  const LoopLabels& labels = configuration_.labels();
  for (int item = 0; item < kConfigRecordSize; ++item) {
    if (!isMask(item)) continue;
    for (int loop = 0; loop < LoopLabels::kLoops; ++loop) {
      auto* box = control<QCheckBox>(item, loop);
      const QString label = labels.label(loop);
      const QString setting = box->property(kSettingProperty).toString();
      const QString number = QString::number(loop + 1);
      if (label.isEmpty()) {
        box->setText(tr("Loop%1").arg(number));
        box->setToolTip({});
        box->setAccessibleName(tr("Loop%1, %2").arg(number, setting));
        continue;
      }
      // Under the loop's number, as in the matrix's heading. The boxes stand four abreast in
      // half the tab: a long label is cut after a word, and the tip gives it whole.
      const int room = kLabelRoom * box->fontMetrics().horizontalAdvance(tr("Loop%1").arg(8));
      box->setText(
          tr("Loop%1\n%2").arg(number, WordElision::elided(box->fontMetrics(), label, room)));
      box->setToolTip(tr("Loop%1 (%2)").arg(number, label));
      box->setAccessibleName(tr("Loop%1 (%2), %3").arg(number, label, setting));
    }
  }
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
    const bool mask = isMask(item);
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
  return controls_[item][isMask(item) ? bit : 0];
}

QWidget* AdvancedSettingsTab::makeControl(int item, const QString& maskName) {
  const AdvancedSettings::Setting& setting = settingOf(item);
  QWidget* made = nullptr;
  switch (setting.kind) {
    case Kind::Number: {
      auto* box = new ClampingSpinBox(this);
      box->setRange(setting.minimum, setting.maximum);
      box->setSuffix(QLatin1Char(' ') + AdvancedSettings::unit(item));
      // One edit per settled value, not one per keystroke.
      box->setKeyboardTracking(false);
      connect(box, &QSpinBox::valueChanged, this, &AdvancedSettingsTab::controlEdited);
      made = box;
      break;
    }
    case Kind::List: {
      auto* box = new QComboBox(this);
      // A list model holds the texts as they are; the combo box's own model makes an item object
      // of each, which for the lists of 128 numbers is most of the tab's building time.
      box->setModel(new QStringListModel(setting.items(), box));
      connect(box, &QComboBox::currentIndexChanged, this, &AdvancedSettingsTab::controlEdited);
      made = box;
      break;
    }
    case Kind::Check: {
      auto* box = new QCheckBox(AdvancedSettings::caption(item), this);
      connect(box, &QCheckBox::toggled, this, &AdvancedSettingsTab::controlEdited);
      made = box;
      break;
    }
    case Kind::Mask:
      return buildLoopBoxes(item, maskName);
  }
  made->setObjectName(QLatin1String(setting.name));
  controls_[item][0] = made;
  return made;
}

QWidget* AdvancedSettingsTab::buildLoopBoxes(int item, const QString& setting) {
  auto* holder = new QWidget(this);
  auto* grid = new QGridLayout(holder);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setVerticalSpacing(2);
  for (int i = 0; i < 8; ++i) {
    auto* box = new QCheckBox(this);
    box->setObjectName(QLatin1String(settingOf(item).name) + QString::number(i + 1));
    // Three sets of boxes share their captions; a screen reader, which does not see where a box
    // sits, hears which setting it belongs to.
    box->setProperty(kSettingProperty, setting);
    grid->addWidget(box, i / 4, i % 4);  // Loop1-4 above Loop5-8
    connect(box, &QCheckBox::toggled, this, &AdvancedSettingsTab::controlEdited);
    controls_[item][i] = box;
  }
  return holder;
}

QGroupBox* AdvancedSettingsTab::buildMidiGroup() {
  auto* group = new QGroupBox(AdvancedSettings::group(item(&ConfigRecord::midiChannel)), this);
  auto* form = new QFormLayout(group);
  addFormRow(*form, item(&ConfigRecord::midiChannel));
  addFormRow(*form, item(&ConfigRecord::omniMode));
  addFormRow(*form, item(&ConfigRecord::sendCcInIam));
  addFormRow(*form, item(&ConfigRecord::bypassProgram));
  addFormRow(*form, item(&ConfigRecord::ampRackMode));
  return group;
}

QGroupBox* AdvancedSettingsTab::buildPushButtonGroup() {
  auto* group = new QGroupBox(AdvancedSettings::group(item(&ConfigRecord::debounceTime)), this);
  auto* form = new QFormLayout(group);
  addFormRow(*form, item(&ConfigRecord::debounceTime));
  addFormRow(*form, item(&ConfigRecord::doublePressBypass));
  return group;
}

QGroupBox* AdvancedSettingsTab::buildMuteGroup() {
  auto* group = new QGroupBox(AdvancedSettings::group(item(&ConfigRecord::muteMask)), this);
  auto* form = new QFormLayout(group);
  addFormRow(*form, item(&ConfigRecord::muteMask), tr("mute when changes on"));
  addFormRow(*form, item(&ConfigRecord::muteBeforeDelay));
  addFormRow(*form, item(&ConfigRecord::muteAfterDelay));
  addFormRow(*form, item(&ConfigRecord::switchMask), tr("momentary switch mode"));
  addFormRow(*form, item(&ConfigRecord::switchOnTime));
  return group;
}

void AdvancedSettingsTab::addFormRow(QFormLayout& form, int item, const QString& maskName) {
  switch (settingOf(item).kind) {
    case Kind::Check:
      form.addRow(makeControl(item));
      break;
    case Kind::Mask:
      // The caption on a line of its own, the boxes in a grid under it.
      form.addRow(new QLabel(AdvancedSettings::caption(item), this));
      form.addRow(makeControl(item, maskName));
      break;
    case Kind::Number:
    case Kind::List:
      form.addRow(AdvancedSettings::caption(item), makeControl(item));
      break;
  }
}

QGroupBox* AdvancedSettingsTab::buildMagicGroup() {
  auto* group = new QGroupBox(AdvancedSettings::group(item(&ConfigRecord::magicFunction)), this);
  auto* grid = new QGridLayout(group);

  auto* function = new QFormLayout;
  addFormRow(*function, item(&ConfigRecord::magicFunction));
  grid->addLayout(function, 0, 0, Qt::AlignTop);

  ccMessagePanel_ = new QWidget(this);
  ccMessagePanel_->setObjectName(QStringLiteral("Panel1"));
  auto* panel = new QFormLayout(ccMessagePanel_);
  panel->setContentsMargins(0, 0, 0, 0);
  // Rows made from their texts: the form makes each label its list's buddy.
  addFormRow(*panel, item(&ConfigRecord::magicChannel));
  addFormRow(*panel, item(&ConfigRecord::magicChange));
  addFormRow(*panel, item(&ConfigRecord::magicValue));
  grid->addWidget(ccMessagePanel_, 0, 1, Qt::AlignTop);

  grid->addWidget(makeControl(item(&ConfigRecord::bankExpander)), 1, 0, 1, 2);
  expressionLabel_ = new QLabel(AdvancedSettings::caption(item(&ConfigRecord::expressionCC)), this);
  expressionLabel_->setObjectName(QStringLiteral("Label35"));
  QWidget* expression = makeControl(item(&ConfigRecord::expressionCC));
  expressionLabel_->setBuddy(expression);
  grid->addWidget(expressionLabel_, 2, 0);
  grid->addWidget(expression, 2, 1);
  grid->addWidget(makeControl(item(&ConfigRecord::boundlessBank)), 3, 0, 1, 2);
  return group;
}

QGroupBox* AdvancedSettingsTab::buildLockGroup() {
  const int lock = item(&ConfigRecord::lockMask);
  auto* group = new QGroupBox(AdvancedSettings::group(lock), this);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(makeControl(lock, AdvancedSettings::caption(lock)));
  return group;
}

int AdvancedSettingsTab::maskItem(const QString& prefix) const {
  for (int item = 0; item < kConfigRecordSize; ++item) {
    if (isMask(item) && prefix == QLatin1String(settingOf(item).name)) return item;
  }
  return -1;
}

std::uint8_t AdvancedSettingsTab::readCheckboxes(const QString& prefix) const {
  const int item = maskItem(prefix);
  return item >= 0 ? static_cast<std::uint8_t>(controlValue(item)) : 0;
}

void AdvancedSettingsTab::setCheckboxes(const QString& prefix, std::uint8_t mask) {
  const int item = maskItem(prefix);
  if (item < 0) return;
  ConfigRecord edited = shownRecord();
  setField(edited, item, mask);
  configuration_.editRecord(edited);
}

void AdvancedSettingsTab::UpdateMomentaryStatus() {
  for (int i = 0; i < 8; ++i) {
    controlOf(item(&ConfigRecord::switchMask), i)->setEnabled(configuration_.momentaryAllowed(i));
  }
}

void AdvancedSettingsTab::magicFunctionChange() {
  ccMessagePanel_->setVisible(
      control<QComboBox>(item(&ConfigRecord::magicFunction))->currentIndex() ==
      ConfigRecord::kMagicFunctionCcMessage);
}

void AdvancedSettingsTab::CheckBox4Click() {
  const bool expander = control<QCheckBox>(item(&ConfigRecord::bankExpander))->isChecked();
  expressionLabel_->setVisible(expander);
  controlOf(item(&ConfigRecord::expressionCC), 0)->setVisible(expander);
  controlOf(item(&ConfigRecord::boundlessBank), 0)->setVisible(expander);
}

void AdvancedSettingsTab::controlEdited() {
  if (showing_) {
    return;
  }
  configuration_.editRecord(shownRecord());
  // The rules may have refused or changed part of the edit; show what was kept.
  showConfiguration();
}

int AdvancedSettingsTab::controlValue(int item) const {
  switch (settingOf(item).kind) {
    case Kind::Number:
      return control<ClampingSpinBox>(item)->value();
    case Kind::List:
      return control<QComboBox>(item)->currentIndex();
    case Kind::Check:
      return control<QCheckBox>(item)->isChecked() ? 1 : 0;
    case Kind::Mask:
      break;
  }
  int mask = 0;
  for (int bit = 0; bit < 8; ++bit) {
    if (control<QCheckBox>(item, bit)->isChecked()) mask |= 1 << bit;
  }
  return mask;
}

void AdvancedSettingsTab::showValue(int item, int value) {
  switch (settingOf(item).kind) {
    case Kind::Number:
      control<ClampingSpinBox>(item)->setValue(value);
      break;
    case Kind::List:
      setIndex(control<QComboBox>(item), value);
      break;
    case Kind::Check:
    case Kind::Mask:
      for (int bit = 0; bit < (isMask(item) ? 8 : 1); ++bit) {
        control<QCheckBox>(item, bit)->setChecked(isMask(item) ? ((value >> bit) & 1) != 0
                                                               : value != 0);
      }
      break;
  }
}

ConfigRecord AdvancedSettingsTab::shownRecord() const {
  ConfigRecord record;
  for (int item = 0; item < kConfigRecordSize; ++item) setField(record, item, controlValue(item));
  return record;
}

void AdvancedSettingsTab::showConfiguration() {
  const ConfigRecord& record = configuration_.record();
  const bool wasShowing = std::exchange(showing_, true);
  for (int item = 0; item < kConfigRecordSize; ++item) showValue(item, fieldValue(record, item));
  showing_ = wasShowing;
  UpdateMomentaryStatus();
  magicFunctionChange();
  CheckBox4Click();
}

}  // namespace tarvik
