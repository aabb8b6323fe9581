// SPDX-License-Identifier: MIT
#pragma once

#include "cli/CliCommand.h"
#include "core/ConfiguratorCore.h"

namespace tarvik::cli {

// `ports`: every input, then every output, one a line: "in:" or "out:", a tab, the name.
class PortsCommand : public CliCommand {
  Q_OBJECT
 public:
  PortsCommand(MidiPorts& ports, Output output, QObject* parent = nullptr);

 protected:
  void begin() override;

 private:
  ConfiguratorCore core_;
};

}  // namespace tarvik::cli
