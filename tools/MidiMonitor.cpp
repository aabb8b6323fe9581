// SPDX-License-Identifier: MIT
#include "tools/MidiMonitor.h"

#include <QCoreApplication>

namespace tarvik {
namespace {

QString worded(const char* text, MonitorWording wording) {
  return wording == MonitorWording::English ? QString::fromLatin1(text)
                                            : QCoreApplication::translate("MidiMonitor", text);
}

}  // namespace

std::optional<QString> monitorLine(std::uint8_t status, std::uint8_t data1, std::uint8_t data2,
                                   MonitorWording wording) {
  const int channel = (status & 0x0F) + 1;
  switch (status & 0xF0) {
    case 0xC0:
      return worded(
                 QT_TRANSLATE_NOOP("MidiMonitor",
                                   "[MIDI IN] ProgrammChange - MidiChannel: %1 - ProgrammNr: %2"),
                 wording)
          .arg(channel)
          .arg(data1 + 1);
    case 0xB0:
      return worded(QT_TRANSLATE_NOOP(
                        "MidiMonitor",
                        "[MIDI IN] ControllChange - MidiChannel: %1 - ControllNr: %2 - Value: %3"),
                    wording)
          .arg(channel)
          .arg(data1)
          .arg(data2);
    default:
      return std::nullopt;
  }
}

}  // namespace tarvik
