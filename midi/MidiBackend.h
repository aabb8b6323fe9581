// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarvik {

using MidiHandle = std::uintptr_t;

// What a MIDI system offers the layer, and all it offers: its ports, opening and closing them,
// sending, and a notice when ports come or go. Buffers, handles and the crossing to the owner's
// thread are MidiService's, written once above every backend.
class MidiBackend {
 public:
  struct Port {
    std::string name;
    std::uint64_t identity = 0;  // see MidiService::inGetDevIdentity
  };
  // One whole message that came in, on whichever thread the backend reads it; in arrival order.
  using Receive = std::function<void(const std::uint8_t* bytes, std::size_t length)>;

  virtual ~MidiBackend() = default;

  // The ports that send data (`sending`: the program's inputs) or take it, without the program's
  // own.
  virtual std::vector<Port> ports(bool sending) = 0;
  // Each returns a MidiResult code; MidiResult::Error's text is lastError(). `handle` is the
  // service's, never reused. An open reaches the port that has the name now, and gives `port`
  // that plug's identity; an empty `receive` opens an output.
  virtual std::uint32_t open(MidiHandle handle, Port& port, Receive receive) = 0;
  virtual std::uint32_t close(MidiHandle handle) = 0;
  // The bytes are copied before this returns.
  virtual std::uint32_t send(MidiHandle handle, const std::uint8_t* bytes, std::size_t length) = 0;
  // Calls `changed` on any thread whenever ports may have come or gone; false when the system
  // gives no such notice and has to be asked.
  virtual bool announcePorts(std::function<void()> /*changed*/) { return false; }
  virtual std::string lastError() const { return {}; }
  // The MIDI system's name ("Jack", "ALSA"), and under JACK the server's period.
  virtual std::string name() const = 0;
  virtual std::string period() const { return {}; }

  // The error text of an open that finds no port of that name any more.
  static std::string gone(bool input, const std::string& name);
};

}  // namespace tarvik
