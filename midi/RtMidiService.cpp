// SPDX-License-Identifier: MIT
#include "midi/RtMidiService.h"

#include <RtMidi.h>

#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "midi/InputHub.h"
#include "midi/JackClock.h"
#include "midi/MidiErrorTexts.h"
#include "midi/PortOpening.h"

namespace tarvik {

namespace {

constexpr const char* kClientName = "Tarvik Configurator";

// JACK takes a new connection into its graph at the start of a cycle: RtMidi's output writes
// its queued bytes during a cycle, so bytes written in the cycle that was running when
// jack_connect returned are lost. Once the server's clock shows two more cycle starts, every
// cycle that RtMidi writes in has the connection. A server that stops counting (it was shut
// down) is waited for no longer than this; the sends then fail or go unanswered and say so.
constexpr std::uint32_t kCarryingAfterCycles = 2;
constexpr std::chrono::milliseconds kLongestCarryWait{1000};

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

// What reaching a MIDI system came to. Made on whichever thread starts the service, installed
// on the service's own.
struct Reached {
  RtMidi::Api api = RtMidi::UNSPECIFIED;
  std::string problem;
  std::unique_ptr<RtMidiIn> inProbe;
  std::unique_ptr<RtMidiOut> outProbe;
  std::unique_ptr<JackClock> jack;
};

Reached reachMidiSystem() {
  Reached reached;
#if defined(__linux__)
  // ALSA where the sequencer exists, JACK otherwise. RtMidi's own default choice would open a
  // JACK client (a server round trip) only to count its ports.
  const std::vector<RtMidi::Api> candidates{RtMidi::LINUX_ALSA, RtMidi::UNIX_JACK};
#else
  const std::vector<RtMidi::Api> candidates{RtMidi::UNSPECIFIED};
#endif
  std::string problems;
  for (RtMidi::Api candidate : candidates) {
    if (candidate == RtMidi::UNIX_JACK) {
      // Under JACK every RtMidi object is a client of its own; one plain client lists the ports
      // and tells when an opened port carries data.
      std::string warning;
      reached.jack = JackClock::connect(kClientName, warning);
      if (reached.jack) {
        reached.api = RtMidi::UNIX_JACK;
        // The first listing of a process walks the server's whole port table, pages it has not
        // touched yet; done here, it is not done on the thread that later lists the ports.
        reached.jack->sendingPorts();
        return reached;
      }
      reached.problem = "No MIDI ports are available: no MIDI system is running (" +
                        (problems.empty() ? std::string() : problems + "; ") + warning +
                        "). Start a JACK server and restart the program to use MIDI ports.";
      return reached;
    }
    try {
      reached.inProbe = std::make_unique<RtMidiIn>(candidate, kClientName);
      reached.outProbe = std::make_unique<RtMidiOut>(candidate, kClientName);
      reached.api = reached.inProbe->getCurrentApi();
      return reached;
    } catch (const RtMidiError& error) {
      reached.inProbe.reset();
      reached.outProbe.reset();
      if (!problems.empty()) problems += "; ";
      problems += error.getMessage();
    }
  }
  reached.problem =
      "No MIDI ports are available: no MIDI system could be reached (" + problems + ").";
  return reached;
}

}  // namespace

struct RtMidiService::Impl {
  ErrorSink errors;
  RtMidi::Api api = RtMidi::UNSPECIFIED;
  std::string startupProblem;
  // Only for listing ports (not under JACK, where `jack` lists them); opened ports get objects
  // of their own.
  std::unique_ptr<RtMidiIn> inProbe;
  std::unique_ptr<RtMidiOut> outProbe;
  std::unique_ptr<JackClock> jack;
  // The JACK cycle that ran when the last port was opened.
  std::uint32_t lastOpenCycle = 0;
  // Under JACK ports open in the background (PortOpening); until then the handle's RtMidi
  // object is missing, and after a failure the reason is kept for the handle's sends.
  std::map<MidiHandle, std::unique_ptr<PortOpening<RtMidiIn>>> openingInputs;
  std::map<MidiHandle, std::unique_ptr<PortOpening<RtMidiOut>>> openingOutputs;
  std::map<MidiHandle, std::string> failedOpens;
  std::vector<std::function<void()>> carryWaiters;
  std::vector<std::string> inNames;
  std::vector<std::string> outNames;
  std::map<MidiHandle, std::unique_ptr<InputPort>> inputs;
  std::map<MidiHandle, std::unique_ptr<RtMidiOut>> outputs;
  MidiHandle lastHandle = kNoHandle;
  // Reaches the MIDI system for a service started in the background.
  std::thread starter;
  bool started = false;
  std::vector<std::function<void()>> startWaiters;
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

