// SPDX-License-Identifier: MIT
#include "core/TestMessageSender.h"

#include <QPointer>
#include <algorithm>
#include <exception>

#include "link/DeviceLink.h"
#include "midi/MidiPorts.h"

namespace tarvik {

TestMessageSender::TestMessageSender(MidiPorts& ports, DeviceLink& link, ReportError reportError,
                                     QObject* parent)
    : QObject(parent), ports_(ports), link_(link), reportError_(std::move(reportError)) {}

void TestMessageSender::send(int port, std::uint8_t status, std::uint8_t data1,
                             std::uint8_t data2) {
  const Message m{status, data1, data2};
  TMidiOutput& outputs = ports_.outputs();
  const bool opensNow =
      port >= 0 && static_cast<std::size_t>(port) < outputs.Ports().size() && !outputs.IsOpen(port);
  if (!opensNow) {
    link_.sendShort(port, m.status, m.data1, m.data2);
    return;
  }
  outputs.Open(port);
  const std::string name = outputs.Ports()[static_cast<std::size_t>(port)].Name;
  ports_.service().whenOpenPortsCarry([self = QPointer<TestMessageSender>(this), name, m] {
    if (self) self->sendLater(name, m);
  });
}

void TestMessageSender::sendLater(const std::string& portName, Message m) {
  try {
    const std::vector<std::string> names = ports_.outputs().PortNames();
    const auto found = std::find(names.begin(), names.end(), portName);
    if (found == names.end()) {
      reportError_(tr("The MIDI port %1 vanished before the message could be sent.")
                       .arg(QString::fromStdString(portName)));
      return;
    }
    link_.sendShort(static_cast<int>(found - names.begin()), m.status, m.data1, m.data2);
  } catch (const std::exception& error) {
    reportError_(QString::fromLocal8Bit(error.what()));
  }
}

}  // namespace tarvik
