// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tarvik {

// Handle of an open port; 0 means "no handle" (the port is closed).
using MidiHandle = std::uintptr_t;
inline constexpr MidiHandle kNoHandle = 0;

// Result codes. 0 is success; the others follow the numbering of the Windows multimedia MIDI
// service so that a code logged on one platform reads the same on another.
namespace MidiResult {
inline constexpr std::uint32_t NoError = 0;
inline constexpr std::uint32_t Error = 1;  // unspecified; its text is the driver's last message
inline constexpr std::uint32_t BadDeviceId = 2;
inline constexpr std::uint32_t Allocated = 4;
inline constexpr std::uint32_t InvalidHandle = 5;
inline constexpr std::uint32_t NoDriver = 6;
inline constexpr std::uint32_t StillPlaying = 65;
inline constexpr std::uint32_t NoTextCode = 0xFFFF;  // a code the service has no text for (tests)
}  // namespace MidiResult

// Number of bytes a short message with this status occupies on the wire (1..3).
constexpr int shortMessageLength(std::uint8_t status) {
  if (status >= 0xC0 && status <= 0xDF) return 2;
  if (status >= 0x80 && status <= 0xEF) return 3;
  if (status == 0xF1 || status == 0xF3) return 2;
  if (status == 0xF2) return 3;
  // Tune request, real-time messages, and status bytes with no defined length go out alone.
  return 1;
}

// Input messages handed to the input callback.
inline constexpr std::uint32_t MIM_DATA = 0x3C3;      // p1 = packed short message
inline constexpr std::uint32_t MIM_LONGDATA = 0x3C4;  // p1 = MidiHeader* handed back
inline constexpr std::uint32_t MHDR_DONE = 1;         // the header's bytes end a SysEx message

// Describes one receive buffer to the service. The service fills `data` with up to
// `bufferLength` bytes of SysEx input, records the count and hands the header back through
// MIM_LONGDATA; MHDR_DONE in `flags` marks the buffer that holds the end of a message.
struct MidiHeader {
  std::uint8_t* data = nullptr;
  std::uint32_t bufferLength = 0;
  std::uint32_t bytesRecorded = 0;
  std::uint32_t flags = 0;
  bool queued = false;  // owned by the service while true
};

// (message, instance, p1, p2). The service calls it on the thread that created the service
// (the window's thread), one event at a time, in arrival order per port: input that arrives on
// the platform's own thread is handed over before the callback runs.
using MidiInCallback = std::function<void(std::uint32_t msg, std::uintptr_t instance,
                                          std::uintptr_t p1, std::uintptr_t p2)>;

// The platform MIDI service behind the MIDI device layer. Every operation returns a result code
// (0 = success); nothing throws. Implementations: RtMidiService (ALSA or JACK, on Linux) and
// InMemoryMidiService (tests, simulator). This class itself is a service with no ports, hence no
// handles: what the port lists stand on until the platform's service has been loaded.
class MidiService {
 public:
  virtual ~MidiService() = default;

  virtual std::uint32_t inGetNumDevs() { return 0; }
  virtual std::uint32_t outGetNumDevs() { return 0; }
  // Name of the port as the service reports it (JACK: "client:port"; kept whole, since cutting
  // long JACK names to a fixed width can make two ports read the same).
  virtual std::uint32_t inGetDevCaps(std::uint32_t /*port*/, std::string& /*name*/) {
    return MidiResult::BadDeviceId;
  }
  virtual std::uint32_t outGetDevCaps(std::uint32_t /*port*/, std::string& /*name*/) {
    return MidiResult::BadDeviceId;
  }
  // What tells this port from an earlier one of the same name: a device unplugged and plugged
  // in again (or a JACK client restarted) lists under its old name, but a handle opened before
  // reaches nothing. A port whose identity changed is a new port. 0: the service cannot tell,
  // and ports are told apart by name alone.
  virtual std::uint32_t inGetDevIdentity(std::uint32_t /*port*/, std::uint64_t& identity) {
    identity = 0;
    return MidiResult::NoError;
  }
  virtual std::uint32_t outGetDevIdentity(std::uint32_t /*port*/, std::uint64_t& identity) {
    identity = 0;
    return MidiResult::NoError;
  }

  virtual std::uint32_t inOpen(MidiHandle& /*handle*/, std::uint32_t /*port*/,
                               MidiInCallback /*callback*/, std::uintptr_t /*instance*/) {
    return MidiResult::BadDeviceId;
  }
  virtual std::uint32_t inPrepareHeader(MidiHandle /*handle*/, MidiHeader* /*header*/) {
    return MidiResult::InvalidHandle;
  }
  virtual std::uint32_t inAddBuffer(MidiHandle /*handle*/, MidiHeader* /*header*/) {
    return MidiResult::InvalidHandle;
  }
  virtual std::uint32_t inStart(MidiHandle /*handle*/) { return MidiResult::InvalidHandle; }
  virtual std::uint32_t inStop(MidiHandle /*handle*/) { return MidiResult::InvalidHandle; }
  // Hands every queued buffer back through MIM_LONGDATA with no bytes recorded, before it
  // returns, and drops input not yet delivered.
  virtual std::uint32_t inReset(MidiHandle /*handle*/) { return MidiResult::InvalidHandle; }
  virtual std::uint32_t inUnprepareHeader(MidiHandle /*handle*/, MidiHeader* /*header*/) {
    return MidiResult::InvalidHandle;
  }
  virtual std::uint32_t inClose(MidiHandle /*handle*/) { return MidiResult::InvalidHandle; }

  virtual std::uint32_t outOpen(MidiHandle& /*handle*/, std::uint32_t /*port*/) {
    return MidiResult::BadDeviceId;
  }
  // status in bits 0-7, data 1 in bits 8-15, data 2 in bits 16-23. The service sends as many
  // bytes as the status calls for (two for program change and channel pressure).
  virtual std::uint32_t outShortMsg(MidiHandle /*handle*/, std::uint32_t /*packed*/) {
    return MidiResult::InvalidHandle;
  }
  virtual std::uint32_t outPrepareHeader(MidiHandle /*handle*/, MidiHeader* /*header*/) {
    return MidiResult::InvalidHandle;
  }
  // Sends header->bufferLength bytes from header->data as one SysEx message; the service is
  // done with the memory when it returns.
  virtual std::uint32_t outLongMsg(MidiHandle /*handle*/, MidiHeader* /*header*/) {
    return MidiResult::InvalidHandle;
  }
  virtual std::uint32_t outUnprepareHeader(MidiHandle /*handle*/, MidiHeader* /*header*/) {
    return MidiResult::InvalidHandle;
  }
  virtual std::uint32_t outClose(MidiHandle /*handle*/) { return MidiResult::InvalidHandle; }

  // Text for a result code; returns 0 when the service has one. Here the texts every service
  // gives; MidiResult::Error has none, since its text is whatever the driver said last.
  virtual std::uint32_t getErrorText(std::uint32_t code, std::string& text);

  // Calls `carrying` on the service's thread once the ports opened so far carry data: bytes
  // sent to such an output reach the other end, and bytes sent to such an input come in. Some
  // services make an opened connection live only a little later (JACK, at the start of its
  // next cycle); they call back through the thread's event loop and never block the caller.
  // Here the ports carry from the moment they are open.
  virtual void whenOpenPortsCarry(std::function<void()> carrying) { carrying(); }

  // The MIDI system the ports are reached through ("Jack", "ALSA"), for whoever helps with a
  // failure; empty while none is.
  virtual std::string systemName() const { return {}; }
};

}  // namespace tarvik
