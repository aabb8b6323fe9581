// SPDX-License-Identifier: MIT
#include "link/DeviceLink.h"

#include <QPointer>

#include "midi/MidiPorts.h"

namespace tarvik {

DeviceLink::DeviceLink(MidiPorts& ports, QObject* parent) : QObject(parent), ports_(ports) {
  qRegisterMetaType<std::vector<std::uint8_t>>();
}

DeviceLink::~DeviceLink() {
  if (listening_) {
    TMidiInput& inputs = ports_.inputs();
    inputs.OnShortMessage = nullptr;
    inputs.OnSysExMessage = nullptr;
  }
}

void DeviceLink::listen() {
  if (listening_) return;
  TMidiInput& inputs = ports_.inputs();
  // The layer calls these on this thread (its input is handed over before it is delivered),
  // so the signals reach their receivers directly, in arrival order.
  inputs.OnShortMessage = [this](int port, std::uint8_t status, std::uint8_t d1, std::uint8_t d2) {
    Q_EMIT shortReceived(port, status, d1, d2);
  };
  inputs.OnSysExMessage = [this](int port, const TMemoryStream& stream) {
    Q_EMIT sysExReceived(port, stream);
  };
  listening_ = true;
}

void DeviceLink::open(int inputPort, int outputPort) {
  listen();
  ports_.inputs().Open(inputPort);
  ports_.outputs().Open(outputPort);
  inputPort_ = inputPort;
  outputPort_ = outputPort;
}

void DeviceLink::close() {
  const int input = inputPort_;
  const int output = outputPort_;
  inputPort_ = -1;
  outputPort_ = -1;
  if (input >= 0) ports_.inputs().Close(input);
  if (output >= 0) ports_.outputs().Close(output);
}

void DeviceLink::SendByte(std::uint8_t value) {
  const auto frame = nibbleFrame(value);
  ports_.outputs().SendLongMessage(outputPort_, TMemoryStream(frame.begin(), frame.end()));
}

}  // namespace tarvik

namespace tarvik {

void DeviceLink::whenCarrying(std::function<void()> then) {
  ports_.service().whenOpenPortsCarry([self = QPointer<DeviceLink>(this), then = std::move(then)] {
    if (self) then();
  });
}

}  // namespace tarvik
