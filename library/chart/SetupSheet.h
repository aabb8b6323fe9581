// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <optional>

#include "config/ConfigBytes.h"
#include "config/LoopLabels.h"
#include "config/PresetNames.h"

class QPagedPaintDevice;

namespace tarvik {

// What a setup sheet shows: a configuration with its names and labels, where it came from
// ("device", "library:Live", a file) and when the sheet was made.
struct SetupSheetContents {
  ConfigBytes bytes;  // without settings, the sheet says so
  PresetNames names;
  LoopLabels labels;
  QString source;
  QDateTime made;
};

// The paper copy of a whole setup, the last backup of a rig that may lose its settings: on A4
// pages in type of at least 9 pt, the loops' labels and the 128 presets (number, name, the loops
// on by number and label, the program change sent on) over three pages, then the CC map entries
// that switch a loop and the 20 settings in the words of the "Advanced settings" tab on a
// fourth. Every page's foot says where the sheet came from and when.
//
// Needs a QGuiApplication (fonts); it draws and knows nothing of files.
class SetupSheet {
  Q_DECLARE_TR_FUNCTIONS(SetupSheet)

 public:
  static constexpr int kMaxPages = 4;

  // Draws the sheet on `device` (a QPdfWriter, a QPrinter), set to A4 portrait first. False
  // when the device could not be painted on.
  static bool paint(QPagedPaintDevice& device, const SetupSheetContents& contents);
  // The sheet as a PDF file's bytes; nothing when it could not be drawn.
  static std::optional<QByteArray> pdf(const SetupSheetContents& contents);

  // A preset's loops as its line shows them: "1 Fuzz, 3 Delay, 5" (a loop without a label by
  // its number alone); "-" for none.
  static QString loopsText(std::uint8_t mask, const LoopLabels& labels);
  // The program change a preset sends on: "1".."128", "none", "-" where none is chosen.
  static QString programText(int pcRemap);
};

}  // namespace tarvik
