// SPDX-License-Identifier: MIT
#include "core/TestMessageSender.h"

#include "link/DeviceLink.h"

namespace tarvik {

TestMessageSender::TestMessageSender(MidiPorts& /*ports*/, DeviceLink& link,
                                     ReportError /*reportError*/, QObject* parent)
    : QObject(parent), link_(link) {}

void TestMessageSender::send(int port, std::uint8_t status, std::uint8_t data1,
                             std::uint8_t data2) {
  link_.sendShort(port, status, data1, data2);
}

}  // namespace tarvik
