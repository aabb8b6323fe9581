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
    makeLibraryStoreCommand, makeLinkTestCommand, makeLoopSwapCommand, makePortsCommand,
    makeSetListArrangeCommand, makeSetListCommand, makeSetListFollowCommand, makeSheetCommand;

// Whether the command talks to the device: only then may the program start a MIDI system (under
// JACK a client that can hang on a JACK that hangs). The others (a file, the library, a diff or
// an arrangement without "device") never reach one.
bool needsMidi(const CliOptions& options);
// Whether the command sends to the device, so that --pace and --retries mean something to it:
// `ports` only lists, `monitor` and `setlist follow` only listen.
bool talksToDevice(const CliOptions& options);

// The command the options ask for, over the given port lists.
std::unique_ptr<CliCommand> makeCommand(const CliOptions& options, MidiPorts& ports, Output output);

// SIGINT and SIGTERM, as `stopSignals` reports them, interrupt the command (see
// CliCommand::interrupt for how each ends).
void interruptOnStopSignals(SignalWatch& stopSignals, CliCommand& command);

}  // namespace tarvik::cli
