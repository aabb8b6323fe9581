// SPDX-License-Identifier: MIT
#include "midi/InMemoryMidiService.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace tarvik {

namespace {

struct Plug {
  std::string name;
  bool present = true;
  std::uint64_t identity = 0;                   // tells this plug from the ones before it
  MidiHandle handle = kNoHandle;                // open on the plug as it is now
  std::vector<std::vector<std::uint8_t>> sent;  // outputs only
  std::shared_ptr<InMemoryMidiService::Sink> sink;
};

using Message = std::vector<std::uint8_t>;

}  // namespace

// The service calls the backend with no lock held, and the state's lock is never held while
// handing input to the service, since that may run the layer's callback.
struct InMemoryMidiService::State {
  mutable std::mutex mutex;
  std::vector<Plug> plugs[2];  // outputs, inputs
  // Every open handle, its side and its port id, also one whose plug was pulled and plugged in
  // again.
  std::map<MidiHandle, std::pair<bool, int>> handles;
  // Every identity a port had: one listed before it was plugged in again opens on its new plug.
  std::map<std::uint64_t, int> owners;
  std::uint64_t lastIdentity = 0;
  std::vector<std::string> calls;
  std::map<std::string, std::pair<int, std::uint32_t>> failures;  // calls let through, code
  bool hold = false;
  std::vector<std::pair<int, Message>> held;  // output port id and message, in order

  Plug* at(bool input, int id) {
    auto& plugs = this->plugs[input];
    return id >= 0 && id < static_cast<int>(plugs.size()) ? &plugs[static_cast<std::size_t>(id)]
                                                          : nullptr;
  }
  int add(bool input, const std::string& name) {
    std::lock_guard lock(mutex);
    plugs[input].push_back(Plug{name, true, ++lastIdentity, kNoHandle, {}, nullptr});
    return owners[lastIdentity] = static_cast<int>(plugs[input].size()) - 1;
  }
  // Records the message as gone out; the sink to call outside the lock.
  std::shared_ptr<Sink> record(int id, const Message& message) {
    Plug& output = *at(false, id);
    output.sent.push_back(message);
    return output.sink;
  }
  MidiHandle liveInput(int id) {
    std::lock_guard lock(mutex);
    const Plug* input = at(true, id);
    return input && input->present ? input->handle : kNoHandle;
  }
};

InMemoryMidiService::InMemoryMidiService()
    : MidiService(nullptr, "An unspecified error occurred in the in-memory MIDI service."),
      state_(std::make_unique<State>()) {
  useBackend(this);
}

InMemoryMidiService::~InMemoryMidiService() = default;

int InMemoryMidiService::addInput(const std::string& name) { return state_->add(true, name); }

int InMemoryMidiService::addOutput(const std::string& name) { return state_->add(false, name); }

void InMemoryMidiService::plug(bool input, int id, bool present) {
  std::lock_guard lock(state_->mutex);
  Plug* port = state_->at(input, id);
  if (!port) return;
  if (present && !port->present) {
    // A handle open on the old plug stays in `handles`, cut off from the new one.
    port->identity = ++state_->lastIdentity;
    state_->owners[port->identity] = id;
    port->handle = kNoHandle;
  }
  port->present = present;
}

void InMemoryMidiService::deliverSysEx(int inPort, std::vector<std::uint8_t> bytes) {
  if (const MidiHandle handle = state_->liveInput(inPort))
    received(handle, bytes.data(), bytes.size(), true);
}

void InMemoryMidiService::deliverShort(int inPort, std::uint8_t status, std::uint8_t data1,
                                       std::uint8_t data2) {
  const std::uint8_t bytes[] = {status, data1, data2};
  if (const MidiHandle handle = state_->liveInput(inPort)) received(handle, bytes, 3);
}

std::vector<std::vector<std::uint8_t>> InMemoryMidiService::sent(int outPort) const {
  std::lock_guard lock(state_->mutex);
  const Plug* output = state_->at(false, outPort);
  return output ? output->sent : std::vector<Message>{};
}

void InMemoryMidiService::clearSent(int outPort) {
  std::lock_guard lock(state_->mutex);
  if (Plug* output = state_->at(false, outPort)) output->sent.clear();
}

