// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

namespace tarvik {

class DeviceLink;
class MidiPorts;

// Sends the test controller's messages to the output chosen for them, opening it when it is
// closed; one opened just now takes the message at once (the MIDI layer keeps it until the port
// carries).
class TestMessageSender : public QObject {
  Q_OBJECT
 public:
  using ReportError = std::function<void(const QString&)>;
  TestMessageSender(MidiPorts& ports, DeviceLink& link, ReportError reportError,
                    QObject* parent = nullptr);

  // Raises TMidiError when the port cannot be opened or the message not sent.
  void send(int port, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

 private:
  DeviceLink& link_;
};

}  // namespace tarvik
