// SPDX-License-Identifier: MIT
#include "midi/RtMidiService.h"

#include <RtMidi.h>

#include <chrono>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "midi/InMemoryMidiService.h"
#include "midi/InputHub.h"
#include "midi/MidiErrorTexts.h"

namespace tarvik {

namespace {

constexpr const char* kClientName = "Tarvik Configurator";

// JACK makes a new connection live a period or two after jack_connect returns; bytes written
// before that are lost. RtMidi gives no way to learn the period, so wait for what covers three
// periods of 1024 frames at 48 kHz (64 ms); common setups (256 frames) need a quarter of it.
constexpr std::chrono::milliseconds kJackSettleTime{64};

// Collects what RtMidi reports through its error callback. With a callback installed RtMidi
// reports instead of throwing, so every call is followed by a look at `failed`. Warnings (for
// example "JACK server not running?") are remembered as text but do not fail a call.
struct ErrorSink {
  std::mutex mutex;
  std::string lastMessage;
  bool failed = false;

  static void report(RtMidiError::Type type, const std::string& text, void* userData) {
    auto* sink = static_cast<ErrorSink*>(userData);
    std::lock_guard lock(sink->mutex);
    sink->lastMessage = text;
    if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING) sink->failed = true;
  }
  void begin() {
    std::lock_guard lock(mutex);
    failed = false;
  }
  bool ok() {
    std::lock_guard lock(mutex);
    return !failed;
  }
  std::string message() {
    std::lock_guard lock(mutex);
    return lastMessage;
  }
  void set(const std::string& text) {
    std::lock_guard lock(mutex);
    lastMessage = text;
  }
};

// The ports this program opened itself, under JACK in clients named "Tarvik Configurator",
// "Tarvik Configurator-01", ... and under ALSA "Tarvik Configurator:MIDI In 129:0". Once a
// connect has opened them they would show up in the lists (its output among the inputs), and an
// input name holding "MIDI" is what the pre-selection offers.
bool isOwnPort(const std::string& name) {
  const std::string client = kClientName;
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

struct InputPort {
  MidiHandle handle = kNoHandle;
  InputHub* hub = nullptr;
  std::unique_ptr<RtMidiIn> midi;
};

// Runs on RtMidi's input thread.
void onRtMidiInput(double /*timeStamp*/, std::vector<unsigned char>* message, void* userData) {
  if (message == nullptr || message->empty()) return;
  const auto* port = static_cast<const InputPort*>(userData);
  const std::vector<unsigned char>& bytes = *message;
  if (bytes.front() == 0xF0 || bytes.size() > 3) {
    port->hub->postSysEx(port->handle, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    return;
  }
  std::uint32_t packed = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    packed |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
  port->hub->postShort(port->handle, packed);
}

}  // namespace

struct RtMidiService::Impl {
  ErrorSink errors;
  RtMidi::Api api = RtMidi::UNSPECIFIED;
  std::string startupProblem;
  // Only for listing ports; opened ports get objects of their own.
  std::unique_ptr<RtMidiIn> inProbe;
  std::unique_ptr<RtMidiOut> outProbe;
  std::vector<std::string> inNames;
  std::vector<std::string> outNames;
  std::map<MidiHandle, std::unique_ptr<InputPort>> inputs;
  std::map<MidiHandle, std::unique_ptr<RtMidiOut>> outputs;
  MidiHandle lastHandle = kNoHandle;
  InputHub hub;

  std::uint32_t fail(const std::string& text) {
    errors.set(text);
    return MidiResult::Error;
  }

  std::uint32_t failIfReported() { return errors.ok() ? MidiResult::NoError : MidiResult::Error; }

  template <typename Midi>
  std::vector<std::string> listOthersPorts(Midi& midi) {
    std::vector<std::string> names = listPorts(midi);
    std::erase_if(names, isOwnPort);
    return names;
  }

  template <typename Midi>
  std::vector<std::string> listPorts(Midi& midi) {
    std::vector<std::string> names;
    const unsigned count = midi.getPortCount();
    for (unsigned i = 0; i < count; ++i) names.push_back(midi.getPortName(i));
    return names;
  }

  // Where the port listed as `name` at `listed` is now; -1 when it is gone.
  template <typename Midi>
  int currentIndex(Midi& probe, std::uint32_t listed, const std::string& name) {
    const std::vector<std::string> now = listPorts(probe);
    if (listed < now.size() && now[listed] == name) return static_cast<int>(listed);
    for (std::size_t i = 0; i < now.size(); ++i)
      if (now[i] == name) return static_cast<int>(i);
    return -1;
  }

  void settle() const {
    if (api == RtMidi::UNIX_JACK) std::this_thread::sleep_for(kJackSettleTime);
  }

  void start();
};

void RtMidiService::Impl::start() {
  std::vector<RtMidi::Api> candidates{RtMidi::UNSPECIFIED};
#if defined(__linux__)
  // Without an ALSA sequencer RtMidi's default choice throws even when JACK is running.
  candidates.push_back(RtMidi::UNIX_JACK);
#endif
  std::string problems;
  for (RtMidi::Api candidate : candidates) {
    try {
      inProbe = std::make_unique<RtMidiIn>(candidate, kClientName);
      outProbe = std::make_unique<RtMidiOut>(candidate, kClientName);
      api = inProbe->getCurrentApi();
      break;
    } catch (const RtMidiError& error) {
      inProbe.reset();
      outProbe.reset();
      if (!problems.empty()) problems += "; ";
      problems += error.getMessage();
    }
  }
  if (!inProbe) {
    startupProblem =
        "No MIDI ports are available: no MIDI system could be reached (" + problems + ").";
    return;
  }
  inProbe->setErrorCallback(&ErrorSink::report, &errors);
  outProbe->setErrorCallback(&ErrorSink::report, &errors);
  if (api == RtMidi::UNIX_JACK) {
    // RtMidi's JACK client connects lazily and only warns when there is no server.
    errors.set("");
    inProbe->getPortCount();
    const std::string warning = errors.message();
    if (!warning.empty()) {
      startupProblem = "No MIDI ports are available: no MIDI system is running (" +
                       (problems.empty() ? std::string() : problems + "; ") + warning +
                       "). Start a JACK server and restart the program to use MIDI ports.";
      // Every further listing would try to reach the missing server again, at a few
      // milliseconds each; the port lists are empty for this run anyway.
      inProbe.reset();
      outProbe.reset();
    }
  }
}

RtMidiService::RtMidiService() : impl_(std::make_unique<Impl>()) { impl_->start(); }

RtMidiService::~RtMidiService() {
  // The RtMidi objects go first: after that no input thread can post to the hub.
  impl_->inputs.clear();
  impl_->outputs.clear();
}

std::string RtMidiService::startupProblem() const { return impl_->startupProblem; }

std::string RtMidiService::apiName() const {
  return impl_->api == RtMidi::UNSPECIFIED ? std::string() : RtMidi::getApiDisplayName(impl_->api);
}

std::uint32_t RtMidiService::inGetNumDevs() {
  impl_->inNames =
      impl_->inProbe ? impl_->listOthersPorts(*impl_->inProbe) : std::vector<std::string>{};
  return static_cast<std::uint32_t>(impl_->inNames.size());
}

std::uint32_t RtMidiService::outGetNumDevs() {
  impl_->outNames =
      impl_->outProbe ? impl_->listOthersPorts(*impl_->outProbe) : std::vector<std::string>{};
  return static_cast<std::uint32_t>(impl_->outNames.size());
}

std::uint32_t RtMidiService::inGetDevCaps(std::uint32_t port, std::string& name) {
  if (port >= impl_->inNames.size()) return MidiResult::BadDeviceId;
  name = impl_->inNames[port];
  return MidiResult::NoError;
}

std::uint32_t RtMidiService::outGetDevCaps(std::uint32_t port, std::string& name) {
  if (port >= impl_->outNames.size()) return MidiResult::BadDeviceId;
  name = impl_->outNames[port];
  return MidiResult::NoError;
}

std::uint32_t RtMidiService::inOpen(MidiHandle& handle, std::uint32_t port, MidiInCallback callback,
                                    std::uintptr_t instance) {
  if (!impl_->inProbe || port >= impl_->inNames.size()) return MidiResult::BadDeviceId;
  const std::string& name = impl_->inNames[port];
  impl_->errors.begin();
  const int index = impl_->currentIndex(*impl_->inProbe, port, name);
  if (index < 0) return impl_->fail("The MIDI input \"" + name + "\" is no longer available.");

  auto input = std::make_unique<InputPort>();
  input->handle = impl_->lastHandle + 1;
  input->hub = &impl_->hub;
  try {
    input->midi = std::make_unique<RtMidiIn>(impl_->api, kClientName);
  } catch (const RtMidiError& error) {
    return impl_->fail(error.getMessage());
  }
  input->midi->setErrorCallback(&ErrorSink::report, &impl_->errors);
  // SysEx must come through; timing clock and active sensing are of no use to the program.
  input->midi->ignoreTypes(false, true, true);
  impl_->hub.openPort(input->handle, std::move(callback), instance);
  input->midi->setCallback(&onRtMidiInput, input.get());
  input->midi->openPort(static_cast<unsigned>(index), "MIDI In");
  if (impl_->failIfReported() != MidiResult::NoError) {
    input->midi.reset();
    impl_->hub.closePort(input->handle);
    return MidiResult::Error;
  }
  impl_->settle();
  handle = input->handle;
  impl_->lastHandle = handle;
  impl_->inputs.emplace(handle, std::move(input));
  return MidiResult::NoError;
}

std::uint32_t RtMidiService::inPrepareHeader(MidiHandle handle, MidiHeader* header) {
  if (impl_->inputs.count(handle) == 0) return MidiResult::InvalidHandle;
  return header == nullptr ? impl_->fail("No buffer was given.") : MidiResult::NoError;
}

std::uint32_t RtMidiService::inAddBuffer(MidiHandle handle, MidiHeader* header) {
  if (impl_->inputs.count(handle) == 0) return MidiResult::InvalidHandle;
  if (header != nullptr && header->queued) return MidiResult::StillPlaying;
  return impl_->hub.addBuffer(handle, header) ? MidiResult::NoError
                                              : impl_->fail("The buffer cannot take input.");
}

std::uint32_t RtMidiService::inStart(MidiHandle handle) {
  if (impl_->inputs.count(handle) == 0) return MidiResult::InvalidHandle;
  impl_->hub.start(handle);
  return MidiResult::NoError;
}

std::uint32_t RtMidiService::inStop(MidiHandle handle) {
  if (impl_->inputs.count(handle) == 0) return MidiResult::InvalidHandle;
  impl_->hub.stop(handle);
  return MidiResult::NoError;
}

std::uint32_t RtMidiService::inReset(MidiHandle handle) {
  if (impl_->inputs.count(handle) == 0) return MidiResult::InvalidHandle;
  impl_->hub.reset(handle);
  return MidiResult::NoError;
}

std::uint32_t RtMidiService::inUnprepareHeader(MidiHandle handle, MidiHeader* header) {
  if (impl_->inputs.count(handle) == 0) return MidiResult::InvalidHandle;
  if (header == nullptr) return impl_->fail("No buffer was given.");
  return header->queued ? MidiResult::StillPlaying : MidiResult::NoError;
}

std::uint32_t RtMidiService::inClose(MidiHandle handle) {
  auto it = impl_->inputs.find(handle);
  if (it == impl_->inputs.end()) return MidiResult::InvalidHandle;
  // Closing the RtMidi port first ends its callbacks; then nothing of this port is left queued.
  impl_->errors.begin();
  it->second->midi->closePort();
  it->second->midi.reset();
  impl_->hub.closePort(handle);
  impl_->inputs.erase(it);
  return impl_->failIfReported();
}

std::uint32_t RtMidiService::outOpen(MidiHandle& handle, std::uint32_t port) {
  if (!impl_->outProbe || port >= impl_->outNames.size()) return MidiResult::BadDeviceId;
  const std::string& name = impl_->outNames[port];
  impl_->errors.begin();
  const int index = impl_->currentIndex(*impl_->outProbe, port, name);
  if (index < 0) return impl_->fail("The MIDI output \"" + name + "\" is no longer available.");

  std::unique_ptr<RtMidiOut> output;
  try {
    output = std::make_unique<RtMidiOut>(impl_->api, kClientName);
  } catch (const RtMidiError& error) {
    return impl_->fail(error.getMessage());
  }
  output->setErrorCallback(&ErrorSink::report, &impl_->errors);
  output->openPort(static_cast<unsigned>(index), "MIDI Out");
  if (impl_->failIfReported() != MidiResult::NoError) return MidiResult::Error;
  impl_->settle();
  handle = ++impl_->lastHandle;
  impl_->outputs.emplace(handle, std::move(output));
  return MidiResult::NoError;
}

std::uint32_t RtMidiService::outShortMsg(MidiHandle handle, std::uint32_t packed) {
  auto it = impl_->outputs.find(handle);
  if (it == impl_->outputs.end()) return MidiResult::InvalidHandle;
  unsigned char bytes[3];
  const int length = shortMessageLength(static_cast<std::uint8_t>(packed & 0xFF));
  for (int i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>(packed >> (8 * i));
  impl_->errors.begin();
  it->second->sendMessage(bytes, static_cast<std::size_t>(length));
  return impl_->failIfReported();
}

std::uint32_t RtMidiService::outPrepareHeader(MidiHandle handle, MidiHeader* header) {
  if (impl_->outputs.count(handle) == 0) return MidiResult::InvalidHandle;
  return header == nullptr ? impl_->fail("No buffer was given.") : MidiResult::NoError;
}

std::uint32_t RtMidiService::outLongMsg(MidiHandle handle, MidiHeader* header) {
  auto it = impl_->outputs.find(handle);
  if (it == impl_->outputs.end()) return MidiResult::InvalidHandle;
  if (header == nullptr || header->data == nullptr || header->bufferLength == 0)
    return impl_->fail("There is no message to send.");
  // RtMidi copies the bytes (JACK: into its ring buffer) before it returns, so the caller may
  // free them right after.
  impl_->errors.begin();
  it->second->sendMessage(header->data, header->bufferLength);
  return impl_->failIfReported();
}

std::uint32_t RtMidiService::outUnprepareHeader(MidiHandle handle, MidiHeader* header) {
  if (impl_->outputs.count(handle) == 0) return MidiResult::InvalidHandle;
  return header == nullptr ? impl_->fail("No buffer was given.") : MidiResult::NoError;
}

std::uint32_t RtMidiService::outClose(MidiHandle handle) {
  auto it = impl_->outputs.find(handle);
  if (it == impl_->outputs.end()) return MidiResult::InvalidHandle;
  impl_->errors.begin();
  it->second->closePort();
  impl_->outputs.erase(it);
  return impl_->failIfReported();
}

std::uint32_t RtMidiService::getErrorText(std::uint32_t code, std::string& text) {
  if (code == MidiResult::Error) {
    text = impl_->errors.message();
    if (text.empty()) text = "The MIDI driver reported an error.";
    return MidiResult::NoError;
  }
  if (auto standard = standardMidiErrorText(code)) {
    text = *standard;
    return MidiResult::NoError;
  }
  return MidiResult::Error;
}

}  // namespace tarvik