void InMemoryMidiService::setOutputSink(int outPort, Sink sink) {
  std::lock_guard lock(state_->mutex);
  if (Plug* output = state_->at(false, outPort))
    output->sink = sink ? std::make_shared<Sink>(std::move(sink)) : nullptr;
}

bool InMemoryMidiService::isOpen(bool input, int id) const {
  std::lock_guard lock(state_->mutex);
  return state_->at(input, id) && state_->at(input, id)->handle != kNoHandle;
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
  state_->failures[operation] = {std::max(0, callsToLetThrough), code};
}

void InMemoryMidiService::holdCarrying(bool hold) {
  std::lock_guard lock(state_->mutex);
  state_->hold = hold;
}

void InMemoryMidiService::releaseCarrying() {
  std::vector<std::pair<std::shared_ptr<Sink>, Message>> due;
  {
    std::lock_guard lock(state_->mutex);
    for (auto& [id, message] : state_->held) due.emplace_back(state_->record(id, message), message);
    state_->held.clear();
  }
  for (auto& [sink, message] : due)
    if (sink) (*sink)(message);
}

std::size_t InMemoryMidiService::carryingHeld() const {
  std::lock_guard lock(state_->mutex);
  return state_->held.size();
}

std::uint32_t InMemoryMidiService::enter(const char* operation, long port) {
  std::lock_guard lock(state_->mutex);
  state_->calls.push_back(std::string(operation) + " " + std::to_string(port));
  auto it = state_->failures.find(operation);
  if (it == state_->failures.end() || it->second.first-- > 0) return MidiResult::NoError;
  const std::uint32_t code = it->second.second;
  state_->failures.erase(it);
  return code;
}

std::vector<MidiBackend::Port> InMemoryMidiService::ports(bool sending) {
  std::lock_guard lock(state_->mutex);
  std::vector<Port> listed;
  for (const Plug& port : state_->plugs[sending])
    if (port.present)
      listed.push_back(
          Port{port.name.substr(0, wholeNames_ ? std::string::npos : 31), port.identity});
  return listed;
}

std::uint32_t InMemoryMidiService::open(MidiHandle handle, Port& port, Receive receive) {
  const bool input = static_cast<bool>(receive);
  std::lock_guard lock(state_->mutex);
  auto owner = state_->owners.find(port.identity);
  Plug* opened = owner == state_->owners.end() ? nullptr : state_->at(input, owner->second);
  if (!opened || !opened->present) return MidiResult::BadDeviceId;
  if (opened->handle != kNoHandle) return MidiResult::Allocated;
  opened->handle = handle;
  state_->handles[handle] = {input, owner->second};
  port.identity = opened->identity;
  return MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::close(MidiHandle handle) {
  std::lock_guard lock(state_->mutex);
  auto it = state_->handles.find(handle);
  if (it == state_->handles.end()) return MidiResult::InvalidHandle;
  // Named copies, not a structured binding: Clang 14 cannot capture one in the lambda below.
  const bool input = it->second.first;
  const int id = it->second.second;
  state_->handles.erase(it);
  Plug& port = *state_->at(input, id);
  if (port.handle == handle) port.handle = kNoHandle;
  if (!input) std::erase_if(state_->held, [id](const auto& kept) { return kept.first == id; });
  return MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::send(MidiHandle handle, const std::uint8_t* bytes,
                                        std::size_t length) {
  std::shared_ptr<Sink> sink;
  const Message message(bytes, bytes + length);
  {
    std::lock_guard lock(state_->mutex);
    auto it = state_->handles.find(handle);
    if (it == state_->handles.end() || it->second.first) return MidiResult::InvalidHandle;
    const int id = it->second.second;
    const Plug& output = *state_->at(false, id);
    // Nothing on the other side any more.
    if (!output.present || output.handle != handle) return MidiResult::NoError;
    if (state_->hold) {
      state_->held.emplace_back(id, message);
      return MidiResult::NoError;
    }
    sink = state_->record(id, message);
  }
  // Outside the lock: a sink (the simulator) may answer at once through deliverSysEx.
  if (sink) (*sink)(message);
  return MidiResult::NoError;
}

}  // namespace tarvik
