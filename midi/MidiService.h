// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "midi/MidiBackend.h"

namespace tarvik {

// Handle of an open port; 0 means "no handle" (the port is closed).
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

// One receive buffer: the service fills `data` with up to `bufferLength` bytes of SysEx input,
// records the count and hands the header back through MIM_LONGDATA, MHDR_DONE in `flags` on the
// buffer that holds the end of a message.
struct MidiHeader {
  std::uint8_t* data = nullptr;
  std::uint32_t bufferLength = 0;
  std::uint32_t bytesRecorded = 0;
  std::uint32_t flags = 0;
  bool queued = false;  // owned by the service while true
};

// (message, instance, p1, p2), called on the service's thread.
using MidiInCallback = std::function<void(std::uint32_t msg, std::uintptr_t instance,
                                          std::uintptr_t p1, std::uintptr_t p2)>;

// The MIDI service behind the device layer, over a backend (JACK, ALSA through RtMidi, or the
// in-memory one of the tests and the simulator); without one it lists no ports. Every call
// returns a result code (0 = success) and nothing throws. Ports are numbered as the last
// enumeration listed them; a side never enumerated is listed at its first use.
//
// Input may arrive on any thread. It is queued per port and handed to the port's callback on the
// thread that created the service (the window's) by one queued call, one event at a time, in
// arrival order; callbacks run with no lock held, so they may call back in. SysEx bytes go into
// the buffers the port has queued: a longer message fills several, and MHDR_DONE marks the one
// holding its last byte. While a port has no buffer queued its input waits, short messages
// behind a waiting SysEx included; other ports are not held up. Input outside inStart .. inStop
// is dropped.
class MidiService {
 public:
  // `unspecified`: the text of MidiResult::Error when the backend gave none.
  explicit MidiService(MidiBackend* backend = nullptr, std::string unspecified = {});
  virtual ~MidiService();

  virtual std::uint32_t inGetNumDevs() { return count(true); }
  virtual std::uint32_t outGetNumDevs() { return count(false); }
  // The port's name as the system reports it, kept whole (JACK's "client:port": cut to a fixed
  // width, two ports could read the same).
  virtual std::uint32_t inGetDevCaps(std::uint32_t port, std::string& name) {
    return caps("inGetDevCaps", true, port, &name, nullptr);
  }
  virtual std::uint32_t outGetDevCaps(std::uint32_t port, std::string& name) {
    return caps("outGetDevCaps", false, port, &name, nullptr);
  }
  // What tells this port from an earlier one of the same name: a device plugged in again (or a
  // JACK client restarted) lists under its old name, but a handle opened before reaches nothing.
  // 0: the system cannot tell, and ports are told apart by name alone.
  virtual std::uint32_t inGetDevIdentity(std::uint32_t port, std::uint64_t& identity) {
    return caps(nullptr, true, port, nullptr, &identity);
  }
  virtual std::uint32_t outGetDevIdentity(std::uint32_t port, std::uint64_t& identity) {
    return caps(nullptr, false, port, nullptr, &identity);
  }

  virtual std::uint32_t inOpen(MidiHandle& handle, std::uint32_t port, MidiInCallback callback,
                               std::uintptr_t instance) {
    return open("inOpen", true, handle, port, std::move(callback), instance);
  }
  virtual std::uint32_t inPrepareHeader(MidiHandle handle, MidiHeader* header) {
    return checkHeader("inPrepareHeader", true, handle, header);
  }
  virtual std::uint32_t inAddBuffer(MidiHandle handle, MidiHeader* header);
  virtual std::uint32_t inStart(MidiHandle handle) { return startInput("inStart", handle, true); }
  virtual std::uint32_t inStop(MidiHandle handle) { return startInput("inStop", handle, false); }
  // Hands every queued buffer back through MIM_LONGDATA with no bytes recorded, before it
  // returns, and drops input not yet delivered.
  virtual std::uint32_t inReset(MidiHandle handle);
  virtual std::uint32_t inUnprepareHeader(MidiHandle handle, MidiHeader* header);
  virtual std::uint32_t inClose(MidiHandle handle);

  virtual std::uint32_t outOpen(MidiHandle& handle, std::uint32_t port) {
    return open("outOpen", false, handle, port, nullptr, 0);
  }
  // status in bits 0-7, data 1 in bits 8-15, data 2 in bits 16-23; as many bytes go out as the
  // status calls for.
  virtual std::uint32_t outShortMsg(MidiHandle handle, std::uint32_t packed);
  virtual std::uint32_t outPrepareHeader(MidiHandle handle, MidiHeader* header) {
    return checkHeader("outPrepareHeader", false, handle, header);
  }
  // Sends header->bufferLength bytes from header->data as one SysEx message; the service is
  // done with the memory when it returns.
  virtual std::uint32_t outLongMsg(MidiHandle handle, MidiHeader* header);
  virtual std::uint32_t outUnprepareHeader(MidiHandle handle, MidiHeader* header) {
    return checkHeader("outUnprepareHeader", false, handle, header);
  }
  virtual std::uint32_t outClose(MidiHandle handle);

  // Text for a result code; returns 0 when the service has one.
  virtual std::uint32_t getErrorText(std::uint32_t code, std::string& text);

  // Calls `changed` on the service's thread whenever ports may have come or gone, until it is
  // replaced (nullptr: no one to call); false when the system gives no such notice and has to
  // be asked again and again.
  bool announcePorts(std::function<void()> changed);
  // The MIDI system the ports are reached through ("Jack", "ALSA"); empty while none is.
  virtual std::string systemName() const;

 protected:
  // Until a backend is set there are no ports.
  void useBackend(MidiBackend* backend);
  // Every call first asks here; 0 lets it go on, else it returns that code. `port` is the
  // number the call names, or for a call on a handle the number it was opened at (-1: none).
  virtual std::uint32_t enter(const char* /*operation*/, long /*port*/) { return 0; }
  // Thread-safe: input of the port opened as `handle`, classed by its first byte unless `sysEx`.
  void received(MidiHandle handle, const std::uint8_t* bytes, std::size_t length,
                bool sysEx = false);
  // Lives on the service's thread; what is queued to it is dropped unrun when the service goes.
  QObject& context();

 private:
  std::uint32_t count(bool input);
  std::uint32_t caps(const char* operation, bool input, std::uint32_t port, std::string* name,
                     std::uint64_t* identity);
  // enter(), then InvalidHandle for a handle that is not open on that side.
  std::uint32_t check(const char* operation, bool input, MidiHandle handle);
  std::uint32_t checkHeader(const char* operation, bool input, MidiHandle handle,
                            MidiHeader* header);
  std::uint32_t startInput(const char* operation, MidiHandle handle, bool start);
  std::uint32_t open(const char* operation, bool input, MidiHandle& handle, std::uint32_t port,
                     MidiInCallback callback, std::uintptr_t instance);
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tarvik
