// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

#include "midi/MidiService.h"

namespace tarvik {

// Stands in for the platform's MIDI service until that has been loaded: the port lists exist
// from the window's first moment, while the code that reaches the MIDI system comes later (see
// PlatformModule). Until then it has no ports, so nothing can be opened; once a service is
// adopted, every call goes to it. Handles are the adopted service's own.
class LateMidiService : public MidiService {
 public:
  LateMidiService();
  ~LateMidiService() override;

  // Takes the service over; once only, before any port could be opened.
  void adopt(std::unique_ptr<MidiService> service);

  std::uint32_t inGetNumDevs() override;
  std::uint32_t outGetNumDevs() override;
  std::uint32_t inGetDevCaps(std::uint32_t port, std::string& name) override;
  std::uint32_t outGetDevCaps(std::uint32_t port, std::string& name) override;
  std::uint32_t inGetDevIdentity(std::uint32_t port, std::uint64_t& identity) override;
  std::uint32_t outGetDevIdentity(std::uint32_t port, std::uint64_t& identity) override;
  std::uint32_t inOpen(MidiHandle& handle, std::uint32_t port, MidiInCallback callback,
                       std::uintptr_t instance) override;
  std::uint32_t inPrepareHeader(MidiHandle handle, MidiHeader* header) override;
  std::uint32_t inAddBuffer(MidiHandle handle, MidiHeader* header) override;
  std::uint32_t inStart(MidiHandle handle) override;
  std::uint32_t inStop(MidiHandle handle) override;
  std::uint32_t inReset(MidiHandle handle) override;
  std::uint32_t inUnprepareHeader(MidiHandle handle, MidiHeader* header) override;
  std::uint32_t inClose(MidiHandle handle) override;
  std::uint32_t outOpen(MidiHandle& handle, std::uint32_t port) override;
  std::uint32_t outShortMsg(MidiHandle handle, std::uint32_t packed) override;
  std::uint32_t outPrepareHeader(MidiHandle handle, MidiHeader* header) override;
  std::uint32_t outLongMsg(MidiHandle handle, MidiHeader* header) override;
  std::uint32_t outUnprepareHeader(MidiHandle handle, MidiHeader* header) override;
  std::uint32_t outClose(MidiHandle handle) override;
  std::uint32_t getErrorText(std::uint32_t code, std::string& text) override;
  void whenOpenPortsCarry(std::function<void()> carrying) override;

 private:
  MidiService& current() const;

  std::unique_ptr<MidiService> none_;
  std::unique_ptr<MidiService> adopted_;
};

}  // namespace tarvik
