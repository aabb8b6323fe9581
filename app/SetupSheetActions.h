// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>
#include <functional>

#include "library/chart/SetupSheet.h"

class QWidget;

namespace tarvik {

class ConfiguratorCore;
class Dialogs;

// The window's "Setup sheet...": what the editors hold, printed or written by the chosen name
// as a PDF (SetupSheet) or, for a spreadsheet, the presets as CSV (PresetCsv). The file goes
// through the one checked writer; a refusal is said in the error box.
class SetupSheetActions {
  Q_DECLARE_TR_FUNCTIONS(SetupSheetActions)

 public:
  using Log = std::function<void(const QString&)>;

  // `core` and `dialogs` must outlive the actions.
  SetupSheetActions(Dialogs& dialogs, QWidget* owner, const ConfiguratorCore& core, Log log);

  // Asks for a printer (the platform module's dialog) and prints the sheet there.
  void print();
  // Asks for a name; its extension says what is written.
  void save();

  // What the sheet of the editors holds, made now.
  SetupSheetContents contents() const;

 private:
  void refused(const QString& what, const QString& why);

  Dialogs& dialogs_;
  QWidget* owner_;
  const ConfiguratorCore& core_;
  Log log_;
};

}  // namespace tarvik
