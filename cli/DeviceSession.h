// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QTextStream>

#include "config/Configuration.h"
#include "link/DeviceLink.h"
#include "link/TransferMachine.h"

namespace tarvik {
class MidiPorts;
}

namespace tarvik::cli {

// What a command that talks to the device needs, wired as the window wires it: the
// configuration the machine reads and fills, the link over the chosen port pair and the machine
// on the link's replies.
class DeviceSession {
 public:
  // With `log`, the machine's log lines go there (--verbose).
  DeviceSession(MidiPorts& ports, QTextStream* log);
  ~DeviceSession();
  DeviceSession(const DeviceSession&) = delete;
  DeviceSession& operator=(const DeviceSession&) = delete;

  // Chooses the pair (see PortChoice) and opens it. Empty on success, else why not.
  QString open(const QString& inText, const QString& outText);

  Configuration& configuration() { return configuration_; }
  DeviceLink& link() { return link_; }
  TransferMachine& machine() { return machine_; }
  // Passes a log line on when --verbose asked for them.
  void log(const QString& line);

 private:
  MidiPorts& ports_;
  QTextStream* log_;
  Configuration configuration_;
  DeviceLink link_;
  TransferMachine machine_;
};

}  // namespace tarvik::cli