  // Where the port listed as `name` at `listed` is now in the list of `midi`, the object that
  // opens it; -1 when it is gone.
  template <typename Midi>
  int currentIndex(Midi& midi, std::uint32_t listed, const std::string& name) {
    const std::vector<std::string> now = listPorts(midi);
    if (listed < now.size() && now[listed] == name) return static_cast<int>(listed);
    for (std::size_t i = 0; i < now.size(); ++i)
      if (now[i] == name) return static_cast<int>(i);
    return -1;
  }

  bool reachable() const { return inProbe || jack; }

  void opened() {
    if (jack) lastOpenCycle = jack->cycleStart();
  }

  static bool listed(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  }

  bool opening() const { return !openingInputs.empty() || !openingOutputs.empty(); }

  // An open in the background ended (or was given up): once none is left, the waiters count
  // their cycles from now.
  void openEnded() {
    opened();
    if (opening()) return;
    std::vector<std::function<void()>> waiters;
    waiters.swap(carryWaiters);
    for (auto& carrying : waiters) awaitCarrying(std::move(carrying));
  }

  void awaitCarrying(std::function<void()> carrying) {
    const std::uint32_t target = lastOpenCycle + kCarryingAfterCycles * jack->periodFrames();
    awaitCycle(target, std::chrono::milliseconds(0), std::move(carrying));
  }

  template <typename Midi>
  std::unique_ptr<Midi> takeOpened(std::map<MidiHandle, std::unique_ptr<PortOpening<Midi>>>& from,
                                   MidiHandle handle) {
    auto it = from.find(handle);
    if (it == from.end()) return nullptr;  // closed meanwhile
    const std::unique_ptr<PortOpening<Midi>> opening = std::move(it->second);
    from.erase(it);
    std::unique_ptr<Midi> midi = opening->take();
    if (midi) {
      midi->setErrorCallback(&ErrorSink::report, &errors);
    } else {
      failedOpens[handle] = opening->error();
    }
    return midi;
  }

  // Why a handle whose port is not (yet) open cannot send.
  std::uint32_t notOpen(MidiHandle handle) {
    auto failed = failedOpens.find(handle);
    return fail(failed != failedOpens.end() ? failed->second
                                            : "The MIDI output is still being opened.");
  }

  // Calls `carrying` once the cycle clock has passed `target`, looking again each period.
  void awaitCycle(std::uint32_t target, std::chrono::milliseconds waited,
                  std::function<void()> carrying) {
    const auto passed = static_cast<std::int32_t>(jack->cycleStart() - target) >= 0;
    if (passed || waited >= kLongestCarryWait) {
      carrying();
      return;
    }
    const auto period = std::chrono::milliseconds(static_cast<long>(
        std::ceil(1000.0 * jack->periodFrames() / std::max<std::uint32_t>(1, jack->sampleRate()))));
    QTimer::singleShot(period, &hub,
                       [this, target, waited, period, carrying = std::move(carrying)] {
                         awaitCycle(target, waited + period, carrying);
                       });
  }

