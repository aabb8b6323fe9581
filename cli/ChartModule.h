// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <memory>
#include <optional>

#include "library/SetList.h"
#include "library/chart/SetupSheet.h"

namespace tarvik::cli {

// The set chart and the setup sheet are drawn by Qt GUI (fonts, a PDF writer), which tarvik-cli
// does not link: every other command starts without it and runs where no display exists. So
// `setlist chart` and `sheet SOURCE FILE.pdf` load it
// from a module of its own (chart/ChartEntry.cpp, tarvik-cli-chart.so), which also makes the
// program's application a GUI one on the "offscreen" platform: fonts need one, a display does
// not. The module comes in a package of its own (TARVIK_CLI_PRINT_PACKAGE), so that the command
// line's package, on a machine without a display, pulls in none of Qt GUI's X, OpenGL and font
// libraries; without it those two commands name the package to install.
class ChartModule {
  Q_DECLARE_TR_FUNCTIONS(ChartModule)

 public:
  // Whether the command line asks for a chart or a sheet's PDF: looked at before any
  // application exists.
  static bool wanted(int argc, char** argv);
  // The application from the module; null when it cannot be loaded (unavailable() then says why).
  static std::unique_ptr<QCoreApplication> application(int& argc, char** argv);

  enum class Drawing { SetChart, SheetPdf };
  // Empty once application() has loaded the module; else why `drawing` cannot be made, in one
  // line: the package to install when the module is not there, the loader's reason when it is.
  // Asked before a command reads or downloads anything.
  static QString unavailable(Drawing drawing);
  // The chart as a PDF file's bytes; nothing when the module is not loaded or the chart cannot
  // be drawn, with `error` saying why.
  static std::optional<QByteArray> pdf(const SetList& setList, QString& error);
  // The same for a setup sheet.
  static std::optional<QByteArray> sheetPdf(const SetupSheetContents& contents, QString& error);
};

}  // namespace tarvik::cli
