// SPDX-License-Identifier: MIT
#include "midi/RtMidiBackend.h"

#include <RtMidi.h>

#include <QCoreApplication>
#include <algorithm>
#include <map>
#include <type_traits>

#include "midi/MidiLog.h"
#include "midi/RtMidiErrors.h"

#if defined(__linux__)
#include <alsa/asoundlib.h>
#endif

namespace tarvik {

namespace {

// An open port: RtMidi's object, and for an input where its bytes go. RtMidi calls back on its
// own thread with the port as user data, so the port stays where it is while it is open.
struct RtMidiPort {
  std::unique_ptr<RtMidiIn> in;
  std::unique_ptr<RtMidiOut> out;
  MidiBackend::Receive receive;
  RtMidi& midi() { return in ? static_cast<RtMidi&>(*in) : *out; }
};

void onInput(double, std::vector<unsigned char>* message, void* userData) {
  if (message == nullptr || message->empty()) return;
  static_cast<const RtMidiPort*>(userData)->receive(message->data(), message->size());
}

std::vector<std::string> listedBy(RtMidi& midi) {
  std::vector<std::string> names;
  const unsigned count = midi.getPortCount();
  for (unsigned i = 0; i < count; ++i) names.push_back(midi.getPortName(i));
  return names;
}

#if defined(__linux__)
// RtMidi writes its own failure to open the sequencer to standard error before it throws, and
// no error callback can be set before its constructor runs: the sequencer is tried here first.
std::string alsaSequencerProblem() {
  snd_seq_t* sequencer = nullptr;
  const int result = snd_seq_open(&sequencer, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK);
  if (result < 0)
    return QCoreApplication::translate("MidiSystemChoice",
                                       "the ALSA sequencer cannot be opened: %1")
        .arg(QString::fromLocal8Bit(snd_strerror(result)))
        .toStdString();
  snd_seq_close(sequencer);
  return {};
}
constexpr RtMidi::Api kApi = RtMidi::LINUX_ALSA;
#else
constexpr RtMidi::Api kApi = RtMidi::UNSPECIFIED;
#endif

}  // namespace

struct RtMidiBackend::State {
  std::string clientName;
  RtMidiErrors errors;
  // Only for listing ports.
  std::unique_ptr<RtMidiIn> inProbe;
  std::unique_ptr<RtMidiOut> outProbe;
  std::map<MidiHandle, std::unique_ptr<RtMidiPort>> opened;

  std::uint32_t answer() { return errors.ok() ? MidiResult::NoError : MidiResult::Error; }
  std::uint32_t fail(const std::string& text) {
    errors.set(text);
    return MidiResult::Error;
  }
  template <typename Midi>
  std::uint32_t open(MidiHandle handle, const std::string& name, const char* goneText,
                     MidiBackend::Receive receive);
};

std::unique_ptr<RtMidiBackend> RtMidiBackend::connect(const std::string& clientName,
                                                      std::string& problem) {
  routeLibraryOutput();
#if defined(__linux__)
  problem = alsaSequencerProblem();
  if (!problem.empty()) return nullptr;
#endif
  auto state = std::make_unique<State>();
  state->clientName = clientName;
  try {
    state->inProbe = std::make_unique<RtMidiIn>(kApi, clientName);
    state->outProbe = std::make_unique<RtMidiOut>(kApi, clientName);
  } catch (const RtMidiError& error) {
    problem = error.getMessage();
    return nullptr;
  }
  state->errors.install(*state->inProbe);
  state->errors.install(*state->outProbe);
  return std::unique_ptr<RtMidiBackend>(new RtMidiBackend(std::move(state)));
}

RtMidiBackend::RtMidiBackend(std::unique_ptr<State> state) : state_(std::move(state)) {}

RtMidiBackend::~RtMidiBackend() = default;

std::string RtMidiBackend::apiName() const {
  return RtMidi::getApiDisplayName(state_->inProbe->getCurrentApi());
}

std::vector<MidiBackend::Port> RtMidiBackend::ports(bool sending) {
  std::vector<Port> listed;
  RtMidi& probe = sending ? static_cast<RtMidi&>(*state_->inProbe) : *state_->outProbe;
  // The program's own ports ("Tarvik Configurator:MIDI In 129:0") are left out.
  const std::string own = state_->clientName + ":";
  for (std::string& name : listedBy(probe))
    if (name.compare(0, own.size(), own) != 0) listed.push_back(Port{std::move(name), 0});
  return listed;
}

template <typename Midi>
std::uint32_t RtMidiBackend::State::open(MidiHandle handle, const std::string& name,
                                         const char* goneText, MidiBackend::Receive receive) {
  errors.begin();
  auto port = std::make_unique<RtMidiPort>();
  try {
    if constexpr (std::is_same_v<Midi, RtMidiIn>) {
      port->in = std::make_unique<RtMidiIn>(kApi, clientName);
    } else {
      port->out = std::make_unique<RtMidiOut>(kApi, clientName);
    }
  } catch (const RtMidiError& error) {
    return fail(error.getMessage());
  }
  errors.install(port->midi());
  // Opened by name: ports that came or went since the listing do not shift it.
  const std::vector<std::string> now = listedBy(port->midi());
  const auto index = std::find(now.begin(), now.end(), name) - now.begin();
  if (static_cast<std::size_t>(index) == now.size())
    return fail(QCoreApplication::translate("RtMidiOpenPorts", goneText)
                    .arg(QString::fromStdString(name))
                    .toStdString());
  if constexpr (std::is_same_v<Midi, RtMidiIn>) {
    port->receive = std::move(receive);
    RtMidiIn& in = *port->in;
    // SysEx must come through; timing clock and active sensing are of no use to the program.
    in.ignoreTypes(false, true, true);
    in.setCallback(&onInput, port.get());
  }
  port->midi().openPort(static_cast<unsigned>(index),
                        std::is_same_v<Midi, RtMidiIn> ? "MIDI In" : "MIDI Out");
  if (!errors.ok()) return MidiResult::Error;
  opened[handle] = std::move(port);
  return MidiResult::NoError;
}

std::uint32_t RtMidiBackend::openInput(MidiHandle handle, Port& port, Receive receive) {
  return state_->open<RtMidiIn>(
      handle, port.name,
      QT_TRANSLATE_NOOP("RtMidiOpenPorts", "The MIDI input \"%1\" is no longer available."),
      std::move(receive));
}

std::uint32_t RtMidiBackend::openOutput(MidiHandle handle, Port& port) {
  return state_->open<RtMidiOut>(
      handle, port.name,
      QT_TRANSLATE_NOOP("RtMidiOpenPorts", "The MIDI output \"%1\" is no longer available."),
      nullptr);
}

std::uint32_t RtMidiBackend::close(MidiHandle handle) {
  auto it = state_->opened.find(handle);
  if (it == state_->opened.end()) return MidiResult::InvalidHandle;
  state_->errors.begin();
  // Closing RtMidi's port first ends its callbacks.
  it->second->midi().closePort();
  state_->opened.erase(it);
  return state_->answer();
}

std::uint32_t RtMidiBackend::send(MidiHandle handle, const std::uint8_t* bytes,
                                  std::size_t length) {
  auto it = state_->opened.find(handle);
  if (it == state_->opened.end()) return MidiResult::InvalidHandle;
  state_->errors.begin();
  if (!it->second->out) return MidiResult::InvalidHandle;
  it->second->out->sendMessage(bytes, length);
  return state_->answer();
}

std::string RtMidiBackend::lastError() const { return state_->errors.message(); }

}  // namespace tarvik
