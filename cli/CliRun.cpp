// SPDX-License-Identifier: MIT
#include "cli/CliRun.h"

#include "cli/BackupCommand.h"
#include "cli/DiffCommand.h"
#include "cli/FlashCommand.h"
#include "cli/InfoCommand.h"
#include "cli/LibraryCommand.h"
#include "cli/LibraryStoreCommand.h"
#include "cli/MonitorCommand.h"
#include "cli/PortsCommand.h"
#include "cli/RestoreCommand.h"
#include "cli/SetListArrangeCommand.h"
#include "cli/SetListCommand.h"
#include "cli/SignalWatch.h"

namespace tarvik::cli {

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
