// SPDX-License-Identifier: MIT
#include "midi/InMemoryMidiService.h"

#include <algorithm>
#include <optional>

namespace tarvik {

namespace {

// `handle` is the open handle of the port as it is plugged in now; `identity` tells this plug
// from the ones before it. Only outputs record what is sent and have a sink.
struct Port {
  std::string name;
  MidiHandle handle = kNoHandle;
  bool present = true;
  std::uint64_t identity = 0;
  std::vector<std::vector<std::uint8_t>> sent;
  std::shared_ptr<InMemoryMidiService::Sink> sink;
};

// The inputs or the outputs.
struct Side {
  std::vector<Port> ports;
  // Ids of the ports the last enumeration listed, in order; none before the first.
  std::optional<std::vector<int>> listed;
  // Handles still open on a plug that has since been pulled and plugged in again, by port id:
  // they close as usual but carry nothing, like a JACK or ALSA port whose peer went and came back.
  std::map<MidiHandle, int> severed;

  Port* at(int id) {
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
  std::uint32_t enumerate() {
    listed = presentIds();
    return static_cast<std::uint32_t>(listed->size());
  }
  // The port with this number; nullptr when there is none or it has gone since.
  Port* numbered(std::uint32_t port) {
    const std::vector<int> ids = listed ? *listed : presentIds();
    if (port >= ids.size()) return nullptr;
    Port* found = at(ids[port]);
    return found->present ? found : nullptr;
  }
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
    Port* port = at(id);
    if (!port) return;
    if (present && !port->present) {
      port->identity = ++lastIdentity;
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
  // Handles are never reused, so input posted for a port that has since closed finds nothing.
  MidiHandle lastHandle = kNoHandle;
  std::uint64_t lastIdentity = 0;
  // Service thread only.
  bool holdCarrying = false;
  std::vector<std::function<void()>> heldCarrying;

  Side& side(bool input) { return input ? inputs : outputs; }
  int add(Side& side, const std::string& name) {
    std::lock_guard lock(mutex);
    side.ports.push_back(Port{name, kNoHandle, true, ++lastIdentity, {}, nullptr});
    return static_cast<int>(side.ports.size()) - 1;
  }
  // Records the call and answers a pending failure that is due with it (0 when there is none).
  std::uint32_t record(const std::string& operation, long port) {
    calls.push_back(operation + " " + std::to_string(port));
    auto it = failures.find(operation);
    if (it == failures.end()) return MidiResult::NoError;
    if (it->second.callsToLetThrough > 0) {
      --it->second.callsToLetThrough;
      return MidiResult::NoError;
    }
    const std::uint32_t code = it->second.code;
    failures.erase(it);
    return code;
  }
  // The handle of an input as plugged in now; none when it is unplugged or closed.
  MidiHandle openInput(int inPort) {
    std::lock_guard lock(mutex);
    const Port* input = inputs.at(inPort);
    return input && input->present ? input->handle : kNoHandle;
  }
};

InMemoryMidiService::InMemoryMidiService() : state_(std::make_unique<State>()) {}

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
  if (const MidiHandle handle = state_->openInput(inPort)) hub_.postSysEx(handle, std::move(bytes));
}

void InMemoryMidiService::deliverShort(int inPort, std::uint8_t status, std::uint8_t data1,
                                       std::uint8_t data2) {
  if (const MidiHandle handle = state_->openInput(inPort))
    hub_.postShort(handle, static_cast<std::uint32_t>(status) |
                               (static_cast<std::uint32_t>(data1) << 8) |
                               (static_cast<std::uint32_t>(data2) << 16));
}

std::vector<std::vector<std::uint8_t>> InMemoryMidiService::sent(int outPort) const {
  std::lock_guard lock(state_->mutex);
  const Port* output = state_->outputs.at(outPort);
  return output ? output->sent : std::vector<std::vector<std::uint8_t>>{};
}

void InMemoryMidiService::clearSent(int outPort) {
  std::lock_guard lock(state_->mutex);
  if (Port* output = state_->outputs.at(outPort)) output->sent.clear();
}

void InMemoryMidiService::setOutputSink(int outPort, Sink sink) {
  std::lock_guard lock(state_->mutex);
  if (Port* output = state_->outputs.at(outPort))
    output->sink = sink ? std::make_shared<Sink>(std::move(sink)) : nullptr;
}

bool InMemoryMidiService::isInputOpen(int inPort) const {
  std::lock_guard lock(state_->mutex);
  const Port* input = state_->inputs.at(inPort);
  return input && input->handle != kNoHandle;
}

bool InMemoryMidiService::isOutputOpen(int outPort) const {
  std::lock_guard lock(state_->mutex);
  const Port* output = state_->outputs.at(outPort);
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

// ---- MidiService: enumeration ---------------------------------------------------------------

std::uint32_t InMemoryMidiService::inGetNumDevs() {
  std::lock_guard lock(state_->mutex);
  return state_->inputs.enumerate();
}

std::uint32_t InMemoryMidiService::outGetNumDevs() {
  std::lock_guard lock(state_->mutex);
  return state_->outputs.enumerate();
}

std::uint32_t InMemoryMidiService::describe(const char* operation, bool input, std::uint32_t port,
                                            std::string* name, std::uint64_t* identity) {
  std::lock_guard lock(state_->mutex);
  if (name)
    if (auto code = state_->record(operation, port)) return code;
  const Port* listed = state_->side(input).numbered(port);
  if (!listed) return MidiResult::BadDeviceId;
  // Names are cut to a Windows capability record's 31 characters unless kept whole.
  if (name) *name = listed->name.substr(0, wholeNames_ ? std::string::npos : 31);
  if (identity) *identity = listed->identity;
  return MidiResult::NoError;
}

// ---- MidiService: opening, sending, closing -------------------------------------------------
// The hub calls back into the layer without any lock held; the state's mutex is never held while
// calling into the hub's delivering functions (reset), since those run the layer's callback.

std::uint32_t InMemoryMidiService::enter(const char* operation, MidiHandle handle, bool input) {
  std::lock_guard lock(state_->mutex);
  const int port = state_->side(input).portOf(handle);
  if (auto code = state_->record(operation, port)) return code;
  return port < 0 ? MidiResult::InvalidHandle : MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::open(const char* operation, bool input, MidiHandle& handle,
                                        std::uint32_t port) {
  if (auto code = state_->record(operation, port)) return code;
  Port* opened = state_->side(input).numbered(port);
  if (!opened) return MidiResult::BadDeviceId;
  if (opened->handle != kNoHandle) return MidiResult::Allocated;
  opened->handle = ++state_->lastHandle;
  handle = opened->handle;
  return MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::inOpen(MidiHandle& handle, std::uint32_t port,
                                          MidiInCallback callback, std::uintptr_t instance) {
  std::lock_guard lock(state_->mutex);
  const std::uint32_t result = open("inOpen", true, handle, port);
  if (result == MidiResult::NoError) hub_.openPort(handle, std::move(callback), instance);
  return result;
}

std::uint32_t InMemoryMidiService::outOpen(MidiHandle& handle, std::uint32_t port) {
  std::lock_guard lock(state_->mutex);
  return open("outOpen", false, handle, port);
}

std::uint32_t InMemoryMidiService::close(const char* operation, MidiHandle handle, bool input) {
  std::lock_guard lock(state_->mutex);
  Side& side = state_->side(input);
  const int port = side.portOf(handle);
  if (auto code = state_->record(operation, port)) return code;
  if (port < 0) return MidiResult::InvalidHandle;
  if (input) hub_.closePort(handle);
  if (side.severed.erase(handle) == 0) side.at(port)->handle = kNoHandle;
  return MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::inClose(MidiHandle handle) {
  return close("inClose", handle, true);
}

std::uint32_t InMemoryMidiService::outClose(MidiHandle handle) {
  return close("outClose", handle, false);
}

std::uint32_t InMemoryMidiService::send(
    const char* operation, MidiHandle handle,
    const std::function<std::uint32_t(std::vector<std::uint8_t>&)>& message) {
  std::shared_ptr<Sink> sink;
  std::vector<std::uint8_t> bytes;
  {
    std::lock_guard lock(state_->mutex);
    const int port = state_->outputs.portOf(handle);
    if (auto code = state_->record(operation, port)) return code;
    if (port < 0) return MidiResult::InvalidHandle;
    if (auto code = message(bytes)) return code;
    Port& output = *state_->outputs.at(port);
    if (!output.present || output.handle != handle)
      return MidiResult::NoError;  // nothing on the other side any more
    output.sent.push_back(bytes);
    sink = output.sink;
  }
  // Outside the lock: a sink (the simulator) may answer at once through deliverSysEx.
  if (sink) (*sink)(bytes);
  return MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::outShortMsg(MidiHandle handle, std::uint32_t packed) {
  return send("outShortMsg", handle, [packed](std::vector<std::uint8_t>& bytes) {
    const int length = shortMessageLength(static_cast<std::uint8_t>(packed & 0xFF));
    for (int i = 0; i < length; ++i) bytes.push_back(static_cast<std::uint8_t>(packed >> (8 * i)));
    return MidiResult::NoError;
  });
}

std::uint32_t InMemoryMidiService::outLongMsg(MidiHandle handle, MidiHeader* header) {
  return send("outLongMsg", handle, [header](std::vector<std::uint8_t>& bytes) {
    if (header == nullptr || (header->data == nullptr && header->bufferLength != 0))
      return MidiResult::Error;
    bytes.assign(header->data, header->data + header->bufferLength);
    return MidiResult::NoError;
  });
}

void InMemoryMidiService::holdCarrying(bool hold) { state_->holdCarrying = hold; }

void InMemoryMidiService::releaseCarrying() {
  // A callback may ask again (a new connect): that waits for the next release.
  std::vector<std::function<void()>> due;
  due.swap(state_->heldCarrying);
  for (const auto& carrying : due) carrying();
}

std::size_t InMemoryMidiService::carryingHeld() const { return state_->heldCarrying.size(); }

void InMemoryMidiService::whenOpenPortsCarry(std::function<void()> carrying) {
  if (state_->holdCarrying) {
    state_->heldCarrying.push_back(std::move(carrying));
    return;
  }
  carrying();
}

std::uint32_t InMemoryMidiService::getErrorText(std::uint32_t code, std::string& text) {
  // Other codes: the texts every service gives, none for MidiResult::NoTextCode among others.
  if (code != MidiResult::Error) return MidiService::getErrorText(code, text);
  text = "An unspecified error occurred in the in-memory MIDI service.";
  return MidiResult::NoError;
}

}  // namespace tarvik
