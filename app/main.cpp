// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QTextStream>

#include "app/CommandLine.h"
#include "app/Configurator.h"
#include "app/Dialogs.h"
#include "app/RememberedState.h"
#include "i18n/TranslationLoader.h"

int main(int argc, char* argv[]) {
  // Help and version open no window: the offscreen platform spares them the display they would
  // otherwise need (help2man runs them at build time).
  if (tarvik::CommandLine::asksForTextOnly(argc, argv)) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  // Before the first text, --help's included.
  tarvik::TranslationLoader translations;
  translations.installForSystem();
  // Lets the desktop match the window to the installed desktop entry and its icon.
  QApplication::setDesktopFileName(QStringLiteral("de.tarvik_audio.TarvikConfigurator"));
  tarvik::CommandLine commandLine;
  if (const auto answered = commandLine.read(QApplication::arguments())) return *answered;
  // Read before the window is made, kept up to date while it runs.
  tarvik::RememberedState remembered;
  tarvik::QtDialogs dialogs;
  dialogs.rememberFoldersIn(&remembered);
  QTextStream err(stderr);
  return tarvik::runConfigurator(
      dialogs, commandLine.updateServer(),
      [&](tarvik::TForm1&, tarvik::ConfiguratorCore& core) {
        if (commandLine.verbose()) tarvik::mirrorMachineLog(core, err);
      },
      commandLine.file(), &remembered, commandLine.library(), commandLine.verbose());
}
