// SPDX-License-Identifier: MIT
#include "app/Configurator.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/AfterFirstFrame.h"
#include "app/Dialogs.h"
#include "app/LibraryHolder.h"
#include "app/PlatformModule.h"
#include "app/TForm1.h"
#include "core/ConfiguratorCore.h"
#include "core/MidiSystem.h"
#include "firmware/LateUpdateServer.h"
#include "library/SetupLibrary.h"

namespace tarvik {

namespace {

constexpr int kLatestModuleLoadMs = 1000;

// Once, over the window it concerns, and on standard error for a program started from a
// terminal.
void reportStartupProblem(Dialogs& dialogs, TForm1& form, const std::string& problem) {
  std::fprintf(stderr, "%s\n", problem.c_str());
  dialogs.error(&form, TForm1::displayTitle(), QString::fromStdString(problem));
}

}  // namespace

int runConfigurator(Dialogs& dialogs, const QUrl& updateServer,
                    const std::function<void(TForm1&, ConfiguratorCore&)>& beforeShow,
                    const QString& file, RememberedState* remembered,
                    const std::optional<QString>& library, bool verbose) {
  QApplication::setApplicationName(TForm1::applicationTitle);

  // The window shows before the code that reaches the MIDI system and the update server is
  // loaded, and before the MIDI system is reached: both take time and, beside the window's
  // building, slow it. The port lists fill when the MIDI system has been reached.
  // The port lists outlive the window and close what is still open when they go.
  MidiSystem midi(
      [&dialogs](const QString& text) { dialogs.error(nullptr, TForm1::displayTitle(), text); });

  auto lateUpdates = std::make_unique<LateUpdateServer>();
  LateUpdateServer& updates = *lateUpdates;
  ConfiguratorCore core(midi.ports(), std::move(lateUpdates));
  // Before the window: its first-frame hook and its timer call into the module, so the module
  // must still be there whenever the window is.
  PlatformModule module(PlatformModule::defaultPath());
  TForm1 form(dialogs, core);
  const QRect screen = form.screen()->availableGeometry();
  form.move(screen.center() - form.rect().center());
  if (remembered != nullptr) form.remember(*remembered);
  if (!file.isEmpty()) form.openFileWhenShown(file);
  // Resolved once the application's name is set: the default file is in its data folder.
  if (library) form.library().openAfterFirstFrame(SetupLibrary::path(*library));

  QObject::connect(&module, &PlatformModule::loaded, &form, [&] {
    updates.adopt(module.createUpdateServer(updateServer));
    form.setMidiFailureDetail([&midi] { return midi.libraryLines(); });
    midi.start(module.createMidiService(), verbose,
               [&dialogs, &form, &core, &midi](const QString& problem) {
                 // The first look finds every port new, and offers the start-up pair as for
                 // ports that appear later.
                 core.rescanPorts();
                 if (problem.isEmpty()) return;
                 // The problem's log line carries what was said while the system was reached.
                 form.addLogWithDetail(problem, midi.libraryLines());
                 reportStartupProblem(dialogs, form, problem.toStdString());
               });
  });
  QObject::connect(&module, &PlatformModule::failed, &form, [&](const QString& reason) {
    updates.giveUp(TForm1::tr("The update server cannot be reached: the program's module %1 "
                              "could not be loaded (%2)")
                       .arg(module.fileName(), reason));
    reportStartupProblem(dialogs, form,
                         TForm1::tr("No MIDI ports are available: the program's module %1 could "
                                    "not be loaded (%2).")
                             .arg(module.fileName(), reason)
                             .toStdString());
  });
  new AfterFirstFrame(form, [&module] { module.loadInBackground(); });
  // A window that is not drawn soon (shown minimised) gets its ports all the same.
  QTimer::singleShot(kLatestModuleLoadMs, &form, [&module] { module.loadInBackground(); });
  if (beforeShow) beforeShow(form, core);
  form.show();
  return QApplication::exec();
}

void mirrorMachineLog(ConfiguratorCore& core, QTextStream& log) {
  QObject::connect(&core, &ConfiguratorCore::logLine, &core,
                   [&log](const QString& line) { log << line << Qt::endl; });
}

}  // namespace tarvik
