// SPDX-License-Identifier: MIT
#include "config/ui/AdvancedSettings.h"

#include <type_traits>

#include "config/ui/SelectorItems.h"

namespace tarvik {
namespace {

// The tab's words keep the tab's own translations.
constexpr char kTab[] = "tarvik::AdvancedSettingsTab";
const char* const kMidi = QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "Midi");
const char* const kPushButtons = QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "push-buttons");
const char* const kMute =
    QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "Output mute / momentary switch mode");
const char* const kMagic = QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "Magic Pin 20");
const char* const kLock =
    QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "group 1 of n / interlocking function");
const char* const kMs = QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "ms");
const char* const kNoSelection = QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "no selection");

using Kind = AdvancedSettings::Kind;

const std::array<AdvancedSettings::Setting, kConfigRecordSize> kSettings = {{
    {Kind::Number, &ConfigRecord::debounceTime, "SpinEdit1", 0, ConfigRecord::kDebounceMax, nullptr,
     kPushButtons,
     QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "debounce time (0-254ms; default 90ms):"),
     kMs},
    {Kind::List, &ConfigRecord::midiChannel, "ComboBox1", 0, 0,
     [] { return SelectorItems::numbers(1, 16); }, kMidi,
     QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "Channel:")},
    {Kind::Check, &ConfigRecord::omniMode, "CheckBox1", 0, 0, nullptr, kMidi,
     QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "Omni Mode")},
    {Kind::Mask, &ConfigRecord::muteMask, "muteCB", 0, 0, nullptr, kMute,
     QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "mute when changes on (loop mode):")},
    {Kind::Number, &ConfigRecord::muteBeforeDelay, "SpinEdit2", 0, ConfigRecord::kByteMax, nullptr,
     kMute, QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "before delay (0-255ms):"), kMs},
    {Kind::Number, &ConfigRecord::muteAfterDelay, "SpinEdit3", 0, ConfigRecord::kByteMax, nullptr,
     kMute, QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "after delay (0-255ms):"), kMs},
    {Kind::Mask, &ConfigRecord::switchMask, "switchCB", 0, 0, nullptr, kMute,
     QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "momentary switch mode:")},
    {Kind::Number, &ConfigRecord::switchOnTime, "SpinEdit4", ConfigRecord::kOnTimeMin,
     ConfigRecord::kByteMax, nullptr, kMute,
     QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "on time (momentary switch mode):"),
     QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "*10 ms")},
    {Kind::List, &ConfigRecord::magicFunction, "magicFunction", 0, 0,
     &SelectorItems::magicFunctions, kMagic,
     QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "Function:")},
    {Kind::List, &ConfigRecord::magicChannel, "magicChannel", 0, 0,
     [] { return SelectorItems::numbers(1, 16); }, kMagic,
     QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "Midi Channel:")},
    {Kind::List, &ConfigRecord::magicChange, "magicChange", 0, 0,
     [] { return SelectorItems::numbers(1, 128); }, kMagic,
     QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "Controll Change:")},
    {Kind::List, &ConfigRecord::magicValue, "magicValue", 0, 0,
     [] { return SelectorItems::numbers(0, 128); }, kMagic,
     QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "Value:")},
    {Kind::Check, &ConfigRecord::sendCcInIam, "CheckBox3", 0, 0, nullptr, kMidi,
     QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "Send ControllChange (#0 - #7) in IAM")},
    {Kind::Check, &ConfigRecord::bankExpander, "CheckBox4", 0, 0, nullptr, kMagic,
     QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "Bank Selection Expander on Pin 20")},
    {Kind::Check, &ConfigRecord::doublePressBypass, "CheckBox5", 0, 0, nullptr, kPushButtons,
     QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "Master Bypass when pressed twice")},
    {Kind::List, &ConfigRecord::bypassProgram, "ComboBox5", 0, 0, &SelectorItems::programs, kMidi,
     QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "Send ProgrammChange in Master Bypass:")},
    {Kind::List, &ConfigRecord::expressionCC, "expressionCC", 0, 0, &SelectorItems::programs,
     kMagic, QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "Expression Pedal CC Nr:")},
    {Kind::Check, &ConfigRecord::boundlessBank, "CheckBox6", 0, 0, nullptr, kMagic,
     QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "boundless Bank UP/DOWN")},
    {Kind::Check, &ConfigRecord::ampRackMode, "CheckBox7", 0, 0, nullptr, kMidi,
     QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "Amp/Rack Mode (always \"IAM\")")},
    // The group's boxes have no line of their own above them; a screen reader names them so.
    {Kind::Mask, &ConfigRecord::lockMask, "lockCB", 0, 0, nullptr, kLock,
     QT_TRANSLATE_NOOP("tarvik::AdvancedSettingsTab", "interlocking group")},
}};

QString translated(const char* text) {
  return text != nullptr ? QCoreApplication::translate(kTab, text) : QString();
}

}  // namespace

const std::array<AdvancedSettings::Setting, kConfigRecordSize>& AdvancedSettings::table() {
  return kSettings;
}

int AdvancedSettings::item(const Field& field) {
  int index = 0;
  while (kSettings[index].field != field) ++index;
  return index;
}

int AdvancedSettings::value(const ConfigRecord& record, int item) {
  return std::visit([&record](auto field) { return static_cast<int>(record.*field); },
                    kSettings[item].field);
}

void AdvancedSettings::setValue(ConfigRecord& record, int item, int value) {
  std::visit(
      [&record, value](auto field) {
        record.*field = static_cast<std::remove_cvref_t<decltype(record.*field)>>(value);
      },
      kSettings[item].field);
}

QString AdvancedSettings::group(int item) { return translated(kSettings[item].group); }
QString AdvancedSettings::caption(int item) { return translated(kSettings[item].caption); }
QString AdvancedSettings::unit(int item) { return translated(kSettings[item].unit); }

QString AdvancedSettings::valueText(const ConfigRecord& record, int item,
                                    const LoopLabels& labels) {
  const int shown = value(record, item);
  switch (kSettings[item].kind) {
    case Kind::Number:
      return unit(item).isEmpty() ? QString::number(shown)
                                  : QStringLiteral("%1 %2").arg(shown).arg(unit(item));
    case Kind::List: {
      const QStringList items = kSettings[item].items();
      return shown >= 0 && shown < items.size() ? items[shown] : translated(kNoSelection);
    }
    case Kind::Check:
      return shown != 0 ? tr("on") : tr("off");
    case Kind::Mask:
      break;
  }
  QStringList loops;
  for (int loop = 0; loop < LoopLabels::kLoops; ++loop) {
    if (((shown >> loop) & 1) != 0) loops << labels.item(loop);
  }
  return loops.isEmpty() ? tr("none") : loops.join(QStringLiteral(", "));
}

}  // namespace tarvik
