// SPDX-License-Identifier: MIT
#include "midi/RtMidiService.h"

#include <RtMidi.h>

#include <QCoreApplication>
#include <thread>
#include <vector>

#include "midi/InputHub.h"
#include "midi/JackCarryWait.h"
#include "midi/JackClock.h"
#include "midi/JackSpareClients.h"
#include "midi/LibraryMessageRelay.h"
#include "midi/MidiErrorTexts.h"
#include "midi/MidiSystemChoice.h"
#include "midi/RtMidiErrors.h"
#include "midi/RtMidiOpenPorts.h"
#include "midi/RtMidiPortList.h"

namespace tarvik {

// Destroyed in reverse order: the hub first, taking the calls queued to it along unrun, the
// open ports (whose queued calls refer to them) after it. The relay stops listening before that
// (see the destructor): another thread's library may write at any time.
struct RtMidiService::Impl {
  RtMidiErrors errors;
  // From the first moment: what the libraries say while the MIDI system is reached counts.
  std::unique_ptr<LibraryMessageRelay> libraryMessages;
  RtMidi::Api api = RtMidi::UNSPECIFIED;
  std::string startupProblem;
  std::unique_ptr<RtMidiIn> inProbe;
  std::unique_ptr<RtMidiOut> outProbe;
  std::unique_ptr<JackClock> jack;
  std::unique_ptr<JackCarryWait> carry;
  RtMidiPortList inputs;
  RtMidiPortList outputs;
  std::unique_ptr<RtMidiOpenPorts> open;
  // Reaches the MIDI system for a service started in the background.
  std::thread starter;
  bool started = false;
  bool openingSoon = false;
  std::vector<std::function<void()>> startWaiters;
  InputHub hub;

  // Both refer to the hub, made last.
  Impl() {
    libraryMessages = std::make_unique<LibraryMessageRelay>(hub);
    open = std::make_unique<RtMidiOpenPorts>(errors, hub);
  }

