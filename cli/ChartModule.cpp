// SPDX-License-Identifier: MIT
#include "cli/ChartModule.h"

#include <QFileInfo>
#include <cstring>

#include "cli/chart/ChartEntry.h"
#include "core/ModuleLibrary.h"

namespace tarvik::cli {
namespace {

ChartPdfEntry pdfEntry = nullptr;
SheetPdfEntry sheetPdfEntry = nullptr;
QString loadError;
// The module's file was not there: its package is not installed.
bool notInstalled = false;

}  // namespace

bool ChartModule::wanted(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "setlist") == 0) return std::strcmp(argv[i + 1], "chart") == 0;
    if (std::strcmp(argv[i], "sheet") == 0) {
      // The file decides; a CSV needs no drawing.
      for (int j = i + 1; j < argc; ++j) {
        if (QByteArrayView(argv[j]).toByteArray().toLower().endsWith(".pdf")) return true;
      }
      return false;
    }
  }
  return false;
}

std::unique_ptr<QCoreApplication> ChartModule::application(int& argc, char** argv) {
  // TARVIK_CLI_CHART_MODULE when set (tests); else where the installed program finds it.
  const QString path = ModuleLibrary::path("TARVIK_CLI_CHART_MODULE",
                                           QLatin1StringView(TARVIK_CLI_CHART_MODULE_FROM_BINDIR));
  QFunctionPointer create = nullptr;
  QFunctionPointer pdf = nullptr;
  QFunctionPointer sheet = nullptr;
  // Never unloaded: what the module makes lives until the program ends.
  const QString reason = ModuleLibrary(path).load(
      {{kChartApplicationEntry, &create}, {kChartPdfEntry, &pdf}, {kSheetPdfEntry, &sheet}});
  if (create == nullptr) {
    notInstalled = !QFileInfo::exists(path);
    loadError = QStringLiteral("%1: %2").arg(path, reason);
    return nullptr;
  }
  pdfEntry = reinterpret_cast<ChartPdfEntry>(pdf);
  sheetPdfEntry = reinterpret_cast<SheetPdfEntry>(sheet);
  return std::unique_ptr<QCoreApplication>(
      reinterpret_cast<ChartApplicationEntry>(create)(argc, argv));
}
QString ChartModule::unavailable(Drawing drawing) {
  if (pdfEntry != nullptr && sheetPdfEntry != nullptr) return {};
  const QLatin1StringView package(TARVIK_CLI_PRINT_PACKAGE);
  const bool chart = drawing == Drawing::SetChart;
  if (notInstalled) {
    return chart ? tr("the set chart needs the package %1: install it, e.g. sudo apt install %1")
                       .arg(package)
                 : tr("the PDF needs the package %1: install it, e.g. sudo apt install %1")
                       .arg(package);
  }
  const QString reason = loadError.isEmpty() ? tr("not loaded") : loadError;
  return chart ? tr("the set chart cannot be drawn: the program's module could not be loaded (%1)")
                     .arg(reason)
               : tr("the setup sheet cannot be drawn: the program's module could not be loaded "
                    "(%1)")
                     .arg(reason);
}

std::optional<QByteArray> ChartModule::pdf(const SetList& setList, QString& error) {
  error = unavailable(Drawing::SetChart);
  if (!error.isEmpty()) return std::nullopt;
  QByteArray bytes;
  if (!pdfEntry(setList, bytes)) {
    error = tr("the set chart could not be drawn");
    return std::nullopt;
  }
  return bytes;
}

std::optional<QByteArray> ChartModule::sheetPdf(const SetupSheetContents& contents,
                                                QString& error) {
  error = unavailable(Drawing::SheetPdf);
  if (!error.isEmpty()) return std::nullopt;
  QByteArray bytes;
  if (!sheetPdfEntry(contents, bytes)) {
    error = tr("the setup sheet could not be drawn");
    return std::nullopt;
  }
  return bytes;
}

}  // namespace tarvik::cli
