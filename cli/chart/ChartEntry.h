// SPDX-License-Identifier: MIT
// The entries of tarvik-cli's chart module (the set chart and the setup sheet), shared by the
// module and the program that loads it.
#pragma once

#include <QByteArray>
#include <QCoreApplication>

#include "library/SetList.h"
#include "library/chart/SetupSheet.h"

namespace tarvik::cli {

using ChartApplicationEntry = QCoreApplication* (*)(int& argc, char** argv);
using ChartPdfEntry = bool (*)(const SetList& setList, QByteArray& pdf);
inline constexpr char kChartApplicationEntry[] = "tarvik_chart_application";
inline constexpr char kChartPdfEntry[] = "tarvik_chart_pdf";
using SheetPdfEntry = bool (*)(const SetupSheetContents& contents, QByteArray& pdf);
inline constexpr char kSheetPdfEntry[] = "tarvik_sheet_pdf";

}  // namespace tarvik::cli
