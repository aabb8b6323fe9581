// SPDX-License-Identifier: MIT
#include "midi/InMemoryMidiService.h"

#include <algorithm>
#include <optional>

#include "midi/InputHub.h"
#include "midi/MidiErrorTexts.h"

namespace tarvik {

namespace {

// `handle` is the open handle of the port as it is plugged in now; `identity` tells this plug
// from the ones before it.
struct InPort {
  std::string name;
  MidiHandle handle = kNoHandle;
  bool present = true;
  std::uint64_t identity = 0;
};

struct OutPort {
  std::string name;
  MidiHandle handle = kNoHandle;
  bool present = true;
  std::uint64_t identity = 0;
  std::vector<std::vector<std::uint8_t>> sent;
  std::shared_ptr<InMemoryMidiService::Sink> sink;
};

}  // namespace

struct InMemoryMidiService::State {
  mutable std::mutex mutex;
  std::vector<InPort> inputs;
  std::vector<OutPort> outputs;
  std::vector<std::string> calls;
  struct Failure {
    int callsToLetThrough = 0;
    std::uint32_t code = MidiResult::NoError;
  };
  std::map<std::string, Failure> failures;
  // Ids of the ports the last enumeration listed, in order; none before the first.
  std::optional<std::vector<int>> inListed;
  std::optional<std::vector<int>> outListed;
  // Handles are never reused, so input posted for a port that has since closed finds nothing.
  MidiHandle lastHandle = kNoHandle;
  std::uint64_t lastIdentity = 0;
  // Handles still open on a plug that has since been pulled and plugged in again, by port id:
  // they close as usual but carry nothing, like a JACK or ALSA port whose peer went and came back.
  std::map<MidiHandle, int> severedInputs;
  std::map<MidiHandle, int> severedOutputs;
  InputHub hub;
  // Service thread only.
  bool holdCarrying = false;
  std::vector<std::function<void()>> heldCarrying;

  template <class Port>
  static std::vector<int> presentIds(const std::vector<Port>& ports) {
    std::vector<int> ids;
    for (std::size_t i = 0; i < ports.size(); ++i)
      if (ports[i].present) ids.push_back(static_cast<int>(i));
    return ids;
  }
  // The id of the port with this number; -1 when there is none or it has gone since.
  template <class Port>
  static int idOf(const std::optional<std::vector<int>>& listed, const std::vector<Port>& ports,
                  std::uint32_t port) {
    const std::vector<int> ids = listed ? *listed : presentIds(ports);
    if (port >= ids.size()) return -1;
    const int id = ids[port];
    return ports[static_cast<std::size_t>(id)].present ? id : -1;
  }

  template <class Port>
  static int portOf(const std::vector<Port>& ports, const std::map<MidiHandle, int>& severed,
                    MidiHandle handle) {
    if (handle == kNoHandle) return -1;
    for (std::size_t i = 0; i < ports.size(); ++i)
      if (ports[i].handle == handle) return static_cast<int>(i);
    auto it = severed.find(handle);
    return it == severed.end() ? -1 : it->second;
  }
  int inPortOf(MidiHandle handle) const { return portOf(inputs, severedInputs, handle); }
  int outPortOf(MidiHandle handle) const { return portOf(outputs, severedOutputs, handle); }

