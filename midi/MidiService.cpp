// SPDX-License-Identifier: MIT
#include "midi/MidiService.h"

#include <QCoreApplication>

namespace tarvik {

std::uint32_t MidiService::getErrorText(std::uint32_t code, std::string& text) {
  const char* standard = nullptr;
  switch (code) {
    case MidiResult::BadDeviceId:
      standard = QT_TRANSLATE_NOOP("MidiService", "The specified device ID is out of range.");
      break;
    case MidiResult::Allocated:
      standard = QT_TRANSLATE_NOOP("MidiService", "The specified resource is already allocated.");
      break;
    case MidiResult::InvalidHandle:
      standard = QT_TRANSLATE_NOOP("MidiService", "The specified device handle is invalid.");
      break;
    case MidiResult::NoDriver:
      standard = QT_TRANSLATE_NOOP("MidiService", "There is no driver installed on your system.");
      break;
    case MidiResult::StillPlaying:
      standard = QT_TRANSLATE_NOOP("MidiService", "The buffer is still in the queue.");
      break;
    default:
      return MidiResult::Error;
  }
  text = QCoreApplication::translate("MidiService", standard).toStdString();
  return MidiResult::NoError;
}

}  // namespace tarvik
