// SPDX-License-Identifier: MIT
#include <exception>
#include <memory>

#include "cli/CliRun.h"
#include "core/ConfiguratorCore.h"

namespace tarvik::cli {

// `ports`: every input, then every output, one a line: "in:" or "out:", a tab, the name.
class PortsCommand : public CliCommand {
 public:
  PortsCommand(MidiPorts& ports, Output output) : CliCommand(output), core_(ports) {}

 protected:
  void begin() override {
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

 private:
  ConfiguratorCore core_;
};

std::unique_ptr<CliCommand> makePortsCommand(MidiPorts& ports, const CliOptions&, Output output) {
  return std::make_unique<PortsCommand>(ports, output);
}

}  // namespace tarvik::cli
