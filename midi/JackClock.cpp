// SPDX-License-Identifier: MIT
#include "midi/JackClock.h"

#include <jack/jack.h>
#include <jack/uuid.h>

#include <QCoreApplication>
#include <map>

namespace tarvik {

namespace {
jack_client_t* client(void* handle) { return static_cast<jack_client_t*>(handle); }
}  // namespace

std::unique_ptr<JackClock> JackClock::connect(const std::string& clientName, std::string& problem) {
  jack_status_t status{};
  jack_client_t* opened = jack_client_open(clientName.c_str(), JackNoStartServer, &status);
  if (opened == nullptr) {
    problem = QCoreApplication::translate("JackClock", "JACK server not running?").toStdString();
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

std::vector<std::uint64_t> JackClock::identities(const std::vector<std::string>& names) const {
  std::map<std::string, std::uint64_t> clients;
  std::vector<std::uint64_t> result;
  result.reserve(names.size());
  for (const std::string& name : names) {
    jack_port_t* port = jack_port_by_name(client(client_), name.c_str());
    if (port == nullptr) {
      result.push_back(0);
      continue;
    }
    const std::string clientName = name.substr(0, name.find(':'));
    auto known = clients.find(clientName);
    if (known == clients.end()) {
      jack_uuid_t uuid = 0;
      char* text = jack_get_uuid_for_client_name(client(client_), clientName.c_str());
      if (text != nullptr) {
        if (jack_uuid_parse(text, &uuid) != 0) uuid = 0;
        jack_free(text);
      }
      known = clients.emplace(clientName, uuid).first;
    }
    // The low halves hold the numbers: the client's counts up from the server's start, the
    // port's is its slot in the server's table.
    const std::uint64_t portNumber = jack_port_uuid(port) & 0xFFFFFFFFu;
    result.push_back(((known->second & 0xFFFFFFFFu) << 32) | portNumber);
  }
  return result;
}

std::uint32_t JackClock::cycleStart() const { return jack_last_frame_time(client(client_)); }

std::uint32_t JackClock::periodFrames() const { return jack_get_buffer_size(client(client_)); }

std::uint32_t JackClock::sampleRate() const { return jack_get_sample_rate(client(client_)); }

}  // namespace tarvik
