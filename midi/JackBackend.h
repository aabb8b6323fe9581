// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>

#include "midi/MidiBackend.h"

namespace tarvik {

// MIDI over a JACK server, on one client of the program's own, activated once: each open port is
// a port of that client, connected to the port it reaches. The process callback moves the bytes
// and neither allocates nor takes a lock: what is sent waits in the port's ring buffer until the
// first cycle in which its connection exists (a connection joins the server's graph at the start
// of a cycle, so nobody above has to wait for one), and what comes in goes through one ring
// buffer to a thread that hands each whole message on. The server's port registration and
// connection callbacks are the notice of ports that come or go.
class JackBackend : public MidiBackend {
 public:
  // Nothing when no JACK server answers.
  static std::unique_ptr<JackBackend> connect(const std::string& clientName);
  // Closes the client: its ports go with it.
  ~JackBackend() override;
  JackBackend(const JackBackend&) = delete;
  JackBackend& operator=(const JackBackend&) = delete;

  std::vector<Port> ports(bool sending) override;
  std::uint32_t openInput(MidiHandle handle, Port& port, Receive receive) override;
  std::uint32_t openOutput(MidiHandle handle, Port& port) override;
  std::uint32_t close(MidiHandle handle) override;
  std::uint32_t send(MidiHandle handle, const std::uint8_t* bytes, std::size_t length) override;
  bool announcePorts(std::function<void()> changed) override;
  std::string lastError() const override;

  // The server's period ("64 frames at 48000 Hz").
  std::string period() const;

  struct State;

 private:
  explicit JackBackend(std::unique_ptr<State> state);
  std::uint32_t open(MidiHandle handle, Port& port, Receive receive);
  std::unique_ptr<State> state_;
};

}  // namespace tarvik
