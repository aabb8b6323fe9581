// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <memory>

#include "cli/CliCommand.h"

namespace tarvik {
class MidiPorts;
}

namespace tarvik::cli {

class SignalWatch;

// The commands whose class no other file needs, each made beside its class.
using CommandMaker = std::unique_ptr<CliCommand>(MidiPorts&, const CliOptions&, Output);
CommandMaker makeBackupCommand, makeDiffCommand, makeFlashCommand, makeLibraryCommand,
    makeLibraryStoreCommand, makePortsCommand, makeSetListArrangeCommand, makeSetListCommand,
    makeSheetCommand;

// The command the options ask for, over the given port lists.
std::unique_ptr<CliCommand> makeCommand(const CliOptions& options, MidiPorts& ports, Output output);

// SIGINT and SIGTERM, as `stopSignals` reports them, interrupt the command (see
// CliCommand::interrupt for how each ends).
void interruptOnStopSignals(SignalWatch& stopSignals, CliCommand& command);

}  // namespace tarvik::cli
