// SPDX-License-Identifier: MIT
#include "cli/DeviceSession.h"

#include <exception>

#include "cli/CliOptions.h"
#include "cli/PortChoice.h"

namespace tarvik::cli {

DeviceSession::DeviceSession(MidiPorts& ports, QTextStream* log, const QString& libraryPath)
    : log_(log), library_(libraryPath), core_(ports, [this] {
        auto server = std::make_unique<LateUpdateServer>();
        updateServer_ = server.get();
        return server;
      }()) {
  QObject::connect(&core_, &ConfiguratorCore::logLine, &core_,
                   [this](const QString& line) { this->log(line); });
}

DeviceSession::~DeviceSession() { close(); }

void DeviceSession::adoptUpdateServer(std::unique_ptr<UpdateServer> server) {
  updateServer_->adopt(std::move(server));
}

void DeviceSession::close() {
  try {
    core_.closePorts();
  } catch (const std::exception&) {
    // Ending anyway: the port lists close what is left when they go.
  }
}

QString DeviceSession::open(const QString& inText, const QString& outText) {
  try {
    const std::vector<std::string> inputs = core_.inputNames();
    const std::vector<std::string> outputs = core_.outputNames();
    const PortChoice choice = choosePorts(inputs, outputs, inText, outText);
    if (!choice.ok()) return choice.error;
    core_.openPorts(choice.input, choice.output);
    log(tr("MIDI in: %1, out: %2")
            .arg(QString::fromStdString(inputs[static_cast<std::size_t>(choice.input)]),
                 QString::fromStdString(outputs[static_cast<std::size_t>(choice.output)])));
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
