// SPDX-License-Identifier: MIT
#include "cli/PortsCommand.h"

#include <exception>

#include "midi/MidiPorts.h"

namespace tarvik::cli {

PortsCommand::PortsCommand(MidiPorts& ports, Output output, QObject* parent)
    : CliCommand(output, parent), ports_(ports) {}

void PortsCommand::begin() {
  try {
    for (const std::string& name : ports_.inputs().PortNames())
      out() << "in:\t" << QString::fromStdString(name) << '\n';
    for (const std::string& name : ports_.outputs().PortNames())
      out() << "out:\t" << QString::fromStdString(name) << '\n';
  } catch (const std::exception& error) {
    fail(ExitCode::DeviceFailure, QString::fromLocal8Bit(error.what()));
    return;
  }
  finish(ExitCode::Ok);
}

}  // namespace tarvik::cli
