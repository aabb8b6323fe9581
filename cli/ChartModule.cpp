// SPDX-License-Identifier: MIT
#include "cli/ChartModule.h"

#include <cstring>

#include "cli/chart/ChartEntry.h"
#include "core/ModuleLibrary.h"

namespace tarvik::cli {
namespace {

ChartPdfEntry pdfEntry = nullptr;
SheetPdfEntry sheetPdfEntry = nullptr;
QString loadError;

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
    loadError = QStringLiteral("%1: %2").arg(path, reason);
    return nullptr;
  }
  pdfEntry = reinterpret_cast<ChartPdfEntry>(pdf);
  sheetPdfEntry = reinterpret_cast<SheetPdfEntry>(sheet);
  return std::unique_ptr<QCoreApplication>(
      reinterpret_cast<ChartApplicationEntry>(create)(argc, argv));
}
std::optional<QByteArray> ChartModule::pdf(const SetList& setList, QString& error) {
  if (pdfEntry == nullptr) {
    error = tr("the set chart cannot be drawn: the program's module could not be loaded (%1)")
                .arg(loadError.isEmpty() ? tr("not loaded") : loadError);
    return std::nullopt;
  }
  QByteArray bytes;
  if (!pdfEntry(setList, bytes)) {
    error = tr("the set chart could not be drawn");
    return std::nullopt;
  }
  return bytes;
}

std::optional<QByteArray> ChartModule::sheetPdf(const SetupSheetContents& contents,
                                                QString& error) {
  if (sheetPdfEntry == nullptr) {
    error = tr("the setup sheet cannot be drawn: the program's module could not be loaded (%1)")
                .arg(loadError.isEmpty() ? tr("not loaded") : loadError);
    return std::nullopt;
  }
  QByteArray bytes;
  if (!sheetPdfEntry(contents, bytes)) {
    error = tr("the setup sheet could not be drawn");
    return std::nullopt;
  }
  return bytes;
}

}  // namespace tarvik::cli
