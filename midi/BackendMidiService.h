// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "midi/MidiBackend.h"
#include "midi/MidiService.h"

namespace tarvik {

// The MIDI service over any backend, and the one crossing from the backend's threads to the
// thread that owns the service (the window's). Ports are numbered as the last enumeration listed
// them; a side never enumerated is listed at its first use.
//
// Input may arrive on any thread. It is queued per port and handed to the port's callback on the
// service's thread by one queued call, one event at a time, in arrival order; callbacks run with
// no lock held, so they may call back in (re-queue a buffer, reset or close a port). SysEx bytes
// go into the buffers the port has queued: a message longer than one buffer fills several, and
// MHDR_DONE marks the one holding its last byte. While a port has no buffer queued its input
// waits, short messages behind a waiting SysEx included; other ports are not held up. Input
// outside inStart .. inStop is dropped.
class BackendMidiService : public MidiService {
 public:
  // `unspecified`: the text of MidiResult::Error when the backend gave none.
  BackendMidiService(MidiBackend* backend, std::string unspecified);
  ~BackendMidiService() override;

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
  bool announcePorts(std::function<void()> changed) override;

 protected:
  // Until a backend is set (the platform's is found in the background) there are no ports.
  void useBackend(MidiBackend* backend);
  // Every call first asks here; 0 lets it go on, else it returns that code. `port` is the
  // number the call names, or for a call on a handle the port it was opened on (-1: none).
  virtual std::uint32_t enter(const char* operation, long port) {
    (void)operation;
    (void)port;
    return MidiResult::NoError;
  }
  // What a call on this handle counts as its port in enter(): the number it was opened at.
  virtual long portOf(bool input, MidiHandle handle) const;
  // Thread-safe: input of the port opened as `handle`, as the backend hands it over (classed
  // by its first byte) or as SysEx whatever its bytes.
  void received(MidiHandle handle, const std::uint8_t* bytes, std::size_t length);
  void postSysEx(MidiHandle handle, std::vector<std::uint8_t> bytes);
  // Lives on the service's thread; what is queued to it is dropped unrun when the service goes.
  QObject& context();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tarvik
