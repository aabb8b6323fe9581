// SPDX-License-Identifier: MIT
#include "app/SetupSheetActions.h"

#include <QFileInfo>

#include "app/Dialogs.h"
#include "app/PlatformModule.h"
#include "config/PresetCsv.h"
#include "config/UserFile.h"
#include "core/CompareSource.h"
#include "core/ConfiguratorCore.h"

namespace tarvik {
SetupSheetActions::SetupSheetActions(Dialogs& dialogs, QWidget* owner, const ConfiguratorCore& core,
                                     Log log)
    : dialogs_(dialogs), owner_(owner), core_(core), log_(std::move(log)) {}

SetupSheetContents SetupSheetActions::contents() const {
  // The editors always read: they hold their tables, settings, names and labels.
  const DiffSide editors = *CompareSource::editors().read(core_).value;
  return {editors.bytes, editors.names.value_or(PresetNames()),
          editors.labels.value_or(LoopLabels()), tr("the editors"), QDateTime::currentDateTime()};
}

void SetupSheetActions::refused(const QString& what, const QString& why) {
  dialogs_.error(owner_, tr("Setup sheet"), what + QStringLiteral("\n\n") + why);
}

void SetupSheetActions::print() {
  // Printing lives in the platform module, which keeps its libraries out of the start-up; it is
  // loaded once already, or loads now.
  QFunctionPointer entry = nullptr;
  const QString failure =
      ModuleLibrary(PlatformModule::defaultPath()).load({{kPrintSetupSheetEntry, &entry}});
  const ChartPrint printed = failure.isEmpty()
                                 ? reinterpret_cast<PrintSetupSheetEntry>(entry)(owner_, contents())
                                 : ChartPrint::Failed;
  if (printed == ChartPrint::Failed) {
    refused(tr("The setup sheet was not printed."),
            failure.isEmpty() ? tr("The printer could not be used.") : failure);
  }
}

void SetupSheetActions::save() {
  const QString path = dialogs_.saveFileName(owner_, tr("PDF file (*.pdf);;CSV file (*.csv)"),
                                             QStringLiteral("pdf"));
  if (path.isEmpty()) return;
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix != u"pdf" && suffix != u"csv") {
    refused(tr("The setup sheet was not written."),
            tr("A setup sheet is a .pdf or a .csv file; %1 is neither.").arg(path));
    return;
  }
  const SetupSheetContents sheet = contents();
  const std::optional<QByteArray> bytes =
      suffix == u"csv" ? std::optional(PresetCsv::write(sheet.bytes.tables(), sheet.names))
                       : SetupSheet::pdf(sheet);
  QString error;
  if (!bytes || !UserFile::write(path, *bytes, &error)) {
    refused(tr("The setup sheet was not written."),
            bytes ? error : tr("The sheet could not be drawn."));
    return;
  }
  log_(tr("The setup sheet is written to %1.").arg(path));
}

}  // namespace tarvik
