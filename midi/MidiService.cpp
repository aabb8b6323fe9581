// SPDX-License-Identifier: MIT
#include "midi/MidiService.h"

#include <QCoreApplication>

namespace tarvik {

std::uint32_t MidiService::inGetDevCaps(std::uint32_t, std::string&) {
  return MidiResult::BadDeviceId;
}
std::uint32_t MidiService::outGetDevCaps(std::uint32_t, std::string&) {
  return MidiResult::BadDeviceId;
}
std::uint32_t MidiService::inGetDevIdentity(std::uint32_t, std::uint64_t& identity) {
  identity = 0;
  return MidiResult::NoError;
}
std::uint32_t MidiService::outGetDevIdentity(std::uint32_t, std::uint64_t& identity) {
  identity = 0;
  return MidiResult::NoError;
}
std::uint32_t MidiService::inOpen(MidiHandle&, std::uint32_t, MidiInCallback, std::uintptr_t) {
  return MidiResult::BadDeviceId;
}
std::uint32_t MidiService::inPrepareHeader(MidiHandle, MidiHeader*) {
  return MidiResult::InvalidHandle;
}
std::uint32_t MidiService::inAddBuffer(MidiHandle, MidiHeader*) {
  return MidiResult::InvalidHandle;
}
std::uint32_t MidiService::inStart(MidiHandle) { return MidiResult::InvalidHandle; }
std::uint32_t MidiService::inStop(MidiHandle) { return MidiResult::InvalidHandle; }
std::uint32_t MidiService::inReset(MidiHandle) { return MidiResult::InvalidHandle; }
std::uint32_t MidiService::inUnprepareHeader(MidiHandle, MidiHeader*) {
  return MidiResult::InvalidHandle;
}
std::uint32_t MidiService::inClose(MidiHandle) { return MidiResult::InvalidHandle; }
std::uint32_t MidiService::outOpen(MidiHandle&, std::uint32_t) { return MidiResult::BadDeviceId; }
std::uint32_t MidiService::outShortMsg(MidiHandle, std::uint32_t) {
  return MidiResult::InvalidHandle;
}
std::uint32_t MidiService::outPrepareHeader(MidiHandle, MidiHeader*) {
  return MidiResult::InvalidHandle;
}
std::uint32_t MidiService::outLongMsg(MidiHandle, MidiHeader*) { return MidiResult::InvalidHandle; }
std::uint32_t MidiService::outUnprepareHeader(MidiHandle, MidiHeader*) {
  return MidiResult::InvalidHandle;
}
std::uint32_t MidiService::outClose(MidiHandle) { return MidiResult::InvalidHandle; }

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
