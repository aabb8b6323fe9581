// SPDX-License-Identifier: MIT
#include "cli/MonitorCommand.h"

#include <exception>

#include "cli/PortChoice.h"
#include "tools/LogLine.h"
#include "tools/MidiMonitor.h"

namespace tarvik::cli {

MonitorCommand::MonitorCommand(MidiPorts& ports, const CliOptions& options, Output output)
    : CliCommand(output), options_(options), core_(ports) {
  connect(&core_, &ConfiguratorCore::shortMessageReceived, this,
          [this](int, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
            if (!done()) heard(status, data1, data2);
          });
}

void MonitorCommand::heard(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  const std::optional<QString> line = monitorLine(status, data1, data2, MonitorWording::English);
  if (line) printLine(logLine(clock_(), *line));
}

void MonitorCommand::printLine(const QString& line) {
  out() << line << Qt::endl;
  Q_EMIT linePrinted();
}

MonitorCommand::~MonitorCommand() {
  if (input_ < 0) return;
  try {
    core_.closeInput(input_);
  } catch (const std::exception&) {
    // The port lists close it when they go.
  }
}

void MonitorCommand::begin() {
  try {
    const std::vector<std::string> inputs = core_.inputNames();
    const PortChoice choice = chooseInput(inputs, options_.in);
    if (!choice.ok()) {
      fail(ExitCode::DeviceFailure, choice.error);
      return;
    }
    core_.openInput(choice.input);
    input_ = choice.input;
    err() << kProgramName << ": "
          << tr("monitoring %1; Ctrl+C ends")
                 .arg(QString::fromStdString(inputs[static_cast<std::size_t>(choice.input)]))
          << Qt::endl;
  } catch (const std::exception& error) {
    fail(ExitCode::DeviceFailure, QString::fromLocal8Bit(error.what()));
  }
}

void MonitorCommand::interrupt() { finish(ExitCode::Ok); }

}  // namespace tarvik::cli
