// SPDX-License-Identifier: MIT
#include "midi/RtMidiPortList.h"

#include "midi/JackClock.h"

namespace tarvik {

namespace {

std::vector<std::string> listedBy(RtMidi& midi) {
  std::vector<std::string> names;
  const unsigned count = midi.getPortCount();
  for (unsigned i = 0; i < count; ++i) names.push_back(midi.getPortName(i));
  return names;
}

}  // namespace

void RtMidiPortList::enumerate(const JackClock* jack, RtMidi* probe, bool sending) {
  std::vector<std::string> names;
  if (jack) {
    names = sending ? jack->sendingPorts() : jack->takingPorts();
  } else if (probe) {
    names = listedBy(*probe);
  }
  // Once a connect has opened them, the program's own ports would show up in the lists (its
  // output among the inputs), and an input name holding "MIDI" is what the pre-selection offers.
  std::erase_if(names, isOwnPort);
  const std::vector<std::uint64_t> identities =
      jack ? jack->identities(names) : std::vector<std::uint64_t>(names.size(), 0);
  ports_.clear();
  for (std::size_t i = 0; i < names.size(); ++i)
    ports_.push_back(Port{std::move(names[i]), identities[i]});
}

const RtMidiPortList::Port* RtMidiPortList::at(std::uint32_t index) const {
  return index < ports_.size() ? &ports_[index] : nullptr;
}

void RtMidiPortList::refreshIdentity(std::uint32_t index, const JackClock* jack) {
  if (index < ports_.size() && jack)
    ports_[index].identity = jack->identities({ports_[index].name})[0];
}

int RtMidiPortList::currentIndex(RtMidi& midi, std::uint32_t listed, const std::string& name) {
  const std::vector<std::string> now = listedBy(midi);
  if (listed < now.size() && now[listed] == name) return static_cast<int>(listed);
  for (std::size_t i = 0; i < now.size(); ++i)
    if (now[i] == name) return static_cast<int>(i);
  return -1;
}

bool RtMidiPortList::isOwnPort(const std::string& name) {
  const std::string client = kOwnMidiClientName;
  if (name.compare(0, client.size(), client) != 0) return false;
  std::size_t at = client.size();
  if (at < name.size() && name[at] == '-') {
    ++at;
    const std::size_t digits = at;
    while (at < name.size() && name[at] >= '0' && name[at] <= '9') ++at;
    if (at == digits) return false;
  }
  return at < name.size() && name[at] == ':';
}

}  // namespace tarvik
