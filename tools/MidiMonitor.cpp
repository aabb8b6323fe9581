// SPDX-License-Identifier: MIT
#include "tools/MidiMonitor.h"

namespace tarvik {

std::optional<QString> monitorLine(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  const int channel = (status & 0x0F) + 1;
  switch (status & 0xF0) {
    case 0xC0:
      return QStringLiteral("[MIDI IN] ProgrammChange - MidiChannel: %1 - ProgrammNr: %2")
          .arg(channel)
          .arg(data1 + 1);
    case 0xB0:
      return QStringLiteral("[MIDI IN] ControllChange - MidiChannel: %1 - ControllNr: %2 - Value: %3")
          .arg(channel)
          .arg(data1)
          .arg(data2);
    default:
      return std::nullopt;
  }
}

}  // namespace tarvik
