// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <memory>

#include "cli/CliCommand.h"

namespace tarvik {
class MidiPorts;
}

namespace tarvik::cli {

// The command the options ask for, over the given port lists.
std::unique_ptr<CliCommand> makeCommand(const CliOptions& options, MidiPorts& ports, Output output);

}  // namespace tarvik::cli
