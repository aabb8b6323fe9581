// SPDX-License-Identifier: MIT
#include "cli/MonitorCommand.h"

#include <exception>

#include "cli/PortChoice.h"
#include "midi/MidiPorts.h"
#include "tools/LogLine.h"
#include "tools/MidiMonitor.h"

namespace tarvik::cli {

MonitorCommand::MonitorCommand(MidiPorts& ports, const CliOptions& options, Output output,
                               QObject* parent)
    : CliCommand(output, parent), ports_(ports), options_(options), link_(ports) {
  connect(&link_, &DeviceLink::shortReceived, this,
          [this](int, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
            const std::optional<QString> line =
                monitorLine(status, data1, data2, MonitorWording::English);
            if (!line || done()) return;
            // Each line leaves at once, so that a pipe reader sees it as it happens.
            out() << logLine(clock_(), *line) << Qt::endl;
            Q_EMIT linePrinted();
          });
}

MonitorCommand::~MonitorCommand() {
  if (input_ < 0) return;
  try {
    ports_.inputs().Close(input_);
  } catch (const std::exception&) {
    // The port lists close it when they go.
  }
}

void MonitorCommand::begin() {
  try {
    const PortChoice choice = chooseInput(ports_.inputs().PortNames(), options_.in);
    if (!choice.ok()) {
      fail(ExitCode::DeviceFailure, choice.error);
      return;
    }
    link_.listen();
    ports_.inputs().Open(choice.input);
    input_ = choice.input;
    err() << kProgramName << ": "
          << tr("monitoring %1; Ctrl+C ends")
                 .arg(QString::fromStdString(ports_.inputs().Ports()[choice.input].Name))
          << Qt::endl;
  } catch (const std::exception& error) {
    fail(ExitCode::DeviceFailure, QString::fromLocal8Bit(error.what()));
  }
}

void MonitorCommand::interrupt() { finish(ExitCode::Ok); }

}  // namespace tarvik::cli
