// SPDX-License-Identifier: MIT
#include "cli/CliRun.h"

#include <algorithm>

#include "cli/MonitorCommand.h"
#include "cli/RestoreCommand.h"
#include "cli/SignalWatch.h"
#include "core/CompareSource.h"

namespace tarvik::cli {

namespace {

// `info`: identifies the device and prints "firmware: X.Y". Other firmware than the program's
// is printed too, then reported as a failure with the window's text.
class InfoCommand : public DeviceCommand {
 public:
  InfoCommand(MidiPorts& ports, const CliOptions& options, Output output)
      : DeviceCommand(ports, options, output) {
    connect(&core(), &ConfiguratorCore::fullDownloadIdentified, this,
            [this](const QString& version, bool compatible) {
              out() << "firmware: " << version << Qt::endl;
              // The download that follows is of no interest here; the answer is complete.
              if (compatible) finish(ExitCode::Ok);
            });
  }

 protected:
  void begin() override { openAndDownload(); }
};

}  // namespace

bool needsMidi(const CliOptions& options) {
  // A side that cannot be parsed is refused before any device is reached.
  const auto isDevice = [](const QString& side) {
    const Result<CompareSource> source = CompareSource::parse(side);
    return source.ok() && source.value->kind() == CompareSource::Kind::Device;
  };
  switch (options.command) {
    case CommandKind::Ports:
    case CommandKind::Info:
    case CommandKind::Backup:
    case CommandKind::Restore:
    case CommandKind::Flash:
    case CommandKind::Monitor:
    case CommandKind::LinkTest:
      return true;
    case CommandKind::Library:
      return options.libraryAction == LibraryAction::Store ||
             options.libraryAction == LibraryAction::Restore;
    case CommandKind::Diff:
      return std::any_of(options.files.begin(), options.files.end(), isDevice);
    case CommandKind::SetList:
      return options.setListAction == SetListAction::Follow ||
             (options.setListAction == SetListAction::Arrange && isDevice(options.onto));
    case CommandKind::Loops:
      return isDevice(options.onto);
    case CommandKind::Sheet:
      return !options.files.isEmpty() && isDevice(options.files.first());
  }
  return true;
}

bool talksToDevice(const CliOptions& options) {
  const bool sendsNothing =
      options.command == CommandKind::Ports || options.command == CommandKind::Monitor ||
      (options.command == CommandKind::SetList && options.setListAction == SetListAction::Follow);
  return !sendsNothing && needsMidi(options);
}

std::unique_ptr<CliCommand> makeCommand(const CliOptions& options, MidiPorts& ports,
                                        Output output) {
  switch (options.command) {
    case CommandKind::Ports:
      return makePortsCommand(ports, options, output);
    case CommandKind::Info:
      return std::make_unique<InfoCommand>(ports, options, output);
    case CommandKind::Backup:
      return makeBackupCommand(ports, options, output);
    case CommandKind::Restore:
      return std::make_unique<RestoreCommand>(ports, options, output);
    case CommandKind::Flash:
      return makeFlashCommand(ports, options, output);
    case CommandKind::Monitor:
      return std::make_unique<MonitorCommand>(ports, options, output);
    case CommandKind::Library:
      if (options.libraryAction == LibraryAction::Store)
        return makeLibraryStoreCommand(ports, options, output);
      if (options.libraryAction == LibraryAction::Restore)
        return std::make_unique<RestoreCommand>(ports, options, output);
      return makeLibraryCommand(ports, options, output);
    case CommandKind::Diff:
      return makeDiffCommand(ports, options, output);
    case CommandKind::SetList:
      if (options.setListAction == SetListAction::Arrange)
        return makeSetListArrangeCommand(ports, options, output);
      if (options.setListAction == SetListAction::Follow)
        return makeSetListFollowCommand(ports, options, output);
      return makeSetListCommand(ports, options, output);
    case CommandKind::Loops:
      return makeLoopSwapCommand(ports, options, output);
    case CommandKind::Sheet:
      return makeSheetCommand(ports, options, output);
    case CommandKind::LinkTest:
      return makeLinkTestCommand(ports, options, output);
  }
  return nullptr;
}

void interruptOnStopSignals(SignalWatch& stopSignals, CliCommand& command) {
  QObject::connect(&stopSignals, &SignalWatch::signalled, &command,
                   [&command](int) { command.interrupt(); });
}

}  // namespace tarvik::cli
