// SPDX-License-Identifier: MIT
#include "link/DeviceLink.h"

#include <QPointer>

#include "midi/MidiPorts.h"

namespace tarvik {

DeviceLink::DeviceLink(MidiPorts& ports, QObject* parent) : QObject(parent), ports_(ports) {
  qRegisterMetaType<std::vector<std::uint8_t>>();
}

DeviceLink::~DeviceLink() {
  if (listening_) ports_.setMessageHandlers(nullptr, nullptr);
}

void DeviceLink::listen() {
  if (listening_) return;
  // The layer calls these on this thread (its input is handed over before it is delivered),
  // so the signals reach their receivers directly, in arrival order. The ports keep them for
  // every input list they make later, as the window's do when the platform's service arrives.
  auto shortMessage = [this](int port, std::uint8_t status, std::uint8_t d1, std::uint8_t d2) {
    if (tap_) {
      const std::uint8_t bytes[] = {status, d1, d2};
      tap_->record(TrafficDirection::In, bytes,
                   static_cast<std::size_t>(shortMessageLength(status)));
    }
    Q_EMIT shortReceived(port, status, d1, d2);
  };
  auto sysEx = [this](int port, const TMemoryStream& stream) {
    if (tap_) tap_->record(TrafficDirection::In, stream.data(), stream.size());
    Q_EMIT sysExReceived(port, stream);
  };
  ports_.setMessageHandlers(std::move(shortMessage), std::move(sysEx));
  listening_ = true;
}

void DeviceLink::open(int inputPort, int outputPort) {
  listen();
  if (inputPort == inputPort_ || outputPort == outputPort_) {
    inputPort_ = -1;
    outputPort_ = -1;
  }
  reopen(ports_.inputs(), inputPort);
  reopen(ports_.outputs(), outputPort);
  inputPort_ = inputPort;
  outputPort_ = outputPort;
  inputName_ = ports_.inputs().Ports()[static_cast<std::size_t>(inputPort)].Name;
  outputName_ = ports_.outputs().Ports()[static_cast<std::size_t>(outputPort)].Name;
}

void DeviceLink::reopen(TMidiDevices& list, int port) {
  if (list.IsOpen(port)) list.Close(port);
  list.Open(port);
}

void DeviceLink::followRescan(const std::vector<int>& inputMoves,
                              const std::vector<int>& outputMoves) {
  auto follow = [](int& port, const std::vector<int>& moves) {
    if (port < 0) return false;
    const auto old = static_cast<std::size_t>(port);
    port = old < moves.size() ? moves[old] : -1;
    return port < 0;
  };
  const bool inputLost = follow(inputPort_, inputMoves);
  const bool outputLost = follow(outputPort_, outputMoves);
  if (inputLost) Q_EMIT portLost(QString::fromStdString(inputName_));
  if (outputLost) Q_EMIT portLost(QString::fromStdString(outputName_));
}

void DeviceLink::close() {
  const int input = inputPort_;
  const int output = outputPort_;
  inputPort_ = -1;
  outputPort_ = -1;
  // The output first: under JACK the input closes once the output's port has gone.
  if (output >= 0) ports_.outputs().Close(output);
  if (input >= 0) ports_.inputs().Close(input);
}

void DeviceLink::SendByte(std::uint8_t value) {
  const auto frame = nibbleFrame(value);
  ports_.outputs().SendLongMessage(outputPort_, TMemoryStream(frame.begin(), frame.end()));
  if (tap_) tap_->record(TrafficDirection::Out, frame.data(), frame.size());
}

void DeviceLink::sendShort(int outputPort, std::uint8_t status, std::uint8_t data1,
                           std::uint8_t data2) {
  ports_.outputs().SendShortMessage(outputPort, status, data1, data2);
  if (tap_) {
    const std::uint8_t bytes[] = {status, data1, data2};
    tap_->record(TrafficDirection::Out, bytes,
                 static_cast<std::size_t>(shortMessageLength(status)));
  }
}

}  // namespace tarvik
