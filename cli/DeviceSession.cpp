// SPDX-License-Identifier: MIT
#include "cli/DeviceSession.h"

#include <exception>

#include "cli/CliOptions.h"
#include "cli/PortChoice.h"
#include "midi/MidiPorts.h"

namespace tarvik::cli {

DeviceSession::DeviceSession(MidiPorts& ports, QTextStream* log, const QString& libraryPath)
    : log_(log), library_(libraryPath), core_(ports) {
  QObject::connect(&core_, &ConfiguratorCore::logLine, &core_,
                   [this](const QString& line) { this->log(line); });
}

DeviceSession::~DeviceSession() { close(); }

void DeviceSession::close() {
  try {
    core_.link().close();
  } catch (const std::exception&) {
    // Ending anyway: the port lists close what is left when they go.
  }
}

QString DeviceSession::open(const QString& inText, const QString& outText) {
  MidiPorts& ports = core_.ports();
  try {
    const PortChoice choice =
        choosePorts(ports.inputs().PortNames(), ports.outputs().PortNames(), inText, outText);
    if (!choice.ok()) return choice.error;
    core_.link().open(choice.input, choice.output);
    log(tr("MIDI in: %1, out: %2")
            .arg(QString::fromStdString(ports.inputs().Ports()[choice.input].Name),
                 QString::fromStdString(ports.outputs().Ports()[choice.output].Name)));
    return {};
  } catch (const std::exception& error) {
    return QString::fromLocal8Bit(error.what());
  }
}

SetupLibrary* DeviceSession::library() {
  SetupLibrary* library = library_.get();
  core_.setLibrary(library);
  return library;
}

void DeviceSession::keepHistory(QTextStream& err) {
  if (library_.given() && library() == nullptr) {
    err << kProgramName << ": "
        << tr("warning: %1; the device history is not kept").arg(libraryError()) << Qt::endl;
  }
}

void DeviceSession::log(const QString& line) {
  if (log_ != nullptr) *log_ << line << Qt::endl;
}

}  // namespace tarvik::cli
