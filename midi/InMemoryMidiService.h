// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "midi/BackendMidiService.h"

namespace tarvik {

// A MIDI service held in memory, for tests and for the in-process simulator: the service over a
// backend of its own, whose ports are added by name, every message sent on an output is recorded
// (and handed to an optional sink), and input can be delivered to an input port from any thread.
// Ports can be unplugged and plugged in again. Like the platform's service, the port numbers of the
// calls below are those of the last enumeration (inGetNumDevs, outGetNumDevs); a port that is gone
// since is not found, and never taken for another. Before the first enumeration the numbers are
// those of the ports present. Input reaches the layer's callback through the same hand-over to the
// creating thread as the platform's, so tests see the real ordering.
class InMemoryMidiService : public BackendMidiService, private MidiBackend {
 public:
  InMemoryMidiService();
  ~InMemoryMidiService() override;

  // Ports; return the new port's id, which the other test calls below take. It is the port's
  // index in the service's enumeration until a port before it is unplugged.
  int addInput(const std::string& name);
  int addOutput(const std::string& name);
  // Unplugs a port (false) or plugs it in again (true) at its old place in the order. An
  // unplugged port is left out of the next enumeration and cannot be opened; an open handle of
  // it keeps working as far as the service is concerned, as with JACK or ALSA when the other
  // side goes: what is sent on it goes nowhere and nothing arrives on it. Plugged in again, the
  // port has a new identity (inGetDevIdentity) and opens anew, while a handle from before stays
  // dead: it closes as usual and carries nothing, as a real interface plugged back in does.
  void setInputPresent(int id, bool present);
  void setOutputPresent(int id, bool present);
  // Names are cut to the 31 characters of a Windows capability record unless the service is
  // to report them whole, as RtMidi does under ALSA and JACK.
  void keepWholeNames() { wholeNames_ = true; }

  // Thread-safe. A SysEx message longer than the receive buffer arrives in several buffers.
  void deliverSysEx(int inPort, std::vector<std::uint8_t> bytes);
  void deliverShort(int inPort, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

  // Every message sent on an output port, in order: SysEx messages whole, short messages with
  // exactly the bytes that would go on the wire (2 for 0xC0..0xDF, 3 for other channel messages).
  std::vector<std::vector<std::uint8_t>> sent(int outPort) const;
  void clearSent(int outPort);
  // Called for every message sent on that port, on the sending thread, after it is recorded.
  using Sink = std::function<void(const std::vector<std::uint8_t>& message)>;
  void setOutputSink(int outPort, Sink sink);

  bool isInputOpen(int inPort) const;
  bool isOutputOpen(int outPort) const;
  // Names of the service calls made so far ("inOpen 0", "outOpen 1", "outLongMsg 1", ...), for
  // tests that check which calls an operation makes.
  std::vector<std::string> calls() const;
  void clearCalls();

  // The next call of the named operation ("inOpen", "outOpen", "inAddBuffer", "outLongMsg",
  // "inGetDevCaps", ...) returns this code instead of doing its work.
  void failNext(const std::string& operation, std::uint32_t code) { failCall(operation, 0, code); }
  // The named operation does its work `callsToLetThrough` more times; the call after those
  // returns this code instead, and later calls work again. The device link sends one byte per
  // "outLongMsg", so a send can be made to fail at any byte of a command.
  void failCall(const std::string& operation, int callsToLetThrough, std::uint32_t code);

  // Like a JACK connection before the server's next cycle, the outputs carry nothing while
  // held: what is sent on them is kept, and goes out in order on release. The calls that send
  // return at once either way. Off (everything goes out at once) by default.
  void holdCarrying(bool hold);
  // Sends what was kept; the hold stays as it is.
  void releaseCarrying();
  std::size_t carryingHeld() const;

  std::string systemName() const override { return "in-memory"; }

 protected:
  std::uint32_t enter(const char* operation, long port) override;
  long portOf(bool input, MidiHandle handle) const override;

 private:
  struct State;
  // MidiBackend
  std::vector<Port> ports(bool sending) override;
  std::uint32_t openInput(MidiHandle handle, Port& port, Receive receive) override;
  std::uint32_t openOutput(MidiHandle handle, Port& port) override;
  std::uint32_t close(MidiHandle handle) override;
  std::uint32_t send(MidiHandle handle, const std::uint8_t* bytes, std::size_t length) override;
  std::uint32_t open(bool input, MidiHandle handle, Port& port);

  std::unique_ptr<State> state_;
  bool wholeNames_ = false;
};

}  // namespace tarvik
