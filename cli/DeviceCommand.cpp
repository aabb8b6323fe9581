// SPDX-License-Identifier: MIT
#include "cli/DeviceCommand.h"

namespace tarvik::cli {

DeviceCommand::DeviceCommand(MidiPorts& ports, const CliOptions& options, Output output,
                             QObject* parent)
    : CliCommand(output, parent),
      options_(options),
      session_(ports, options.verbose ? &output.err : nullptr, options.library) {}

void DeviceCommand::openAndRun(const std::function<bool()>& work, int failure) {
  if (const QString problem = session_.open(options_.in, options_.out); !problem.isEmpty()) {
    fail(failure, problem);
    return;
  }
  session_.keepHistory(err());
  if (!work()) fail(failure, tr("the link is busy"));
}

}  // namespace tarvik::cli
