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
// closed. A port opened just now may not carry yet: the message waits for it, and keeps the
// port by its name, since a rescan meanwhile may move it to another row or take it away.
class TestMessageSender : public QObject {
  Q_OBJECT
 public:
  using ReportError = std::function<void(const QString&)>;
  // `reportError` shows what goes wrong once the message has waited.
  TestMessageSender(MidiPorts& ports, DeviceLink& link, ReportError reportError,
                    QObject* parent = nullptr);

  // Raises TMidiError when the port cannot be opened or the message not sent now.
  void send(int port, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

 private:
  struct Message {
    std::uint8_t status;
    std::uint8_t data1;
    std::uint8_t data2;
  };
  void sendLater(const std::string& portName, Message message);

  MidiPorts& ports_;
  DeviceLink& link_;
  ReportError reportError_;
};

}  // namespace tarvik
