// SPDX-License-Identifier: MIT
// tarvik-cli's chart module: the set chart and the setup sheet, the one part of the program on the
// command line that needs Qt GUI. `setlist chart` and `sheet FILE.pdf` load it (ChartModule); no
// other command does.
#include "cli/chart/ChartEntry.h"

#include <QGuiApplication>
#include <type_traits>

#include "library/chart/SetChart.h"
#include "library/chart/SetupSheet.h"

namespace {

QtMessageHandler previousHandler = nullptr;

// The offscreen platform asks for a runtime folder it never uses, and where none is set (a
// shell without a desktop session, cron, CI) Qt says so on standard error: a line that scripts
// would take for the command's own.
void withoutRuntimeFolderNotice(QtMsgType type, const QMessageLogContext& context,
                                const QString& text) {
  if (text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
  if (previousHandler != nullptr) previousHandler(type, context, text);
}

}  // namespace

extern "C" Q_DECL_EXPORT QCoreApplication* tarvik_chart_application(int& argc, char** argv) {
  // Fonts need a platform; the chart needs no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  previousHandler = qInstallMessageHandler(withoutRuntimeFolderNotice);
  auto* application = new QGuiApplication(argc, argv);
  qInstallMessageHandler(previousHandler);
  return application;
}

extern "C" Q_DECL_EXPORT bool tarvik_chart_pdf(const tarvik::SetList& setList, QByteArray& pdf) {
  const std::optional<QByteArray> bytes = tarvik::SetChart::pdf(setList);
  if (!bytes) return false;
  pdf = *bytes;
  return true;
}

extern "C" Q_DECL_EXPORT bool tarvik_sheet_pdf(const tarvik::SetupSheetContents& contents,
                                               QByteArray& pdf) {
  const std::optional<QByteArray> bytes = tarvik::SetupSheet::pdf(contents);
  if (!bytes) return false;
  pdf = *bytes;
  return true;
}

// A signature that drifts from what ChartModule calls would crash at run time; here it stops
// the build.
static_assert(
    std::is_same_v<decltype(&tarvik_chart_application), tarvik::cli::ChartApplicationEntry>);
static_assert(std::is_same_v<decltype(&tarvik_chart_pdf), tarvik::cli::ChartPdfEntry>);
static_assert(std::is_same_v<decltype(&tarvik_sheet_pdf), tarvik::cli::SheetPdfEntry>);
