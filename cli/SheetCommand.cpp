// SPDX-License-Identifier: MIT
#include <QDateTime>

#include "cli/ChartModule.h"
#include "cli/CliRun.h"
#include "cli/SideSourceCommand.h"
#include "config/ConfigDiff.h"
#include "config/PresetCsv.h"
#include "config/UserFile.h"
#include "core/CompareSource.h"

namespace tarvik::cli {

// `sheet SOURCE FILE`: SOURCE (as `diff` takes a side: "device", "library:NAME", "snapshot:ID"
// or a file) as a setup sheet, a PDF for paper (SetupSheet, drawn by the chart module) or the
// presets as CSV for a spreadsheet (PresetCsv), by FILE's extension.
class SheetCommand : public SideSourceCommand {
  Q_OBJECT
 public:
  using SideSourceCommand::SideSourceCommand;

 protected:
  // Without the module nothing is read, nor the device downloaded, for a PDF that cannot be
  // drawn.
  bool readOwnInput() override {
    if (!isPdf()) return true;
    const QString unavailable = ChartModule::unavailable(ChartModule::Drawing::SheetPdf);
    if (unavailable.isEmpty()) return true;
    fail(ExitCode::UsageOrFile, unavailable);
    return false;
  }

 private:
  QString side() const override { return options().files.first(); }
  bool isPdf() const { return options().file.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive); }

  void write(const DiffSide& side) override {
    const PresetNames names = side.names.value_or(PresetNames());
    QByteArray bytes;
    QString error;
    if (isPdf()) {
      const std::optional<QByteArray> pdf =
          ChartModule::sheetPdf({side.bytes, names, side.labels.value_or(LoopLabels()),
                                 options().files.first(), QDateTime::currentDateTime()},
                                error);
      if (!pdf) {
        fail(ExitCode::UsageOrFile, error);
        return;
      }
      bytes = *pdf;
    } else {
      bytes = PresetCsv::write(side.bytes.tables(), names);
    }
    if (!UserFile::write(options().file, bytes, &error)) {
      fail(ExitCode::UsageOrFile, tr("cannot write %1").arg(error));
      return;
    }
    out() << tr("setup sheet of %1 written to %2")
                 .arg(options().files.first(), UserFile::shown(options().file))
          << '\n';
    finish(ExitCode::Ok);
  }
};

std::unique_ptr<CliCommand> makeSheetCommand(MidiPorts& ports, const CliOptions& options,
                                             Output output) {
  return std::make_unique<SheetCommand>(ports, options, output);
}

}  // namespace tarvik::cli

#include "SheetCommand.moc"
