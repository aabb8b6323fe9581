// SPDX-License-Identifier: MIT
#include "midi/MidiErrorTexts.h"

#include <QCoreApplication>

#include "midi/MidiService.h"

namespace tarvik {

std::optional<std::string> standardMidiErrorText(std::uint32_t code) {
  switch (code) {
    case MidiResult::BadDeviceId:
      return QCoreApplication::translate("MidiErrorTexts",
                                         "The specified device ID is out of range.")
          .toStdString();
    case MidiResult::Allocated:
      return QCoreApplication::translate("MidiErrorTexts",
                                         "The specified resource is already allocated.")
          .toStdString();
    case MidiResult::InvalidHandle:
      return QCoreApplication::translate("MidiErrorTexts",
                                         "The specified device handle is invalid.")
          .toStdString();
    case MidiResult::NoDriver:
      return QCoreApplication::translate("MidiErrorTexts",
                                         "There is no driver installed on your system.")
          .toStdString();
    case MidiResult::StillPlaying:
      return QCoreApplication::translate("MidiErrorTexts", "The buffer is still in the queue.")
          .toStdString();
    default:
      return std::nullopt;
  }
}

}  // namespace tarvik
