// SPDX-License-Identifier: MIT
#include "cli/DeviceSession.h"

#include <exception>

#include "cli/PortChoice.h"
#include "midi/MidiPorts.h"

namespace tarvik::cli {

DeviceSession::DeviceSession(MidiPorts& ports, QTextStream* log)
    : ports_(ports), log_(log), link_(ports), machine_(link_, configuration_) {
  QObject::connect(&link_, &DeviceLink::sysExReceived, &machine_, &TransferMachine::receiveFrame);
  QObject::connect(&machine_, &TransferMachine::logLine, &machine_,
                   [this](const QString& line) { this->log(line); });
}

DeviceSession::~DeviceSession() {
  try {
    link_.close();
  } catch (const std::exception&) {
    // Ending anyway: the port lists close what is left when they go.
  }
}

QString DeviceSession::open(const QString& inText, const QString& outText) {
  try {
    const PortChoice choice =
        choosePorts(ports_.inputs().PortNames(), ports_.outputs().PortNames(), inText, outText);
    if (!choice.ok()) return choice.error;
    link_.open(choice.input, choice.output);
    log(QStringLiteral("MIDI in: %1, out: %2")
            .arg(QString::fromStdString(ports_.inputs().Ports()[choice.input].Name),
                 QString::fromStdString(ports_.outputs().Ports()[choice.output].Name)));
    return {};
  } catch (const std::exception& error) {
    return QString::fromLocal8Bit(error.what());
  }
}

void DeviceSession::log(const QString& line) {
  if (log_ != nullptr) *log_ << line << Qt::endl;
}

}  // namespace tarvik::cli