  // Pulled (false) or plugged in (true). A new plug gets a new identity, and a handle open on
  // the old one stays cut off from it.
  template <class Port>
  void plug(Port& port, int id, bool present, std::map<MidiHandle, int>& severed) {
    if (present && !port.present) {
      port.identity = ++lastIdentity;
      if (port.handle != kNoHandle) severed[port.handle] = id;
      port.handle = kNoHandle;
    }
    port.present = present;
  }
  // Records the call and answers a pending failure that is due with it (0 when there is none).
  std::uint32_t enter(const std::string& operation, long port) {
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
};

InMemoryMidiService::InMemoryMidiService() : state_(std::make_unique<State>()) {}

InMemoryMidiService::~InMemoryMidiService() = default;

int InMemoryMidiService::addInput(const std::string& name) {
  std::lock_guard lock(state_->mutex);
  state_->inputs.push_back(InPort{name, kNoHandle, true, ++state_->lastIdentity});
  return static_cast<int>(state_->inputs.size()) - 1;
}

int InMemoryMidiService::addOutput(const std::string& name) {
  std::lock_guard lock(state_->mutex);
  state_->outputs.push_back(OutPort{name, kNoHandle, true, ++state_->lastIdentity, {}, nullptr});
  return static_cast<int>(state_->outputs.size()) - 1;
}

void InMemoryMidiService::setInputPresent(int id, bool present) {
  std::lock_guard lock(state_->mutex);
  if (id >= 0 && static_cast<std::size_t>(id) < state_->inputs.size())
    state_->plug(state_->inputs[static_cast<std::size_t>(id)], id, present, state_->severedInputs);
}

void InMemoryMidiService::setOutputPresent(int id, bool present) {
  std::lock_guard lock(state_->mutex);
  if (id >= 0 && static_cast<std::size_t>(id) < state_->outputs.size())
    state_->plug(state_->outputs[static_cast<std::size_t>(id)], id, present,
                 state_->severedOutputs);
}

void InMemoryMidiService::deliverSysEx(int inPort, std::vector<std::uint8_t> bytes) {
  MidiHandle handle = kNoHandle;
  {
    std::lock_guard lock(state_->mutex);
    if (inPort < 0 || static_cast<std::size_t>(inPort) >= state_->inputs.size()) return;
    const InPort& input = state_->inputs[static_cast<std::size_t>(inPort)];
    if (!input.present) return;
    handle = input.handle;
  }
  if (handle != kNoHandle) state_->hub.postSysEx(handle, std::move(bytes));
}

void InMemoryMidiService::deliverShort(int inPort, std::uint8_t status, std::uint8_t data1,
                                       std::uint8_t data2) {
  MidiHandle handle = kNoHandle;
  {
    std::lock_guard lock(state_->mutex);
    if (inPort < 0 || static_cast<std::size_t>(inPort) >= state_->inputs.size()) return;
    const InPort& input = state_->inputs[static_cast<std::size_t>(inPort)];
    if (!input.present) return;
    handle = input.handle;
  }
  if (handle != kNoHandle)
    state_->hub.postShort(handle, static_cast<std::uint32_t>(status) |
                                      (static_cast<std::uint32_t>(data1) << 8) |
                                      (static_cast<std::uint32_t>(data2) << 16));
}

std::vector<std::vector<std::uint8_t>> InMemoryMidiService::sent(int outPort) const {
  std::lock_guard lock(state_->mutex);
  if (outPort < 0 || static_cast<std::size_t>(outPort) >= state_->outputs.size()) return {};
  return state_->outputs[static_cast<std::size_t>(outPort)].sent;
}

void InMemoryMidiService::clearSent(int outPort) {
  std::lock_guard lock(state_->mutex);
  if (outPort >= 0 && static_cast<std::size_t>(outPort) < state_->outputs.size())
    state_->outputs[static_cast<std::size_t>(outPort)].sent.clear();
}

void InMemoryMidiService::setOutputSink(int outPort, Sink sink) {
  std::lock_guard lock(state_->mutex);
  if (outPort < 0 || static_cast<std::size_t>(outPort) >= state_->outputs.size()) return;
  state_->outputs[static_cast<std::size_t>(outPort)].sink =
      sink ? std::make_shared<Sink>(std::move(sink)) : nullptr;
}

bool InMemoryMidiService::isInputOpen(int inPort) const {
  std::lock_guard lock(state_->mutex);
  return inPort >= 0 && static_cast<std::size_t>(inPort) < state_->inputs.size() &&
         state_->inputs[static_cast<std::size_t>(inPort)].handle != kNoHandle;
}

bool InMemoryMidiService::isOutputOpen(int outPort) const {
  std::lock_guard lock(state_->mutex);
  return outPort >= 0 && static_cast<std::size_t>(outPort) < state_->outputs.size() &&
         state_->outputs[static_cast<std::size_t>(outPort)].handle != kNoHandle;
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
  state_->inListed = State::presentIds(state_->inputs);
  return static_cast<std::uint32_t>(state_->inListed->size());
}

std::uint32_t InMemoryMidiService::outGetNumDevs() {
  std::lock_guard lock(state_->mutex);
  state_->outListed = State::presentIds(state_->outputs);
  return static_cast<std::uint32_t>(state_->outListed->size());
}

std::uint32_t InMemoryMidiService::inGetDevCaps(std::uint32_t port, std::string& name) {
  std::lock_guard lock(state_->mutex);
  if (auto code = state_->enter("inGetDevCaps", port)) return code;
  const int id = State::idOf(state_->inListed, state_->inputs, port);
  if (id < 0) return MidiResult::BadDeviceId;
  name = state_->inputs[static_cast<std::size_t>(id)].name.substr(
      0, wholeNames_ ? std::string::npos : 31);
  return MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::outGetDevCaps(std::uint32_t port, std::string& name) {
  std::lock_guard lock(state_->mutex);
  if (auto code = state_->enter("outGetDevCaps", port)) return code;
  const int id = State::idOf(state_->outListed, state_->outputs, port);
  if (id < 0) return MidiResult::BadDeviceId;
  name = state_->outputs[static_cast<std::size_t>(id)].name.substr(
      0, wholeNames_ ? std::string::npos : 31);
  return MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::inGetDevIdentity(std::uint32_t port, std::uint64_t& identity) {
  std::lock_guard lock(state_->mutex);
  const int id = State::idOf(state_->inListed, state_->inputs, port);
  if (id < 0) return MidiResult::BadDeviceId;
  identity = state_->inputs[static_cast<std::size_t>(id)].identity;
  return MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::outGetDevIdentity(std::uint32_t port, std::uint64_t& identity) {
  std::lock_guard lock(state_->mutex);
  const int id = State::idOf(state_->outListed, state_->outputs, port);
  if (id < 0) return MidiResult::BadDeviceId;
  identity = state_->outputs[static_cast<std::size_t>(id)].identity;
  return MidiResult::NoError;
}

// ---- MidiService: input ---------------------------------------------------------------------
// The hub calls back into the layer without any lock held; the state's mutex is never held while
// calling into the hub's delivering functions (reset), since those run the layer's callback.

std::uint32_t InMemoryMidiService::inOpen(MidiHandle& handle, std::uint32_t port,
                                          MidiInCallback callback, std::uintptr_t instance) {
  std::lock_guard lock(state_->mutex);
  if (auto code = state_->enter("inOpen", port)) return code;
  const int id = State::idOf(state_->inListed, state_->inputs, port);
  if (id < 0) return MidiResult::BadDeviceId;
  InPort& input = state_->inputs[static_cast<std::size_t>(id)];
  if (input.handle != kNoHandle) return MidiResult::Allocated;
  input.handle = ++state_->lastHandle;
  state_->hub.openPort(input.handle, std::move(callback), instance);
  handle = input.handle;
  return MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::inPrepareHeader(MidiHandle handle, MidiHeader* header) {
  std::lock_guard lock(state_->mutex);
  const int port = state_->inPortOf(handle);
  if (auto code = state_->enter("inPrepareHeader", port)) return code;
  if (port < 0) return MidiResult::InvalidHandle;
  return header == nullptr ? MidiResult::Error : MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::inAddBuffer(MidiHandle handle, MidiHeader* header) {
  std::lock_guard lock(state_->mutex);
  const int port = state_->inPortOf(handle);
  if (auto code = state_->enter("inAddBuffer", port)) return code;
  if (port < 0) return MidiResult::InvalidHandle;
  if (header != nullptr && header->queued) return MidiResult::StillPlaying;
  return state_->hub.addBuffer(handle, header) ? MidiResult::NoError : MidiResult::Error;
}

std::uint32_t InMemoryMidiService::inStart(MidiHandle handle) {
  std::lock_guard lock(state_->mutex);
  const int port = state_->inPortOf(handle);
  if (auto code = state_->enter("inStart", port)) return code;
  if (port < 0) return MidiResult::InvalidHandle;
  state_->hub.start(handle);
  return MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::inStop(MidiHandle handle) {
  std::lock_guard lock(state_->mutex);
  const int port = state_->inPortOf(handle);
  if (auto code = state_->enter("inStop", port)) return code;
  if (port < 0) return MidiResult::InvalidHandle;
  state_->hub.stop(handle);
  return MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::inReset(MidiHandle handle) {
  {
    std::lock_guard lock(state_->mutex);
    const int port = state_->inPortOf(handle);
    if (auto code = state_->enter("inReset", port)) return code;
    if (port < 0) return MidiResult::InvalidHandle;
  }
  state_->hub.reset(handle);
  return MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::inUnprepareHeader(MidiHandle handle, MidiHeader* header) {
  std::lock_guard lock(state_->mutex);
  const int port = state_->inPortOf(handle);
  if (auto code = state_->enter("inUnprepareHeader", port)) return code;
  if (port < 0) return MidiResult::InvalidHandle;
  if (header == nullptr) return MidiResult::Error;
  return header->queued ? MidiResult::StillPlaying : MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::inClose(MidiHandle handle) {
  std::lock_guard lock(state_->mutex);
  const int port = state_->inPortOf(handle);
  if (auto code = state_->enter("inClose", port)) return code;
  if (port < 0) return MidiResult::InvalidHandle;
  state_->hub.closePort(handle);
  if (state_->severedInputs.erase(handle) == 0)
    state_->inputs[static_cast<std::size_t>(port)].handle = kNoHandle;
  return MidiResult::NoError;
}

// ---- MidiService: output --------------------------------------------------------------------

std::uint32_t InMemoryMidiService::outOpen(MidiHandle& handle, std::uint32_t port) {
  std::lock_guard lock(state_->mutex);
  if (auto code = state_->enter("outOpen", port)) return code;
  const int id = State::idOf(state_->outListed, state_->outputs, port);
  if (id < 0) return MidiResult::BadDeviceId;
  OutPort& output = state_->outputs[static_cast<std::size_t>(id)];
  if (output.handle != kNoHandle) return MidiResult::Allocated;
  output.handle = ++state_->lastHandle;
  handle = output.handle;
  return MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::outShortMsg(MidiHandle handle, std::uint32_t packed) {
  std::shared_ptr<Sink> sink;
  std::vector<std::uint8_t> message;
  {
    std::lock_guard lock(state_->mutex);
    const int port = state_->outPortOf(handle);
    if (auto code = state_->enter("outShortMsg", port)) return code;
    if (port < 0) return MidiResult::InvalidHandle;
    const int length = shortMessageLength(static_cast<std::uint8_t>(packed & 0xFF));
    for (int i = 0; i < length; ++i)
      message.push_back(static_cast<std::uint8_t>(packed >> (8 * i)));
    OutPort& output = state_->outputs[static_cast<std::size_t>(port)];
    if (!output.present || output.handle != handle)
      return MidiResult::NoError;  // nothing on the other side any more
    output.sent.push_back(message);
    sink = output.sink;
  }
  // Outside the lock: a sink (the simulator) may answer at once through deliverSysEx.
  if (sink) (*sink)(message);
  return MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::outPrepareHeader(MidiHandle handle, MidiHeader* header) {
  std::lock_guard lock(state_->mutex);
  const int port = state_->outPortOf(handle);
  if (auto code = state_->enter("outPrepareHeader", port)) return code;
  if (port < 0) return MidiResult::InvalidHandle;
  return header == nullptr ? MidiResult::Error : MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::outLongMsg(MidiHandle handle, MidiHeader* header) {
  std::shared_ptr<Sink> sink;
  std::vector<std::uint8_t> message;
  {
    std::lock_guard lock(state_->mutex);
    const int port = state_->outPortOf(handle);
    if (auto code = state_->enter("outLongMsg", port)) return code;
    if (port < 0) return MidiResult::InvalidHandle;
    if (header == nullptr || (header->data == nullptr && header->bufferLength != 0))
      return MidiResult::Error;
    message.assign(header->data, header->data + header->bufferLength);
    OutPort& output = state_->outputs[static_cast<std::size_t>(port)];
    if (!output.present || output.handle != handle) return MidiResult::NoError;
    output.sent.push_back(message);
    sink = output.sink;
  }
  if (sink) (*sink)(message);
  return MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::outUnprepareHeader(MidiHandle handle, MidiHeader* header) {
  std::lock_guard lock(state_->mutex);
  const int port = state_->outPortOf(handle);
  if (auto code = state_->enter("outUnprepareHeader", port)) return code;
  if (port < 0) return MidiResult::InvalidHandle;
  return header == nullptr ? MidiResult::Error : MidiResult::NoError;
}

std::uint32_t InMemoryMidiService::outClose(MidiHandle handle) {
  std::lock_guard lock(state_->mutex);
  const int port = state_->outPortOf(handle);
  if (auto code = state_->enter("outClose", port)) return code;
  if (port < 0) return MidiResult::InvalidHandle;
  if (state_->severedOutputs.erase(handle) == 0)
    state_->outputs[static_cast<std::size_t>(port)].handle = kNoHandle;
  return MidiResult::NoError;
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
  if (code == MidiResult::Error) {
    text = "An unspecified error occurred in the in-memory MIDI service.";
    return MidiResult::NoError;
  }
  if (auto standard = standardMidiErrorText(code)) {
    text = *standard;
    return MidiResult::NoError;
  }
  // No text for this code (MidiResult::NoTextCode among others).
  return MidiResult::Error;
}

}  // namespace tarvik