  bool reachable() const { return inProbe || jack; }
  void install(MidiSystemChoice choice);
};

void RtMidiService::Impl::install(MidiSystemChoice choice) {
  api = choice.api;
  startupProblem = std::move(choice.problem);
  inProbe = std::move(choice.inProbe);
  outProbe = std::move(choice.outProbe);
  jack = std::move(choice.jack);
  if (inProbe) errors.install(*inProbe);
  if (outProbe) errors.install(*outProbe);
  if (jack) carry = std::make_unique<JackCarryWait>(*jack, hub);
  open->use(api, jack.get(), carry.get(), std::move(choice.spares));
  started = true;
  std::vector<std::function<void()>> waiters;
  waiters.swap(startWaiters);
  for (auto& waiter : waiters) waiter();
}

RtMidiService::RtMidiService(Start when, Opening opening) : impl_(std::make_unique<Impl>()) {
  impl_->openingSoon = opening == Opening::Soon;
  if (when == Start::Now)
    impl_->install(MidiSystemChoice::reach(kOwnMidiClientName, impl_->openingSoon));
}

void RtMidiService::startInBackground() {
  if (impl_->started || impl_->starter.joinable()) return;
  impl_->starter = std::thread([impl = impl_.get()] {
    auto choice = std::make_shared<MidiSystemChoice>(
        MidiSystemChoice::reach(kOwnMidiClientName, impl->openingSoon));
    // Should the service go first, the hub goes with it and takes this call along unrun.
    QMetaObject::invokeMethod(
        &impl->hub, [impl, choice] { impl->install(std::move(*choice)); }, Qt::QueuedConnection);
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
  impl_->libraryMessages.reset();
  // Opens still under way are waited for; the ports and the service's own JACK client close
  // side by side.
  impl_->carry.reset();
  impl_->open->closeAll(std::move(impl_->jack));
}

std::string RtMidiService::startupProblem() const { return impl_->startupProblem; }

void RtMidiService::setLibraryMessageSink(LibraryMessageSink sink) {
  impl_->libraryMessages->setSink(std::move(sink));
}

std::string RtMidiService::apiName() const {
  return impl_->api == RtMidi::UNSPECIFIED ? std::string() : RtMidi::getApiDisplayName(impl_->api);
}

// ---- enumeration ----------------------------------------------------------------------------

std::uint32_t RtMidiService::inGetNumDevs() {
  impl_->inputs.enumerate(impl_->jack.get(), impl_->inProbe.get(), true);
  return static_cast<std::uint32_t>(impl_->inputs.size());
}

std::uint32_t RtMidiService::outGetNumDevs() {
  impl_->outputs.enumerate(impl_->jack.get(), impl_->outProbe.get(), false);
  return static_cast<std::uint32_t>(impl_->outputs.size());
}

std::uint32_t RtMidiService::inGetDevCaps(std::uint32_t port, std::string& name) {
  const RtMidiPortList::Port* listed = impl_->inputs.at(port);
  if (!listed) return MidiResult::BadDeviceId;
  name = listed->name;
  return MidiResult::NoError;
}

std::uint32_t RtMidiService::outGetDevCaps(std::uint32_t port, std::string& name) {
  const RtMidiPortList::Port* listed = impl_->outputs.at(port);
  if (!listed) return MidiResult::BadDeviceId;
  name = listed->name;
  return MidiResult::NoError;
}

std::uint32_t RtMidiService::inGetDevIdentity(std::uint32_t port, std::uint64_t& identity) {
  const RtMidiPortList::Port* listed = impl_->inputs.at(port);
  if (!listed) return MidiResult::BadDeviceId;
  identity = listed->identity;
  return MidiResult::NoError;
}

std::uint32_t RtMidiService::outGetDevIdentity(std::uint32_t port, std::uint64_t& identity) {
  const RtMidiPortList::Port* listed = impl_->outputs.at(port);
  if (!listed) return MidiResult::BadDeviceId;
  identity = listed->identity;
  return MidiResult::NoError;
}

// ---- input ----------------------------------------------------------------------------------

std::uint32_t RtMidiService::inOpen(MidiHandle& handle, std::uint32_t port, MidiInCallback callback,
                                    std::uintptr_t instance) {
  const RtMidiPortList::Port* listed = impl_->inputs.at(port);
  if (!impl_->reachable() || !listed) return MidiResult::BadDeviceId;
  const std::uint32_t result =
      impl_->open->openInput(handle, port, listed->name, std::move(callback), instance);
  if (result == MidiResult::NoError) impl_->inputs.refreshIdentity(port, impl_->jack.get());
  return result;
}

std::uint32_t RtMidiService::inPrepareHeader(MidiHandle handle, MidiHeader* header) {
  if (!impl_->open->hasInput(handle)) return MidiResult::InvalidHandle;
  if (header != nullptr) return MidiResult::NoError;
  impl_->errors.set(
      QCoreApplication::translate("RtMidiService", "No buffer was given.").toStdString());
  return MidiResult::Error;
}

std::uint32_t RtMidiService::inAddBuffer(MidiHandle handle, MidiHeader* header) {
  if (!impl_->open->hasInput(handle)) return MidiResult::InvalidHandle;
  if (header != nullptr && header->queued) return MidiResult::StillPlaying;
  if (impl_->hub.addBuffer(handle, header)) return MidiResult::NoError;
  impl_->errors.set(
      QCoreApplication::translate("RtMidiService", "The buffer cannot take input.").toStdString());
  return MidiResult::Error;
}

std::uint32_t RtMidiService::inStart(MidiHandle handle) {
  if (!impl_->open->hasInput(handle)) return MidiResult::InvalidHandle;
  impl_->hub.start(handle);
  return MidiResult::NoError;
}

std::uint32_t RtMidiService::inStop(MidiHandle handle) {
  if (!impl_->open->hasInput(handle)) return MidiResult::InvalidHandle;
  impl_->hub.stop(handle);
  return MidiResult::NoError;
}

std::uint32_t RtMidiService::inReset(MidiHandle handle) {
  if (!impl_->open->hasInput(handle)) return MidiResult::InvalidHandle;
  impl_->hub.reset(handle);
  return MidiResult::NoError;
}

std::uint32_t RtMidiService::inUnprepareHeader(MidiHandle handle, MidiHeader* header) {
  if (!impl_->open->hasInput(handle)) return MidiResult::InvalidHandle;
  if (header == nullptr) {
    impl_->errors.set(
        QCoreApplication::translate("RtMidiService", "No buffer was given.").toStdString());
    return MidiResult::Error;
  }
  return header->queued ? MidiResult::StillPlaying : MidiResult::NoError;
}

std::uint32_t RtMidiService::inClose(MidiHandle handle) { return impl_->open->closeInput(handle); }

// ---- output ---------------------------------------------------------------------------------

std::uint32_t RtMidiService::outOpen(MidiHandle& handle, std::uint32_t port) {
  const RtMidiPortList::Port* listed = impl_->outputs.at(port);
  if (!impl_->reachable() || !listed) return MidiResult::BadDeviceId;
  const std::uint32_t result = impl_->open->openOutput(handle, port, listed->name);
  if (result == MidiResult::NoError) impl_->outputs.refreshIdentity(port, impl_->jack.get());
  return result;
}

std::uint32_t RtMidiService::outShortMsg(MidiHandle handle, std::uint32_t packed) {
  unsigned char bytes[3];
  const int length = shortMessageLength(static_cast<std::uint8_t>(packed & 0xFF));
  for (int i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>(packed >> (8 * i));
  return impl_->open->send(handle, bytes, static_cast<std::size_t>(length));
}

std::uint32_t RtMidiService::outPrepareHeader(MidiHandle handle, MidiHeader* header) {
  if (!impl_->open->hasOutput(handle)) return MidiResult::InvalidHandle;
  if (header != nullptr) return MidiResult::NoError;
  impl_->errors.set(
      QCoreApplication::translate("RtMidiService", "No buffer was given.").toStdString());
  return MidiResult::Error;
}

std::uint32_t RtMidiService::outLongMsg(MidiHandle handle, MidiHeader* header) {
  if (!impl_->open->hasOutput(handle)) return MidiResult::InvalidHandle;
  if (header == nullptr || header->data == nullptr || header->bufferLength == 0) {
    impl_->errors.set(
        QCoreApplication::translate("RtMidiService", "There is no message to send.").toStdString());
    return MidiResult::Error;
  }
  // The caller may free the bytes right after: the send copies them.
  return impl_->open->send(handle, header->data, header->bufferLength);
}

std::uint32_t RtMidiService::outUnprepareHeader(MidiHandle handle, MidiHeader* header) {
  return outPrepareHeader(handle, header);
}

std::uint32_t RtMidiService::outClose(MidiHandle handle) {
  return impl_->open->closeOutput(handle);
}

void RtMidiService::whenOpenPortsCarry(std::function<void()> carrying) {
  if (!impl_->carry) {
    carrying();
    return;
  }
  impl_->carry->whenCarrying(impl_->open->opening(), std::move(carrying));
}

std::string RtMidiService::jackPeriod() const {
  if (!impl_->jack) return {};
  return std::to_string(impl_->jack->periodFrames()) + " frames at " +
         std::to_string(impl_->jack->sampleRate()) + " Hz";
}

std::uint32_t RtMidiService::getErrorText(std::uint32_t code, std::string& text) {
  if (code == MidiResult::Error) {
    text = impl_->errors.message();
    if (text.empty())
      text = QCoreApplication::translate("RtMidiService", "The MIDI driver reported an error.")
                 .toStdString();
    return MidiResult::NoError;
  }
  if (auto standard = standardMidiErrorText(code)) {
    text = *standard;
    return MidiResult::NoError;
  }
  return MidiResult::Error;
}

}  // namespace tarvik
