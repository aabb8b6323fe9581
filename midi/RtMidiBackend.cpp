// SPDX-License-Identifier: MIT
// MIDI through RtMidi: its ALSA sequencer API on Linux, its own choice elsewhere. Every open port
// is an RtMidi object of its own, opened by name before the call returns; input comes on RtMidi's
// thread. RtMidi gives no notice of ports coming or going, so they are asked for.
#include <RtMidi.h>

#include <QCoreApplication>
#include <algorithm>
#include <map>
#include <mutex>

#include "midi/MidiLog.h"
#include "midi/MidiService.h"
#include "midi/RtMidiService.h"

#if defined(__linux__)
#include <alsa/asoundlib.h>
#endif

namespace tarvik {

namespace {

#if defined(__linux__)
constexpr RtMidi::Api kApi = RtMidi::LINUX_ALSA;
#else
constexpr RtMidi::Api kApi = RtMidi::UNSPECIFIED;
#endif

// RtMidi calls back on its own thread with the port as user data, so the port stays where it is
// while it is open.
struct RtMidiPort {
  std::unique_ptr<RtMidiIn> in;
  std::unique_ptr<RtMidiOut> out;
  MidiBackend::Receive receive;
  RtMidi& midi() { return in ? static_cast<RtMidi&>(*in) : *out; }
};

std::vector<std::string> listedBy(RtMidi& midi) {
  std::vector<std::string> names;
  for (unsigned i = 0, count = midi.getPortCount(); i < count; ++i)
    names.push_back(midi.getPortName(i));
  return names;
}

class RtMidiBackend final : public MidiBackend {
 public:
  explicit RtMidiBackend(std::string clientName) : clientName_(std::move(clientName)) {}
  // Nothing but what went wrong when the MIDI system cannot be reached.
  std::string start() {
#if defined(__linux__)
    // RtMidi writes its own failure to open the sequencer to standard error before it throws, and
    // no error callback can be set before its constructor runs: the sequencer is tried here first.
    snd_seq_t* sequencer = nullptr;
    const int result = snd_seq_open(&sequencer, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK);
    if (result < 0)
      return QCoreApplication::translate("MidiSystemChoice",
                                         "the ALSA sequencer cannot be opened: %1")
          .arg(QString::fromLocal8Bit(snd_strerror(result)))
          .toStdString();
    snd_seq_close(sequencer);
#endif
    try {
      inProbe_ = std::make_unique<RtMidiIn>(kApi, clientName_);
      outProbe_ = std::make_unique<RtMidiOut>(kApi, clientName_);
    } catch (const RtMidiError& error) {
      return error.getMessage();
    }
    inProbe_->setErrorCallback(&report, this);
    outProbe_->setErrorCallback(&report, this);
    return {};
  }

  std::vector<Port> ports(bool sending) override {
    std::vector<Port> listed;
    // The program's own ports ("Tarvik Configurator:MIDI In 129:0") are left out.
    const std::string own = clientName_ + ":";
    for (std::string& name : listedBy(sending ? static_cast<RtMidi&>(*inProbe_) : *outProbe_))
      if (name.compare(0, own.size(), own) != 0) listed.push_back(Port{std::move(name), 0});
    return listed;
  }

  std::uint32_t open(MidiHandle handle, Port& port, Receive receive) override {
    const bool input = static_cast<bool>(receive);
    begin();
    auto opened = std::make_unique<RtMidiPort>();
    try {
      if (input)
        opened->in = std::make_unique<RtMidiIn>(kApi, clientName_);
      else
        opened->out = std::make_unique<RtMidiOut>(kApi, clientName_);
    } catch (const RtMidiError& error) {
      return fail(error.getMessage());
    }
    opened->midi().setErrorCallback(&report, this);
    // Opened by name: ports that came or went since the listing do not shift it.
    const std::vector<std::string> now = listedBy(opened->midi());
    const auto index = std::find(now.begin(), now.end(), port.name) - now.begin();
    if (static_cast<std::size_t>(index) == now.size()) return fail(gone(input, port.name));
    if (input) {
      opened->receive = std::move(receive);
      // SysEx must come through; timing clock and active sensing are of no use to the program.
      opened->in->ignoreTypes(false, true, true);
      opened->in->setCallback(
          [](double, std::vector<unsigned char>* message, void* self) {
            if (message != nullptr && !message->empty())
              static_cast<const RtMidiPort*>(self)->receive(message->data(), message->size());
          },
          opened.get());
    }
    opened->midi().openPort(static_cast<unsigned>(index), input ? "MIDI In" : "MIDI Out");
    if (auto code = answer()) return code;
    opened_[handle] = std::move(opened);
    return MidiResult::NoError;
  }

  std::uint32_t close(MidiHandle handle) override {
    auto it = opened_.find(handle);
    if (it == opened_.end()) return MidiResult::InvalidHandle;
    begin();
    // Closing RtMidi's port first ends its callbacks.
    it->second->midi().closePort();
    opened_.erase(it);
    return answer();
  }

  std::uint32_t send(MidiHandle handle, const std::uint8_t* bytes, std::size_t length) override {
    auto it = opened_.find(handle);
    if (it == opened_.end() || !it->second->out) return MidiResult::InvalidHandle;
    begin();
    it->second->out->sendMessage(bytes, length);
    return answer();
  }

  std::string lastError() const override {
    std::lock_guard lock(mutex_);
    return lastMessage_;
  }
  std::string name() const override { return RtMidi::getApiDisplayName(inProbe_->getCurrentApi()); }

 private:
  // With an error callback installed RtMidi reports instead of throwing (and instead of writing
  // to standard error), so every call is followed by a look at the flag. Warnings are kept as
  // text but fail no call. RtMidi may report from its own threads, hence the lock.
  static void report(RtMidiError::Type type, const std::string& text, void* self) {
    auto& backend = *static_cast<RtMidiBackend*>(self);
    std::lock_guard lock(backend.mutex_);
    backend.lastMessage_ = text;
    if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING) backend.failed_ = true;
  }
  // Starts a call: what went wrong before it no longer fails it.
  void begin() {
    std::lock_guard lock(mutex_);
    failed_ = false;
  }
  std::uint32_t answer() {
    std::lock_guard lock(mutex_);
    return failed_ ? MidiResult::Error : MidiResult::NoError;
  }
  std::uint32_t fail(const std::string& text) {
    std::lock_guard lock(mutex_);
    lastMessage_ = text;
    return MidiResult::Error;
  }

  std::string clientName_;
  mutable std::mutex mutex_;
  std::string lastMessage_;
  bool failed_ = false;
  // Only for listing ports.
  std::unique_ptr<RtMidiIn> inProbe_;
  std::unique_ptr<RtMidiOut> outProbe_;
  std::map<MidiHandle, std::unique_ptr<RtMidiPort>> opened_;
};

}  // namespace

std::unique_ptr<MidiBackend> connectRtMidi(const std::string& clientName, std::string& problem) {
  routeLibraryOutput();
  auto rtMidi = std::make_unique<RtMidiBackend>(clientName);
  problem = rtMidi->start();
  if (!problem.empty()) return nullptr;
  return rtMidi;
}

}  // namespace tarvik
