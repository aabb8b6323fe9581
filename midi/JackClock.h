// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarvik {

// A plain JACK client of the service's own, never activated: it lists the MIDI ports and reads
// the server's cycle clock. RtMidi keeps the clients of its open ports to itself, so what the
// service needs to know about the server comes through here: listing through it also spares the
// two clients RtMidi would open just to list ports.
class JackClock {
 public:
  // Nothing when no JACK server can be reached; `problem` then says why.
  static std::unique_ptr<JackClock> connect(const std::string& clientName, std::string& problem);
  ~JackClock();
  JackClock(const JackClock&) = delete;
  JackClock& operator=(const JackClock&) = delete;

  // Full names ("client:port") of the MIDI ports that send (the program's inputs) or take
  // (its outputs) data, in the order RtMidi lists them.
  std::vector<std::string> sendingPorts() const;
  std::vector<std::string> takingPorts() const;
  // For each port named, what tells it from an earlier port of that name (0 for one that is
  // gone): its client's and its own JACK number. A client that closed and opened again (a device
  // unplugged and plugged back in, a bridge restarted) has a new client number even though JACK
  // hands the port its old number. One question to the server per client, not per port.
  std::vector<std::uint64_t> identities(const std::vector<std::string>& names) const;

  // The frame at which the cycle now running began; it advances by one period each cycle.
  std::uint32_t cycleStart() const;
  std::uint32_t periodFrames() const;
  std::uint32_t sampleRate() const;

 private:
  explicit JackClock(void* client) : client_(client) {}
  std::vector<std::string> ports(unsigned long flags) const;

  void* client_;  // jack_client_t
};

}  // namespace tarvik
