// SPDX-License-Identifier: MIT
#include "midi/InMemoryMidiService.h"

#include <algorithm>

namespace tarvik {

namespace {

// `handle` is the open handle of the port as it is plugged in now; `identity` tells this plug
// from the ones before it. Only outputs record what is sent and have a sink.
struct Plug {
  std::string name;
  MidiHandle handle = kNoHandle;
  bool present = true;
  std::uint64_t identity = 0;
  std::vector<std::vector<std::uint8_t>> sent;
  std::shared_ptr<InMemoryMidiService::Sink> sink;
};

// The inputs or the outputs.
struct Side {
  std::vector<Plug> ports;
  // Handles still open on a plug that has since been pulled and plugged in again, by port id:
  // they close as usual but carry nothing, like a JACK or ALSA port whose peer went and came back.
  std::map<MidiHandle, int> severed;

  Plug* at(int id) {
    return id >= 0 && static_cast<std::size_t>(id) < ports.size()
               ? &ports[static_cast<std::size_t>(id)]
               : nullptr;
  }
  std::vector<int> presentIds() const {
    std::vector<int> ids;
    for (std::size_t i = 0; i < ports.size(); ++i)
      if (ports[i].present) ids.push_back(static_cast<int>(i));
    return ids;
  }
  // Every identity a port had, and the port's id: a port listed before it was unplugged and
  // plugged in again opens on its new plug.
  std::map<std::uint64_t, int> owners;
  // The id of the port a handle is open on, as plugged in now or before; -1 for none.
  int portOf(MidiHandle handle) const {
    if (handle == kNoHandle) return -1;
    for (std::size_t i = 0; i < ports.size(); ++i)
      if (ports[i].handle == handle) return static_cast<int>(i);
    auto it = severed.find(handle);
    return it == severed.end() ? -1 : it->second;
  }
  // Pulled (false) or plugged in (true). A new plug gets a new identity, and a handle open on
  // the old one stays cut off from it.
  void plug(int id, bool present, std::uint64_t& lastIdentity) {
    Plug* port = at(id);
    if (!port) return;
    if (present && !port->present) {
      port->identity = ++lastIdentity;
      owners[port->identity] = id;
      if (port->handle != kNoHandle) severed[port->handle] = id;
      port->handle = kNoHandle;
    }
    port->present = present;
  }
};

}  // namespace

struct InMemoryMidiService::State {
  mutable std::mutex mutex;
  Side inputs;
  Side outputs;
  std::vector<std::string> calls;
  struct Failure {
    int callsToLetThrough = 0;
    std::uint32_t code = MidiResult::NoError;
  };
  std::map<std::string, Failure> failures;
  std::uint64_t lastIdentity = 0;
  bool holdCarrying = false;
  // What the outputs were sent while held: port id and message, in order.
  std::vector<std::pair<int, std::vector<std::uint8_t>>> held;

