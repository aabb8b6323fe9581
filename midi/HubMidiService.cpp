// SPDX-License-Identifier: MIT
#include "midi/HubMidiService.h"

#include <QCoreApplication>

namespace tarvik {

std::uint32_t HubMidiService::inGetDevCaps(std::uint32_t port, std::string& name) {
  return describe("inGetDevCaps", true, port, &name, nullptr);
}

std::uint32_t HubMidiService::outGetDevCaps(std::uint32_t port, std::string& name) {
  return describe("outGetDevCaps", false, port, &name, nullptr);
}

std::uint32_t HubMidiService::inGetDevIdentity(std::uint32_t port, std::uint64_t& identity) {
  return describe("inGetDevIdentity", true, port, nullptr, &identity);
}

std::uint32_t HubMidiService::outGetDevIdentity(std::uint32_t port, std::uint64_t& identity) {
  return describe("outGetDevIdentity", false, port, nullptr, &identity);
}

std::uint32_t HubMidiService::checkHeader(const char* operation, MidiHandle handle,
                                          MidiHeader* header, bool input) {
  if (auto code = enter(operation, handle, input)) return code;
  if (header != nullptr) return MidiResult::NoError;
  return fail(QCoreApplication::translate("HubMidiService", "No buffer was given.").toStdString());
}

std::uint32_t HubMidiService::inPrepareHeader(MidiHandle handle, MidiHeader* header) {
  return checkHeader("inPrepareHeader", handle, header, true);
}

std::uint32_t HubMidiService::inAddBuffer(MidiHandle handle, MidiHeader* header) {
  if (auto code = enter("inAddBuffer", handle, true)) return code;
  if (header != nullptr && header->queued) return MidiResult::StillPlaying;
  if (hub_.addBuffer(handle, header)) return MidiResult::NoError;
  return fail(
      QCoreApplication::translate("HubMidiService", "The buffer cannot take input.").toStdString());
}

std::uint32_t HubMidiService::inStart(MidiHandle handle) {
  if (auto code = enter("inStart", handle, true)) return code;
  hub_.start(handle);
  return MidiResult::NoError;
}

std::uint32_t HubMidiService::inStop(MidiHandle handle) {
  if (auto code = enter("inStop", handle, true)) return code;
  hub_.stop(handle);
  return MidiResult::NoError;
}

std::uint32_t HubMidiService::inReset(MidiHandle handle) {
  if (auto code = enter("inReset", handle, true)) return code;
  hub_.reset(handle);
  return MidiResult::NoError;
}

std::uint32_t HubMidiService::inUnprepareHeader(MidiHandle handle, MidiHeader* header) {
  if (auto code = checkHeader("inUnprepareHeader", handle, header, true)) return code;
  return header->queued ? MidiResult::StillPlaying : MidiResult::NoError;
}

std::uint32_t HubMidiService::outPrepareHeader(MidiHandle handle, MidiHeader* header) {
  return checkHeader("outPrepareHeader", handle, header, false);
}

std::uint32_t HubMidiService::outUnprepareHeader(MidiHandle handle, MidiHeader* header) {
  return checkHeader("outUnprepareHeader", handle, header, false);
}

}  // namespace tarvik
