// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "midi/MidiService.h"

namespace tarvik {

// A MIDI service held in memory, for tests and the in-process simulator: the service over a
// backend of its own, whose ports are added by name. What an output is sent is recorded (and
// handed to an optional sink); input can be delivered to an input port from any thread, and
// reaches the layer through the same hand-over as the platform's, so tests see the real order.
class InMemoryMidiService : public MidiService, private MidiBackend {
 public:
  InMemoryMidiService();
  ~InMemoryMidiService() override;

  // Return the new port's id, which the calls below take: its index in the enumeration until a
  // port before it is unplugged.
  int addInput(const std::string& name);
  int addOutput(const std::string& name);
  // Unplugs a port (false) or plugs it in again (true) at its old place. An unplugged port is
  // left out of the next enumeration and cannot be opened; a handle open on it still works as
  // far as the service is concerned, as under JACK or ALSA when the other side goes, but carries
  // nothing. Plugged in again, the port has a new identity and opens anew, while a handle from
  // before stays dead, as with a real interface plugged back in.
  void setInputPresent(int id, bool present) { plug(true, id, present); }
  void setOutputPresent(int id, bool present) { plug(false, id, present); }
  // Names are cut to the 31 characters of a Windows capability record unless kept whole, as
  // ALSA and JACK report them.
  void keepWholeNames() { wholeNames_ = true; }

  // Thread-safe. A SysEx message longer than the receive buffer arrives in several buffers.
  void deliverSysEx(int inPort, std::vector<std::uint8_t> bytes);
  void deliverShort(int inPort, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

  // Every message sent on an output port, in order, with exactly the bytes of the wire.
  std::vector<std::vector<std::uint8_t>> sent(int outPort) const;
  void clearSent(int outPort);
  // Called for every message sent on that port, on the sending thread, after it is recorded.
  using Sink = std::function<void(const std::vector<std::uint8_t>& message)>;
  void setOutputSink(int outPort, Sink sink);

  bool isInputOpen(int inPort) const { return isOpen(true, inPort); }
  bool isOutputOpen(int outPort) const { return isOpen(false, outPort); }
  // The service calls made so far ("inOpen 0", "outLongMsg 1", ...: the operation and its port).
  std::vector<std::string> calls() const;
  void clearCalls();

  // The next call of the named operation ("inOpen", "inAddBuffer", "outLongMsg", ...) returns
  // this code instead of doing its work.
  void failNext(const std::string& operation, std::uint32_t code) { failCall(operation, 0, code); }
  // The operation works `callsToLetThrough` more times, the call after returns this code, and
  // later calls work again: the device link sends one byte per "outLongMsg", so a send can fail
  // at any byte of a command.
  void failCall(const std::string& operation, int callsToLetThrough, std::uint32_t code);

  // Like a JACK connection before the cycle from which it carries: what is sent on the outputs
  // while held is kept, and goes out in order on release. Sending returns at once either way.
  void holdCarrying(bool hold);
  // Sends what was kept; the hold stays as it is.
  void releaseCarrying();
  std::size_t carryingHeld() const;

 protected:
  std::uint32_t enter(const char* operation, long port) override;

 private:
  struct State;
  void plug(bool input, int id, bool present);
  bool isOpen(bool input, int id) const;
  std::vector<Port> ports(bool sending) override;
  std::uint32_t open(MidiHandle handle, Port& port, Receive receive) override;
  std::uint32_t close(MidiHandle handle) override;
  std::uint32_t send(MidiHandle handle, const std::uint8_t* bytes, std::size_t length) override;
  std::string name() const override { return "in-memory"; }

  std::unique_ptr<State> state_;
  bool wholeNames_ = false;
};

}  // namespace tarvik
