// SPDX-License-Identifier: MIT
#include "cli/ChartModule.h"

#include <QFileInfo>
#include <QLibrary>
#include <cstring>

#include "cli/chart/ChartEntry.h"

namespace tarvik::cli {
namespace {

ChartPdfEntry pdfEntry = nullptr;
QString loadError;

// TARVIK_CLI_CHART_MODULE when set (tests); else where the installed program finds the module
// from its own folder, which is also where the build puts it. Asked before an application
// exists, so the program's folder comes from the system.
QString modulePath() {
  const QString chosen = qEnvironmentVariable("TARVIK_CLI_CHART_MODULE");
  if (!chosen.isEmpty()) return chosen;
  return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath() +
         QLatin1Char('/') + QLatin1StringView(TARVIK_CLI_CHART_MODULE_FROM_BINDIR);
}

}  // namespace

bool ChartModule::wanted(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "setlist") == 0) return std::strcmp(argv[i + 1], "chart") == 0;
  }
  return false;
}

std::unique_ptr<QCoreApplication> ChartModule::application(int& argc, char** argv) {
  const QString path = modulePath();
  ChartApplicationEntry create = nullptr;
  if (!QFileInfo::exists(path)) {
    loadError = QStringLiteral("%1: the file does not exist").arg(path);
    return nullptr;
  }
  // Never unloaded: QLibrary's destructor leaves the module mapped.
  QLibrary library(path);
  if (library.load()) {
    create = reinterpret_cast<ChartApplicationEntry>(library.resolve(kChartApplicationEntry));
    pdfEntry = reinterpret_cast<ChartPdfEntry>(library.resolve(kChartPdfEntry));
  }
  if (create == nullptr || pdfEntry == nullptr) {
    loadError = library.errorString();
    pdfEntry = nullptr;
    return nullptr;
  }
  return std::unique_ptr<QCoreApplication>(create(argc, argv));
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

}  // namespace tarvik::cli
