// SPDX-License-Identifier: MIT
#pragma once

#include <QTime>
#include <functional>

#include "cli/CliCommand.h"
#include "core/ConfiguratorCore.h"

namespace tarvik::cli {

// `monitor`: the window's monitor lines ("[MIDI IN] ...") for every incoming program and
// control change on the chosen input, each with the event log's time stamp, until interrupted.
// Only the input is opened: the monitor sends nothing.
class MonitorCommand : public CliCommand {
  Q_OBJECT
 public:
  using Clock = std::function<QTime()>;

  MonitorCommand(MidiPorts& ports, const CliOptions& options, Output output);
  ~MonitorCommand() override;
  // The end a monitor is meant to have: exit 0.
  void interrupt() override;

  // Tests read a fixed time; the program reads the wall clock.
  void setClock(Clock clock) { clock_ = std::move(clock); }

 Q_SIGNALS:
  // A line was printed (tests wait on it).
  void linePrinted();

 protected:
  void begin() override;
  // One short message that arrived on the input; the monitor prints its line, if it has one.
  virtual void heard(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
  // Prints `line` and lets it leave at once, so that a pipe reader sees it as it happens.
  void printLine(const QString& line);

 private:
  CliOptions options_;
  ConfiguratorCore core_;
  int input_ = -1;
  Clock clock_ = [] { return QTime::currentTime(); };
};

}  // namespace tarvik::cli
