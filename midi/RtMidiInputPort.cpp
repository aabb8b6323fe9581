// SPDX-License-Identifier: MIT
#include "midi/RtMidiInputPort.h"

#include "midi/InputHub.h"

namespace tarvik {

void RtMidiInputPort::listenTo(RtMidiIn& in) {
  in.ignoreTypes(false, true, true);
  in.setCallback(&RtMidiInputPort::onInput, this);
}

void RtMidiInputPort::onInput(double /*timeStamp*/, std::vector<unsigned char>* message,
                              void* userData) {
  if (message == nullptr || message->empty()) return;
  const auto* port = static_cast<const RtMidiInputPort*>(userData);
  const std::vector<unsigned char>& bytes = *message;
  if (bytes.front() == 0xF0 || bytes.size() > 3) {
    port->hub->postSysEx(port->handle, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    return;
  }
  std::uint32_t packed = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    packed |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
  port->hub->postShort(port->handle, packed);
}

}  // namespace tarvik
