// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <variant>

#include "config/ConfigRecord.h"
#include "config/LoopLabels.h"

namespace tarvik {

// The 20 advanced settings as the "Advanced settings" tab shows them: one row per record item, in
// the order of its wire bytes, with the field it edits, the control that shows it and that
// control's object name (a mask's eight boxes add "1".."8" to it), and the tab's words for it.
// The tab builds its controls from it and the setup sheet names each setting in the same words,
// so that a setting added or renamed here shows alike in both. Qt Core only: the sheet is drawn
// where no widget exists.
class AdvancedSettings {
  Q_DECLARE_TR_FUNCTIONS(AdvancedSettings)

 public:
  enum class Kind { Number, List, Check, Mask };
  using Field =
      std::variant<int ConfigRecord::*, bool ConfigRecord::*, std::uint8_t ConfigRecord::*>;

  struct Setting {
    Kind kind;
    Field field;
    const char* name;
    int minimum = 0;  // a number's range
    int maximum = 0;
    QStringList (*items)() = nullptr;  // a list's items
    // The tab's words, in English (caption() and the others translate them): the group box
    // that holds the control, the text beside it or on it (for a mask the line above its boxes),
    // and a number's unit.
    const char* group = nullptr;
    const char* caption = nullptr;
    const char* unit = nullptr;
  };

  static const std::array<Setting, kConfigRecordSize>& table();
  static const Setting& setting(int item) { return table()[item]; }
  // The record item whose field is `field`.
  static int item(const Field& field);
  static bool isMask(int item) { return setting(item).kind == Kind::Mask; }

  static int value(const ConfigRecord& record, int item);
  static void setValue(ConfigRecord& record, int item, int value);

  // The words in the user's language; a number without a unit has an empty one.
  static QString group(int item);
  static QString caption(int item);
  static QString unit(int item);
  // What the tab shows for the item, as one text: "90 ms", "Master Bypass", "on", and for a
  // mask its loops as the labels name them ("LOOP 1 (Fuzz), LOOP 3"), "none" without one.
  static QString valueText(const ConfigRecord& record, int item, const LoopLabels& labels);
};

}  // namespace tarvik
