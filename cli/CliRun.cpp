// SPDX-License-Identifier: MIT
#include "cli/CliRun.h"

#include "cli/BackupCommand.h"
#include "cli/DiffCommand.h"
#include "cli/FlashCommand.h"
#include "cli/LibraryCommand.h"
#include "cli/LibraryStoreCommand.h"
#include "cli/MonitorCommand.h"
#include "cli/PortsCommand.h"
#include "cli/RestoreCommand.h"
#include "cli/SetListArrangeCommand.h"
#include "cli/SetListCommand.h"
#include "cli/SignalWatch.h"

namespace tarvik::cli {
namespace {

// `info`: identifies the device and prints "firmware: X.Y". Other firmware than the program's
// is printed too, then reported as a failure with the window's text.
class InfoCommand : public DeviceCommand {
 public:
  InfoCommand(MidiPorts& ports, const CliOptions& options, Output output)
      : DeviceCommand(ports, options, output) {
    connect(&core().fullDownload(), &FullDownload::identified, this,
            [this](const QString& version, bool compatible) {
              out() << "firmware: " << version << Qt::endl;
              // The download that follows is of no interest here; the answer is complete.
              if (compatible) finish(ExitCode::Ok);
            });
  }

 protected:
  void begin() override { openAndDownload(); }
  void onDownloaded(bool ok, const QString& text) override {
    if (!ok) fail(ExitCode::DeviceFailure, text);
  }
};

}  // namespace

std::unique_ptr<CliCommand> makeCommand(const CliOptions& options, MidiPorts& ports,
                                        Output output) {
  switch (options.command) {
    case CommandKind::Ports:
      return std::make_unique<PortsCommand>(ports, output);
    case CommandKind::Info:
      return std::make_unique<InfoCommand>(ports, options, output);
    case CommandKind::Backup:
      return std::make_unique<BackupCommand>(ports, options, output);
    case CommandKind::Restore:
      return std::make_unique<RestoreCommand>(ports, options, output);
    case CommandKind::Flash:
      return std::make_unique<FlashCommand>(ports, options, output);
    case CommandKind::Monitor:
      return std::make_unique<MonitorCommand>(ports, options, output);
    case CommandKind::Library:
      if (options.libraryAction == LibraryAction::Store)
        return std::make_unique<LibraryStoreCommand>(ports, options, output);
      if (options.libraryAction == LibraryAction::Restore)
        return std::make_unique<RestoreCommand>(ports, options, output);
      return std::make_unique<LibraryCommand>(options, output);
    case CommandKind::Diff:
      return std::make_unique<DiffCommand>(ports, options, output);
    case CommandKind::SetList:
      if (options.setListAction == SetListAction::Arrange)
        return std::make_unique<SetListArrangeCommand>(ports, options, output);
      return std::make_unique<SetListCommand>(options, output);
  }
  return nullptr;
}

void interruptOnStopSignals(SignalWatch& stopSignals, CliCommand& command) {
  QObject::connect(&stopSignals, &SignalWatch::signalled, &command,
                   [&command](int) { command.interrupt(); });
}

}  // namespace tarvik::cli