  void install(Reached reached);
};

void RtMidiService::Impl::install(Reached reached) {
  api = reached.api;
  startupProblem = std::move(reached.problem);
  inProbe = std::move(reached.inProbe);
  outProbe = std::move(reached.outProbe);
  jack = std::move(reached.jack);
  if (inProbe) inProbe->setErrorCallback(&ErrorSink::report, &errors);
  if (outProbe) outProbe->setErrorCallback(&ErrorSink::report, &errors);
  started = true;
  std::vector<std::function<void()>> waiters;
  waiters.swap(startWaiters);
  for (auto& waiter : waiters) waiter();
}

RtMidiService::RtMidiService(Start when) : impl_(std::make_unique<Impl>()) {
  if (when == Start::Now) impl_->install(reachMidiSystem());
}

void RtMidiService::startInBackground() {
  if (impl_->started || impl_->starter.joinable()) return;
  impl_->starter = std::thread([impl = impl_.get()] {
    auto reached = std::make_shared<Reached>(reachMidiSystem());
    // Should the service go first, the hub goes with it and takes this call along unrun.
    QMetaObject::invokeMethod(
        &impl->hub, [impl, reached] { impl->install(std::move(*reached)); }, Qt::QueuedConnection);
  });
}

void RtMidiService::whenStarted(std::function<void()> started) {
  if (impl_->started) {
    started();
    return;
  }
  impl_->startWaiters.push_back(std::move(started));
}

RtMidiService::~RtMidiService() {
  if (impl_->starter.joinable()) impl_->starter.join();
  // The RtMidi objects go first: after that no input thread can post to the hub. Opens still
  // under way are waited for. Under JACK each object is a client of its own, and closing one
  // is a round trip to the server that waits for its cycle: they close side by side.
  impl_->openingInputs.clear();
  impl_->openingOutputs.clear();
  std::vector<std::thread> closing;
  for (auto& [handle, input] : impl_->inputs) {
    if (input->midi)
      closing.emplace_back([midi = std::move(input->midi)]() mutable { midi.reset(); });
  }
  for (auto& [handle, output] : impl_->outputs) {
    if (output) closing.emplace_back([midi = std::move(output)]() mutable { midi.reset(); });
  }
  if (impl_->jack)
    closing.emplace_back([jack = std::move(impl_->jack)]() mutable { jack.reset(); });
  for (std::thread& closer : closing) closer.join();
  impl_->inputs.clear();
  impl_->outputs.clear();
}

std::string RtMidiService::startupProblem() const { return impl_->startupProblem; }

std::string RtMidiService::apiName() const {
  return impl_->api == RtMidi::UNSPECIFIED ? std::string() : RtMidi::getApiDisplayName(impl_->api);
}

std::uint32_t RtMidiService::inGetNumDevs() {
  if (impl_->jack) {
    impl_->inNames = impl_->jack->sendingPorts();
    std::erase_if(impl_->inNames, isOwnPort);
  } else {
    impl_->inNames =
        impl_->inProbe ? impl_->listOthersPorts(*impl_->inProbe) : std::vector<std::string>{};
  }
  return static_cast<std::uint32_t>(impl_->inNames.size());
}

std::uint32_t RtMidiService::outGetNumDevs() {
  if (impl_->jack) {
    impl_->outNames = impl_->jack->takingPorts();
    std::erase_if(impl_->outNames, isOwnPort);
  } else {
    impl_->outNames =
        impl_->outProbe ? impl_->listOthersPorts(*impl_->outProbe) : std::vector<std::string>{};
  }
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
  if (!impl_->reachable() || port >= impl_->inNames.size()) return MidiResult::BadDeviceId;
  const std::string& name = impl_->inNames[port];
  impl_->errors.begin();

  auto input = std::make_unique<InputPort>();
  input->handle = impl_->lastHandle + 1;
  input->hub = &impl_->hub;
  if (impl_->jack) {
    // A port that has gone is said at once; the rest of the open takes its time elsewhere.
    if (!impl_->listed(impl_->jack->sendingPorts(), name))
      return impl_->fail("The MIDI input \"" + name + "\" is no longer available.");
    handle = input->handle;
    impl_->lastHandle = handle;
    impl_->hub.openPort(handle, std::move(callback), instance);
    Impl* service = impl_.get();
    impl_->openingInputs[handle] = std::make_unique<PortOpening<RtMidiIn>>(
        impl_->api, kClientName, name, "MIDI In",
        [port = input.get()](RtMidiIn& midi) {
          midi.ignoreTypes(false, true, true);
          midi.setCallback(&onRtMidiInput, port);
        },
        &impl_->hub,
        [service, handle] {
          std::unique_ptr<RtMidiIn> midi = service->takeOpened(service->openingInputs, handle);
          auto it = service->inputs.find(handle);
          if (midi && it != service->inputs.end()) it->second->midi = std::move(midi);
          service->openEnded();
        });
    impl_->inputs.emplace(handle, std::move(input));
    return MidiResult::NoError;
  }
  try {
    input->midi = std::make_unique<RtMidiIn>(impl_->api, kClientName);
  } catch (const RtMidiError& error) {
    return impl_->fail(error.getMessage());
  }
  input->midi->setErrorCallback(&ErrorSink::report, &impl_->errors);
  const int index = impl_->currentIndex(*input->midi, port, name);
  if (index < 0) return impl_->fail("The MIDI input \"" + name + "\" is no longer available.");
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
  impl_->opened();
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
  // An open under way is waited for, and its object goes with the port.
  if (impl_->openingInputs.erase(handle) > 0) impl_->openEnded();
  impl_->failedOpens.erase(handle);
  // Closing the RtMidi port first ends its callbacks; then nothing of this port is left queued.
  impl_->errors.begin();
  if (it->second->midi) it->second->midi->closePort();
  it->second->midi.reset();
  impl_->hub.closePort(handle);
  impl_->inputs.erase(it);
  return impl_->failIfReported();
}

std::uint32_t RtMidiService::outOpen(MidiHandle& handle, std::uint32_t port) {
  if (!impl_->reachable() || port >= impl_->outNames.size()) return MidiResult::BadDeviceId;
  const std::string& name = impl_->outNames[port];
  impl_->errors.begin();
  if (impl_->jack) {
    if (!impl_->listed(impl_->jack->takingPorts(), name))
      return impl_->fail("The MIDI output \"" + name + "\" is no longer available.");
    handle = ++impl_->lastHandle;
    impl_->outputs.emplace(handle, nullptr);
    Impl* service = impl_.get();
    impl_->openingOutputs[handle] = std::make_unique<PortOpening<RtMidiOut>>(
        impl_->api, kClientName, name, "MIDI Out", nullptr, &impl_->hub, [service, handle] {
          std::unique_ptr<RtMidiOut> midi = service->takeOpened(service->openingOutputs, handle);
          auto it = service->outputs.find(handle);
          if (midi && it != service->outputs.end()) it->second = std::move(midi);
          service->openEnded();
        });
    return MidiResult::NoError;
  }

  std::unique_ptr<RtMidiOut> output;
  try {
    output = std::make_unique<RtMidiOut>(impl_->api, kClientName);
  } catch (const RtMidiError& error) {
    return impl_->fail(error.getMessage());
  }
  output->setErrorCallback(&ErrorSink::report, &impl_->errors);
  const int index = impl_->currentIndex(*output, port, name);
  if (index < 0) return impl_->fail("The MIDI output \"" + name + "\" is no longer available.");
  output->openPort(static_cast<unsigned>(index), "MIDI Out");
  if (impl_->failIfReported() != MidiResult::NoError) return MidiResult::Error;
  impl_->opened();
  handle = ++impl_->lastHandle;
  impl_->outputs.emplace(handle, std::move(output));
  return MidiResult::NoError;
}

std::uint32_t RtMidiService::outShortMsg(MidiHandle handle, std::uint32_t packed) {
  auto it = impl_->outputs.find(handle);
  if (it == impl_->outputs.end()) return MidiResult::InvalidHandle;
  if (!it->second) return impl_->notOpen(handle);
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
  if (!it->second) return impl_->notOpen(handle);
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
  if (impl_->openingOutputs.erase(handle) > 0) impl_->openEnded();
  impl_->failedOpens.erase(handle);
  impl_->errors.begin();
  if (it->second) it->second->closePort();
  impl_->outputs.erase(it);
  return impl_->failIfReported();
}

void RtMidiService::whenOpenPortsCarry(std::function<void()> carrying) {
  if (!impl_->jack) {
    carrying();
    return;
  }
  if (impl_->opening()) {
    impl_->carryWaiters.push_back(std::move(carrying));
    return;
  }
  impl_->awaitCarrying(std::move(carrying));
}

std::string RtMidiService::jackPeriod() const {
  if (!impl_->jack) return {};
  return std::to_string(impl_->jack->periodFrames()) + " frames at " +
         std::to_string(impl_->jack->sampleRate()) + " Hz";
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
