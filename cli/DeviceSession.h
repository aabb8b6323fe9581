// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QTextStream>

#include "core/ConfiguratorCore.h"

namespace tarvik::cli {

// What a command that talks to the device holds: the program's core over the port lists, the
// port pair chosen from the command line's --in and --out, and --verbose's log.
class DeviceSession {
 public:
  // With `log`, the core's log lines go there (--verbose).
  DeviceSession(MidiPorts& ports, QTextStream* log);
  ~DeviceSession();
  DeviceSession(const DeviceSession&) = delete;
  DeviceSession& operator=(const DeviceSession&) = delete;

  // Chooses the pair (see PortChoice) and opens it. Empty on success, else why not.
  QString open(const QString& inText, const QString& outText);

  ConfiguratorCore& core() { return core_; }
  // Passes a log line on when --verbose asked for them.
  void log(const QString& line);

 private:
  QTextStream* log_;
  ConfiguratorCore core_;
};

}  // namespace tarvik::cli
