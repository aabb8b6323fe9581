// SPDX-License-Identifier: MIT
#include "cli/PortsCommand.h"

#include <exception>

namespace tarvik::cli {

PortsCommand::PortsCommand(MidiPorts& ports, Output output, QObject* parent)
    : CliCommand(output, parent), core_(ports) {}

void PortsCommand::begin() {
  try {
    for (const std::string& name : core_.inputNames())
      out() << "in:\t" << QString::fromStdString(name) << '\n';
    for (const std::string& name : core_.outputNames())
      out() << "out:\t" << QString::fromStdString(name) << '\n';
  } catch (const std::exception& error) {
    fail(ExitCode::DeviceFailure, QString::fromLocal8Bit(error.what()));
    return;
  }
  finish(ExitCode::Ok);
}

}  // namespace tarvik::cli
