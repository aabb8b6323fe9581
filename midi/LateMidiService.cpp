// SPDX-License-Identifier: MIT
#include "midi/LateMidiService.h"

#include <utility>

#include "midi/MidiErrorTexts.h"

namespace tarvik {

namespace {

// What the port lists see before the platform's service is there: no ports, hence no handles.
class NoPortsService : public MidiService {
 public:
  std::uint32_t inGetNumDevs() override { return 0; }
  std::uint32_t outGetNumDevs() override { return 0; }
  std::uint32_t inGetDevCaps(std::uint32_t, std::string&) override {
    return MidiResult::BadDeviceId;
  }
  std::uint32_t outGetDevCaps(std::uint32_t, std::string&) override {
    return MidiResult::BadDeviceId;
  }
  std::uint32_t inOpen(MidiHandle&, std::uint32_t, MidiInCallback, std::uintptr_t) override {
    return MidiResult::BadDeviceId;
  }
  std::uint32_t inPrepareHeader(MidiHandle, MidiHeader*) override { return noHandle(); }
  std::uint32_t inAddBuffer(MidiHandle, MidiHeader*) override { return noHandle(); }
  std::uint32_t inStart(MidiHandle) override { return noHandle(); }
  std::uint32_t inStop(MidiHandle) override { return noHandle(); }
  std::uint32_t inReset(MidiHandle) override { return noHandle(); }
  std::uint32_t inUnprepareHeader(MidiHandle, MidiHeader*) override { return noHandle(); }
  std::uint32_t inClose(MidiHandle) override { return noHandle(); }
  std::uint32_t outOpen(MidiHandle&, std::uint32_t) override { return MidiResult::BadDeviceId; }
  std::uint32_t outShortMsg(MidiHandle, std::uint32_t) override { return noHandle(); }
  std::uint32_t outPrepareHeader(MidiHandle, MidiHeader*) override { return noHandle(); }
  std::uint32_t outLongMsg(MidiHandle, MidiHeader*) override { return noHandle(); }
  std::uint32_t outUnprepareHeader(MidiHandle, MidiHeader*) override { return noHandle(); }
  std::uint32_t outClose(MidiHandle) override { return noHandle(); }
  std::uint32_t getErrorText(std::uint32_t code, std::string& text) override {
    const auto standard = standardMidiErrorText(code);
    if (!standard) return MidiResult::Error;
    text = *standard;
    return MidiResult::NoError;
  }

 private:
  static std::uint32_t noHandle() { return MidiResult::InvalidHandle; }
};

}  // namespace

LateMidiService::LateMidiService() : none_(std::make_unique<NoPortsService>()) {}

LateMidiService::~LateMidiService() = default;

void LateMidiService::adopt(std::unique_ptr<MidiService> service) {
  if (!adopted_) adopted_ = std::move(service);
}

MidiService& LateMidiService::current() const { return adopted_ ? *adopted_ : *none_; }

std::uint32_t LateMidiService::inGetNumDevs() { return current().inGetNumDevs(); }
std::uint32_t LateMidiService::outGetNumDevs() { return current().outGetNumDevs(); }
std::uint32_t LateMidiService::inGetDevCaps(std::uint32_t port, std::string& name) {
  return current().inGetDevCaps(port, name);
}
std::uint32_t LateMidiService::outGetDevCaps(std::uint32_t port, std::string& name) {
  return current().outGetDevCaps(port, name);
}
std::uint32_t LateMidiService::inGetDevIdentity(std::uint32_t port, std::uint64_t& identity) {
  return current().inGetDevIdentity(port, identity);
}
std::uint32_t LateMidiService::outGetDevIdentity(std::uint32_t port, std::uint64_t& identity) {
  return current().outGetDevIdentity(port, identity);
}
std::uint32_t LateMidiService::inOpen(MidiHandle& handle, std::uint32_t port,
                                      MidiInCallback callback, std::uintptr_t instance) {
  return current().inOpen(handle, port, std::move(callback), instance);
}
std::uint32_t LateMidiService::inPrepareHeader(MidiHandle handle, MidiHeader* header) {
  return current().inPrepareHeader(handle, header);
}
std::uint32_t LateMidiService::inAddBuffer(MidiHandle handle, MidiHeader* header) {
  return current().inAddBuffer(handle, header);
}
std::uint32_t LateMidiService::inStart(MidiHandle handle) { return current().inStart(handle); }
std::uint32_t LateMidiService::inStop(MidiHandle handle) { return current().inStop(handle); }
std::uint32_t LateMidiService::inReset(MidiHandle handle) { return current().inReset(handle); }
std::uint32_t LateMidiService::inUnprepareHeader(MidiHandle handle, MidiHeader* header) {
  return current().inUnprepareHeader(handle, header);
}
std::uint32_t LateMidiService::inClose(MidiHandle handle) { return current().inClose(handle); }
std::uint32_t LateMidiService::outOpen(MidiHandle& handle, std::uint32_t port) {
  return current().outOpen(handle, port);
}
std::uint32_t LateMidiService::outShortMsg(MidiHandle handle, std::uint32_t packed) {
  return current().outShortMsg(handle, packed);
}
std::uint32_t LateMidiService::outPrepareHeader(MidiHandle handle, MidiHeader* header) {
  return current().outPrepareHeader(handle, header);
}
std::uint32_t LateMidiService::outLongMsg(MidiHandle handle, MidiHeader* header) {
  return current().outLongMsg(handle, header);
}
std::uint32_t LateMidiService::outUnprepareHeader(MidiHandle handle, MidiHeader* header) {
  return current().outUnprepareHeader(handle, header);
}
std::uint32_t LateMidiService::outClose(MidiHandle handle) { return current().outClose(handle); }
std::uint32_t LateMidiService::getErrorText(std::uint32_t code, std::string& text) {
  return current().getErrorText(code, text);
}
void LateMidiService::whenOpenPortsCarry(std::function<void()> carrying) {
  current().whenOpenPortsCarry(std::move(carrying));
}

}  // namespace tarvik
