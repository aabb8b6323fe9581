// SPDX-License-Identifier: MIT
#pragma once

#include <RtMidi.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

class JackClock;

// The client name under which the program opens its own ports.
inline constexpr const char* kOwnMidiClientName = "Tarvik Configurator";

// One side's ports (the inputs or the outputs) as the last enumeration found them: the service
// addresses ports by their index here until the next enumeration. Names are RtMidi's full names
// (under JACK "client:port"), not cut to a fixed field: longer JACK names would otherwise become
// indistinguishable. The program's own ports (those it opened to reach the device) are left out.
class RtMidiPortList {
 public:
  struct Port {
    std::string name;
    // See MidiService::inGetDevIdentity; 0 where the MIDI system cannot tell (ALSA).
    std::uint64_t identity = 0;
  };

  // Lists the ports that send (`sending`, the program's inputs) or take data: through the
  // service's JACK client where there is one, else through RtMidi's object for listing; with
  // neither, none.
  void enumerate(const JackClock* jack, RtMidi* probe, bool sending);

  std::size_t size() const { return ports_.size(); }
  // Nullptr past the list.
  const Port* at(std::uint32_t index) const;
  // After an open, which reached the port that has the name now: its identity as of now.
  void refreshIdentity(std::uint32_t index, const JackClock* jack);

  // Where the port listed as `name` at `listed` is now among the ports of `midi`, the object
  // that opens it; -1 when it is gone.
  static int currentIndex(RtMidi& midi, std::uint32_t listed, const std::string& name);
  // Ports this program opened, under JACK in clients named "Tarvik Configurator",
  // "Tarvik Configurator-01", ... and under ALSA "Tarvik Configurator:MIDI In 129:0".
  static bool isOwnPort(const std::string& name);

 private:
  std::vector<Port> ports_;
};

}  // namespace tarvik