  Side& side(bool input) { return input ? inputs : outputs; }
  int add(Side& side, const std::string& name) {
    std::lock_guard lock(mutex);
    side.ports.push_back(Plug{name, kNoHandle, true, ++lastIdentity, {}, nullptr});
    side.owners[lastIdentity] = static_cast<int>(side.ports.size()) - 1;
    return static_cast<int>(side.ports.size()) - 1;
  }
  // The handle of an input as plugged in now; none when it is unplugged or closed.
  MidiHandle openInput(int inPort) {
    std::lock_guard lock(mutex);
    const Plug* input = inputs.at(inPort);
    return input && input->present ? input->handle : kNoHandle;
  }
  // Records the message as gone out; the sink to call outside the lock.
  std::shared_ptr<Sink> record(int id, const std::vector<std::uint8_t>& bytes) {
    Plug& output = *outputs.at(id);
    output.sent.push_back(bytes);
    return output.sink;
  }
};

InMemoryMidiService::InMemoryMidiService()
    : BackendMidiService(nullptr, "An unspecified error occurred in the in-memory MIDI service."),
      state_(std::make_unique<State>()) {
  useBackend(this);
}

InMemoryMidiService::~InMemoryMidiService() = default;

int InMemoryMidiService::addInput(const std::string& name) {
  return state_->add(state_->inputs, name);
}

int InMemoryMidiService::addOutput(const std::string& name) {
  return state_->add(state_->outputs, name);
}

void InMemoryMidiService::setInputPresent(int id, bool present) {
  std::lock_guard lock(state_->mutex);
  state_->inputs.plug(id, present, state_->lastIdentity);
}

void InMemoryMidiService::setOutputPresent(int id, bool present) {
  std::lock_guard lock(state_->mutex);
  state_->outputs.plug(id, present, state_->lastIdentity);
}

void InMemoryMidiService::deliverSysEx(int inPort, std::vector<std::uint8_t> bytes) {
  if (const MidiHandle handle = state_->openInput(inPort)) postSysEx(handle, std::move(bytes));
}

void InMemoryMidiService::deliverShort(int inPort, std::uint8_t status, std::uint8_t data1,
                                       std::uint8_t data2) {
  const std::uint8_t bytes[] = {status, data1, data2};
  if (const MidiHandle handle = state_->openInput(inPort)) received(handle, bytes, 3);
}

std::vector<std::vector<std::uint8_t>> InMemoryMidiService::sent(int outPort) const {
  std::lock_guard lock(state_->mutex);
  const Plug* output = state_->outputs.at(outPort);
  return output ? output->sent : std::vector<std::vector<std::uint8_t>>{};
}

void InMemoryMidiService::clearSent(int outPort) {
  std::lock_guard lock(state_->mutex);
  if (Plug* output = state_->outputs.at(outPort)) output->sent.clear();
}

void InMemoryMidiService::setOutputSink(int outPort, Sink sink) {
  std::lock_guard lock(state_->mutex);
  if (Plug* output = state_->outputs.at(outPort))
    output->sink = sink ? std::make_shared<Sink>(std::move(sink)) : nullptr;
}

bool InMemoryMidiService::isInputOpen(int inPort) const {
  std::lock_guard lock(state_->mutex);
  const Plug* input = state_->inputs.at(inPort);
  return input && input->handle != kNoHandle;
}

bool InMemoryMidiService::isOutputOpen(int outPort) const {
  std::lock_guard lock(state_->mutex);
  const Plug* output = state_->outputs.at(outPort);
  return output && output->handle != kNoHandle;
}

std::vector<std::string> InMemoryMidiService::calls() const {
  std::lock_guard lock(state_->mutex);
  return state_->calls;
}

void InMemoryMidiService::clearCalls() {
  std::lock_guard lock(state_->mutex);
  state_->calls.clear();
}

void InMemoryMidiService::failCall(const std::string& operation, int callsToLetThrough,
                                   std::uint32_t code) {
  std::lock_guard lock(state_->mutex);
  state_->failures[operation] = State::Failure{std::max(0, callsToLetThrough), code};
}

void InMemoryMidiService::holdCarrying(bool hold) {
  std::lock_guard lock(state_->mutex);
  state_->holdCarrying = hold;
}

void InMemoryMidiService::releaseCarrying() {
  std::vector<std::pair<int, std::vector<std::uint8_t>>> due;
  std::vector<std::pair<std::shared_ptr<Sink>, std::vector<std::uint8_t>>> sinks;
  {
    std::lock_guard lock(state_->mutex);
    due.swap(state_->held);
    for (auto& [id, bytes] : due) sinks.emplace_back(state_->record(id, bytes), bytes);
  }
  for (auto& [sink, bytes] : sinks)
    if (sink) (*sink)(bytes);
}

std::size_t InMemoryMidiService::carryingHeld() const {
  std::lock_guard lock(state_->mutex);
  return state_->held.size();
}

// ---- the service's questions ----------------------------------------------------------------

std::uint32_t InMemoryMidiService::enter(const char* operation, long port) {
  std::lock_guard lock(state_->mutex);
  state_->calls.push_back(std::string(operation) + " " + std::to_string(port));
  auto it = state_->failures.find(operation);
  if (it == state_->failures.end()) return MidiResult::NoError;
  if (it->second.callsToLetThrough > 0) {
    --it->second.callsToLetThrough;
    return MidiResult::NoError;
  }
  const std::uint32_t code = it->second.code;
  state_->failures.erase(it);
  return code;
}

long InMemoryMidiService::portOf(bool input, MidiHandle handle) const {
  std::lock_guard lock(state_->mutex);
  return state_->side(input).portOf(handle);
}

// ---- MidiBackend ----------------------------------------------------------------------------
// The service calls back into the layer without any lock held; the state's mutex is never held
// while calling into the service's delivering functions, since those run the layer's callback.

std::vector<MidiBackend::Port> InMemoryMidiService::ports(bool sending) {
  std::lock_guard lock(state_->mutex);
  Side& side = state_->side(sending);
  std::vector<Port> listed;
  for (int id : side.presentIds()) {
    const Plug& port = *side.at(id);
    // Names are cut to a Windows capability record's 31 characters unless kept whole.
    listed.push_back(
        Port{port.name.substr(0, wholeNames_ ? std::string::npos : 31), port.identity});
  }
  return listed;
}

std::uint32_t InMemoryMidiService::open(bool input, MidiHandle handle, Port& port) {
  std::lock_guard lock(state_->mutex);
  Side& side = state_->side(input);
  auto owner = side.owners.find(port.identity);
  Plug* opened = owner == side.owners.end() ? nullptr : side.at(owner->second);
  if (!opened || !opened->present) return MidiResult::BadDeviceId;
  if (opened->handle != kNoHandle) return MidiResult::Allocated;
  opened->handle = handle;
  port.identity = opened->identity;
  return MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::openInput(MidiHandle handle, Port& port, Receive) {
  return open(true, handle, port);
}

std::uint32_t InMemoryMidiService::openOutput(MidiHandle handle, Port& port) {
  return open(false, handle, port);
}

std::uint32_t InMemoryMidiService::close(MidiHandle handle) {
  std::lock_guard lock(state_->mutex);
  for (Side* side : {&state_->inputs, &state_->outputs}) {
    const int port = side->portOf(handle);
    if (port < 0) continue;
    if (side->severed.erase(handle) == 0) side->at(port)->handle = kNoHandle;
    if (side == &state_->outputs)
      std::erase_if(state_->held, [port](const auto& kept) { return kept.first == port; });
    return MidiResult::NoError;
  }
  return MidiResult::InvalidHandle;
}

std::uint32_t InMemoryMidiService::send(MidiHandle handle, const std::uint8_t* bytes,
                                        std::size_t length) {
  std::shared_ptr<Sink> sink;
  const std::vector<std::uint8_t> message(bytes, bytes + length);
  {
    std::lock_guard lock(state_->mutex);
    const int port = state_->outputs.portOf(handle);
    if (port < 0) return MidiResult::InvalidHandle;
    const Plug& output = *state_->outputs.at(port);
    if (!output.present || output.handle != handle)
      return MidiResult::NoError;  // nothing on the other side any more
    if (state_->holdCarrying) {
      state_->held.emplace_back(port, message);
      return MidiResult::NoError;
    }
    sink = state_->record(port, message);
  }
  // Outside the lock: a sink (the simulator) may answer at once through deliverSysEx.
  if (sink) (*sink)(message);
  return MidiResult::NoError;
}

}  // namespace tarvik
