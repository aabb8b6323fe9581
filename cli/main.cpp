// SPDX-License-Identifier: MIT
// tarvik-cli: the configurator's core on the command line, for scripts, backups under version
// control and machines without a desktop. Qt Core only; the commands that talk to a device load the
// MIDI module, `flash --from-server` the network module, and `setlist chart` the chart module.
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <memory>
#include <optional>

#include "cli/ChartModule.h"
#include "cli/CliOptions.h"
#include "cli/CliRun.h"
#include "cli/MidiModule.h"
#include "cli/SignalWatch.h"
#include "core/ConfiguratorCore.h"
#include "core/MidiSystem.h"
#include "firmware/UpdateServerUrl.h"
#include "i18n/TranslationLoader.h"
#include "library/SetupLibrary.h"

using namespace tarvik;
using namespace tarvik::cli;

int main(int argc, char** argv) {
  // Only a chart needs a GUI application (ChartModule); every other command starts without one.
  std::unique_ptr<QCoreApplication> application =
      ChartModule::wanted(argc, argv) ? ChartModule::application(argc, argv) : nullptr;
  if (!application) application = std::make_unique<QCoreApplication>(argc, argv);
  QCoreApplication& app = *application;
  QCoreApplication::setApplicationName(kProgramName);
  QCoreApplication::setApplicationVersion(ConfiguratorCore::version());
  // Before the first text: --help, the errors and the warnings speak the user's language; the
  // data that scripts read (ports, info, library lists, diff, backups, monitor) stays as it is.
  TranslationLoader translations;
  translations.installForSystem();
  QTextStream out(stdout);
  QTextStream err(stderr);

  const CliParse parse = parseCommandLine(QCoreApplication::arguments(), updateServerBaseUrl(),
                                          qEnvironmentVariable("TARVIK_UPDATE_BASE_URL"));
  switch (parse.outcome) {
    case CliParse::Outcome::Help:
    case CliParse::Outcome::Version:
      out << parse.text << Qt::endl;
      if (out.status() == QTextStream::Ok) return ExitCode::Ok;
      err << kProgramName << ": " << CliCommand::tr("cannot write to standard output") << Qt::endl;
      return ExitCode::UsageOrFile;
    case CliParse::Outcome::UsageError:
      err << kProgramName << ": " << parse.text << Qt::endl;
      return ExitCode::UsageOrFile;
    case CliParse::Outcome::Run:
      break;
  }

  // Reaching the MIDI system (under JACK a client of the program's own and a walk over the
  // server's port table) takes tens of milliseconds, which run in the background while the
  // command reads its file. What the MIDI system came to is looked at only once the file has
  // been read: a file error is reported as such on a machine without MIDI too.
  MidiSystem midi(
      [&err](const QString& text) { err << kProgramName << ": MIDI: " << text << Qt::endl; });
  std::unique_ptr<CliCommand> command;
  // A command that does not talk to the device never loads a MIDI system: its lists stay
  // empty, and a JACK that hangs cannot hold up a command on a file or the library.
  const bool midiNeeded = needsMidi(parse.options);
  // What ALSA and JACK say about themselves (eight lines when no MIDI system runs) is for
  // --verbose: without it an error of the program's own stands alone, on one line.
  QString midiProblem;
  std::unique_ptr<PlatformMidiService> service =
      midiNeeded ? MidiModule::service(midiProblem) : nullptr;
  if (service) {
    midi.start(
        std::move(service), parse.options.verbose,
        // Reported from the running loop, so that an end reported from inside start() stops it.
        [&command, &err](const QString& startupProblem) {
          if (!startupProblem.isEmpty()) {
            err << kProgramName << ": " << startupProblem << Qt::endl;
            QCoreApplication::exit(ExitCode::DeviceFailure);
            return;
          }
          command->start();
        });
  }

  QFile standardInput;
  const bool inputOpen = standardInput.open(stdin, QIODevice::ReadOnly);
  const Output output{out, err, ::isatty(STDERR_FILENO) == 1, inputOpen ? &standardInput : nullptr};
  CliOptions options = parse.options;
  // The library is opened only by the commands that use it; only the file is chosen here.
  options.library = SetupLibrary::path(options.library);
  std::jthread sqlDriver;
  if (options.command != CommandKind::Ports && options.command != CommandKind::Monitor) {
    sqlDriver = LibraryConnection::preloadDriver();
  }
  command = makeCommand(options, midi.ports(), output);
  if (!command->prepare()) return command->exitCode();
  if (!midiProblem.isEmpty()) {
    err << kProgramName << ": " << midiProblem << Qt::endl;
    return ExitCode::DeviceFailure;
  }

  int exitCode = ExitCode::DeviceFailure;
  QObject::connect(command.get(), &CliCommand::finished, &app, [&exitCode](int code) {
    exitCode = code;
    QCoreApplication::exit(code);
  });
  SignalWatch stopSignals;
  interruptOnStopSignals(stopSignals, *command);
  if (!midiNeeded) {
    QMetaObject::invokeMethod(
        &app, [&command] { command->start(); }, Qt::QueuedConnection);
  }
  app.exec();
  // The command (and the ports it opened) goes before the port lists.
  command.reset();
  return exitCode;
}
