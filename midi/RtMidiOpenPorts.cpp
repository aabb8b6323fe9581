// SPDX-License-Identifier: MIT
#include "midi/RtMidiOpenPorts.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "midi/InputHub.h"
#include "midi/JackCarryWait.h"
#include "midi/JackClock.h"
#include "midi/JackSpareClients.h"
#include "midi/RtMidiErrors.h"
#include "midi/RtMidiPortList.h"

namespace tarvik {

namespace {

bool listed(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// `text` (marked for translation) with the port's name for its %1.
std::string gone(const char* text, const std::string& name) {
  return QCoreApplication::translate("RtMidiOpenPorts", text)
      .arg(QString::fromStdString(name))
      .toStdString();
}

// What an open under JACK makes its object with: the one made beforehand while there is one.
template <typename Midi>
std::function<std::unique_ptr<Midi>()> maker(RtMidi::Api api, JackSpareClients* spares) {
  return [api, spares] {
    std::unique_ptr<Midi> midi = spares ? spares->take<Midi>() : nullptr;
    return midi ? std::move(midi) : std::make_unique<Midi>(api, kOwnMidiClientName);
  };
}

void waitFor(const std::vector<std::shared_future<void>>& closing) {
  for (const std::shared_future<void>& closed : closing) closed.wait();
}

}  // namespace

void RtMidiInputPort::listenTo(RtMidiIn& in) {
  in.ignoreTypes(false, true, true);
  in.setCallback(&RtMidiInputPort::onInput, this);
}

void RtMidiInputPort::onInput(double /*timeStamp*/, std::vector<unsigned char>* message,
                              void* userData) {
  if (message == nullptr || message->empty()) return;
  const auto* port = static_cast<const RtMidiInputPort*>(userData);
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

RtMidiOpenPorts::~RtMidiOpenPorts() { closeAll(nullptr); }

void RtMidiOpenPorts::use(RtMidi::Api api, const JackClock* jack, JackCarryWait* carry,
                          std::unique_ptr<JackSpareClients> spares) {
  api_ = api;
  jack_ = jack;
  carry_ = carry;
  spares_ = std::move(spares);
}

std::uint32_t RtMidiOpenPorts::fail(const std::string& text) {
  errors_.set(text);
  return MidiResult::Error;
}

std::uint32_t RtMidiOpenPorts::notOpen(MidiHandle handle) {
  auto failed = failedOpens_.find(handle);
  return fail(
      failed != failedOpens_.end()
          ? failed->second
          : QCoreApplication::translate("RtMidiOpenPorts", "The MIDI output is still being opened.")
                .toStdString());
}

void RtMidiOpenPorts::opened() {
  if (carry_) carry_->opened();
}

void RtMidiOpenPorts::openEnded() {
  if (carry_) carry_->openEnded(opening());
}

template <typename Midi>
std::unique_ptr<Midi> RtMidiOpenPorts::takeOpened(
    std::map<MidiHandle, std::unique_ptr<PortOpening<Midi>>>& from, MidiHandle handle) {
  auto it = from.find(handle);
  if (it == from.end()) return nullptr;  // closed meanwhile
  const std::unique_ptr<PortOpening<Midi>> opening = std::move(it->second);
  from.erase(it);
  std::unique_ptr<Midi> midi = opening->take();
  if (midi) {
    errors_.install(*midi);
  } else {
    failedOpens_[handle] = opening->error();
  }
  return midi;
}

template <typename Midi>
std::unique_ptr<Midi> RtMidiOpenPorts::openHere(std::uint32_t listedAt, const std::string& name,
                                                const char* goneText, const char* ownPort,
                                                const std::function<void(Midi&)>& prepare) {
  std::unique_ptr<Midi> midi;
  try {
    midi = std::make_unique<Midi>(api_, kOwnMidiClientName);
  } catch (const RtMidiError& error) {
    fail(error.getMessage());
    return nullptr;
  }
  errors_.install(*midi);
  const int index = RtMidiPortList::currentIndex(*midi, listedAt, name);
  if (index < 0) {
    fail(gone(goneText, name));
    return nullptr;
  }
  if (prepare) prepare(*midi);
  midi->openPort(static_cast<unsigned>(index), ownPort);
  if (!errors_.ok()) return nullptr;
  opened();
  return midi;
}

std::uint32_t RtMidiOpenPorts::openInput(MidiHandle& handle, std::uint32_t listedAt,
                                         const std::string& name, MidiInCallback callback,
                                         std::uintptr_t instance) {
  errors_.begin();
  const char* goneText =
      QT_TRANSLATE_NOOP("RtMidiOpenPorts", "The MIDI input \"%1\" is no longer available.");
  // Under JACK a port that has gone is said at once; the rest of the open takes its time
  // elsewhere.
  if (jack_ && !listed(jack_->sendingPorts(), name)) return fail(gone(goneText, name));
  auto input = std::make_unique<RtMidiInputPort>();
  input->handle = lastHandle_ + 1;
  input->hub = &hub_;
  hub_.openPort(input->handle, std::move(callback), instance);
  const auto prepare = [port = input.get()](RtMidiIn& midi) { port->listenTo(midi); };
  if (jack_) {
    openingInputs_[input->handle] = std::make_unique<PortOpening<RtMidiIn>>(
        maker<RtMidiIn>(api_, spares_.get()), name, "MIDI In", prepare, &hub_,
        [this, handle = input->handle] {
          std::unique_ptr<RtMidiIn> midi = takeOpened(openingInputs_, handle);
          auto it = inputs_.find(handle);
          if (midi && it != inputs_.end()) it->second->midi = std::move(midi);
          openEnded();
        });
  } else {
    input->midi = openHere<RtMidiIn>(listedAt, name, goneText, "MIDI In", prepare);
    if (!input->midi) {
      hub_.closePort(input->handle);
      return MidiResult::Error;
    }
  }
  handle = input->handle;
  lastHandle_ = handle;
  inputs_.emplace(handle, std::move(input));
  return MidiResult::NoError;
}

std::uint32_t RtMidiOpenPorts::closeInput(MidiHandle handle) {
  auto it = inputs_.find(handle);
  if (it == inputs_.end()) return MidiResult::InvalidHandle;
  // An open under way is waited for, and its object goes with the port.
  if (openingInputs_.erase(handle) > 0) openEnded();
  failedOpens_.erase(handle);
  if (jack_) {
    // The hub forgets the port at once: what RtMidi still posts until its object has closed finds
    // no port. The port's record goes along, since RtMidi's callback refers to it till then.
    hub_.closePort(handle);
    std::shared_ptr<RtMidiInputPort> port = std::move(it->second);
    inputs_.erase(it);
    if (port->midi) {
      closeInBackground([port, after = outputPortsClosing_] {
        waitFor(after);
        port->midi.reset();
      });
    }
    return MidiResult::NoError;
  }
  // Closing the RtMidi port first ends its callbacks; then nothing of this port is left queued.
  errors_.begin();
  if (it->second->midi) it->second->midi->closePort();
  it->second->midi.reset();
  hub_.closePort(handle);
  inputs_.erase(it);
  return errors_.ok() ? MidiResult::NoError : MidiResult::Error;
}

std::uint32_t RtMidiOpenPorts::openOutput(MidiHandle& handle, std::uint32_t listedAt,
                                          const std::string& name) {
  errors_.begin();
  const char* goneText =
      QT_TRANSLATE_NOOP("RtMidiOpenPorts", "The MIDI output \"%1\" is no longer available.");
  if (jack_ && !listed(jack_->takingPorts(), name)) return fail(gone(goneText, name));
  std::unique_ptr<RtMidiOut> output;
  if (jack_) {
    openingOutputs_[lastHandle_ + 1] = std::make_unique<PortOpening<RtMidiOut>>(
        maker<RtMidiOut>(api_, spares_.get()), name, "MIDI Out", nullptr, &hub_,
        [this, handle = lastHandle_ + 1] {
          std::unique_ptr<RtMidiOut> midi = takeOpened(openingOutputs_, handle);
          auto it = outputs_.find(handle);
          if (midi && it != outputs_.end()) it->second = std::move(midi);
          openEnded();
        });
  } else {
    output = openHere<RtMidiOut>(listedAt, name, goneText, "MIDI Out", nullptr);
    if (!output) return MidiResult::Error;
  }
  handle = ++lastHandle_;
  outputs_.emplace(handle, std::move(output));
  return MidiResult::NoError;
}

std::uint32_t RtMidiOpenPorts::closeOutput(MidiHandle handle) {
  auto it = outputs_.find(handle);
  if (it == outputs_.end()) return MidiResult::InvalidHandle;
  if (openingOutputs_.erase(handle) > 0) openEnded();
  failedOpens_.erase(handle);
  if (jack_) {
    std::shared_ptr<RtMidiOut> midi = std::move(it->second);
    outputs_.erase(it);
    if (midi) closeInBackground(jackOutputCloser(std::move(midi)));
    return MidiResult::NoError;
  }
  errors_.begin();
  if (it->second) it->second->closePort();
  outputs_.erase(it);
  return errors_.ok() ? MidiResult::NoError : MidiResult::Error;
}

std::uint32_t RtMidiOpenPorts::send(MidiHandle handle, const unsigned char* bytes,
                                    std::size_t length) {
  auto it = outputs_.find(handle);
  if (it == outputs_.end()) return MidiResult::InvalidHandle;
  if (!it->second) return notOpen(handle);
  errors_.begin();
  it->second->sendMessage(bytes, length);
  return errors_.ok() ? MidiResult::NoError : MidiResult::Error;
}

std::function<void()> RtMidiOpenPorts::jackOutputCloser(std::shared_ptr<RtMidiOut> midi) {
  std::erase_if(outputPortsClosing_, [](const std::shared_future<void>& closed) {
    return closed.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
  });
  auto portClosed = std::make_shared<std::promise<void>>();
  outputPortsClosing_.push_back(portClosed->get_future().share());
  return [midi = std::move(midi), grace = outputGrace(), portClosed]() mutable {
    midi->closePort();
    portClosed->set_value();
    std::this_thread::sleep_for(grace);
    midi.reset();
  };
}

std::chrono::milliseconds RtMidiOpenPorts::outputGrace() const {
  // Four cycles, and no less than a scheduler's time slice on a busy machine.
  const double periodMs =
      jack_ ? 1000.0 * jack_->periodFrames() / std::max<std::uint32_t>(1, jack_->sampleRate()) : 0;
  return std::chrono::milliseconds(std::max<long>(10, std::lround(std::ceil(4 * periodMs))));
}

void RtMidiOpenPorts::closeInBackground(std::function<void()> close) {
  std::erase_if(closers_, [](Closer& closer) {
    if (!closer.done->load()) return false;
    closer.thread.join();
    return true;
  });
  auto done = std::make_shared<std::atomic<bool>>(false);
  std::thread thread([close = std::move(close), done]() mutable {
    close();
    // The object goes here, not with the last copy of the closure on another thread.
    close = nullptr;
    done->store(true);
  });
  closers_.push_back(Closer{std::move(thread), std::move(done)});
}

void RtMidiOpenPorts::closeAll(std::unique_ptr<JackClock> jack) {
  // The RtMidi objects go first: after that no input thread can post to the hub.
  openingInputs_.clear();
  openingOutputs_.clear();
  std::vector<std::thread> closing;
  // Outputs first: the server's work for the rest fills their grace instead of following it.
  for (auto& [handle, output] : outputs_) {
    if (!output) continue;
    if (jack_) {
      closing.emplace_back(jackOutputCloser(std::move(output)));
    } else {
      closing.emplace_back([midi = std::move(output)]() mutable { midi.reset(); });
    }
  }
  const std::vector<std::shared_future<void>> after = outputPortsClosing_;
  for (auto& [handle, input] : inputs_) {
    if (!input->midi) continue;
    closing.emplace_back([midi = std::move(input->midi), after]() mutable {
      waitFor(after);
      midi.reset();
    });
  }
  if (jack) {
    closing.emplace_back([jack = std::move(jack), after]() mutable {
      waitFor(after);
      jack.reset();
    });
  }
  if (spares_) closing.emplace_back([spares = std::move(spares_)]() mutable { spares.reset(); });
  for (std::thread& closer : closing) closer.join();
  for (Closer& closer : closers_) closer.thread.join();
  closers_.clear();
  inputs_.clear();
  outputs_.clear();
  // The service's own client went with the rest; the destructor's closeAll finds nothing open.
  jack_ = nullptr;
  carry_ = nullptr;
}

}  // namespace tarvik
