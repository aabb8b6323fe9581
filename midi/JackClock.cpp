// SPDX-License-Identifier: MIT
#include "midi/JackClock.h"

#include <jack/jack.h>

namespace tarvik {

namespace {
jack_client_t* client(void* handle) { return static_cast<jack_client_t*>(handle); }
}  // namespace

std::unique_ptr<JackClock> JackClock::connect(const std::string& clientName, std::string& problem) {
  jack_status_t status{};
  jack_client_t* opened = jack_client_open(clientName.c_str(), JackNoStartServer, &status);
  if (opened == nullptr) {
    problem = "JACK server not running?";
    return nullptr;
  }
  return std::unique_ptr<JackClock>(new JackClock(opened));
}

JackClock::~JackClock() { jack_client_close(client(client_)); }

std::vector<std::string> JackClock::ports(unsigned long flags) const {
  std::vector<std::string> names;
  const char** listed = jack_get_ports(client(client_), nullptr, JACK_DEFAULT_MIDI_TYPE, flags);
  if (listed == nullptr) return names;
  for (const char** name = listed; *name != nullptr; ++name) names.emplace_back(*name);
  jack_free(static_cast<void*>(listed));
  return names;
}

std::vector<std::string> JackClock::sendingPorts() const { return ports(JackPortIsOutput); }

std::vector<std::string> JackClock::takingPorts() const { return ports(JackPortIsInput); }

std::uint32_t JackClock::cycleStart() const { return jack_last_frame_time(client(client_)); }

std::uint32_t JackClock::periodFrames() const { return jack_get_buffer_size(client(client_)); }

std::uint32_t JackClock::sampleRate() const { return jack_get_sample_rate(client(client_)); }

}  // namespace tarvik
