// SPDX-License-Identifier: MIT
#include "midi/RtMidiService.h"

#include <RtMidi.h>

#include <QCoreApplication>
#include <optional>
#include <thread>
#include <vector>

#include "midi/InputHub.h"
#include "midi/JackCarryWait.h"
#include "midi/JackClock.h"
#include "midi/JackSpareClients.h"
#include "midi/LibraryMessages.h"
#include "midi/MidiSystemChoice.h"
#include "midi/RtMidiErrors.h"
#include "midi/RtMidiOpenPorts.h"
#include "midi/RtMidiPortList.h"

namespace tarvik {

// The open ports refer to the errors and the hub (the base's, which goes last): the calls queued
// to the hub are dropped unrun with it. The library messages stop coming before that (see the
// destructor): another thread's library may write at any time.
struct RtMidiService::Impl {
  explicit Impl(InputHub& hub) : hub(hub), libraryMessages(std::in_place, hub), open(errors, hub) {}

  InputHub& hub;
  RtMidiErrors errors;
  // From the first moment: what the libraries say while the MIDI system is reached counts.
  std::optional<LibraryMessages> libraryMessages;
  MidiSystemChoice system;
  std::unique_ptr<JackCarryWait> carry;
  RtMidiPortList inputs;
  RtMidiPortList outputs;
  RtMidiOpenPorts open;
  // Reaches the MIDI system for a service started in the background.
  std::thread starter;
  bool started = false;
  bool openingSoon = false;
  std::vector<std::function<void()>> startWaiters;

  bool reachable() const { return system.inProbe || system.jack; }
  void install(MidiSystemChoice choice);
};

void RtMidiService::Impl::install(MidiSystemChoice choice) {
  system = std::move(choice);
  if (system.inProbe) errors.install(*system.inProbe);
  if (system.outProbe) errors.install(*system.outProbe);
  if (system.jack) carry = std::make_unique<JackCarryWait>(*system.jack, hub);
  open.use(system.api, system.jack.get(), carry.get(), std::move(system.spares));
  started = true;
  std::vector<std::function<void()>> waiters;
  waiters.swap(startWaiters);
  for (auto& waiter : waiters) waiter();
}

RtMidiService::RtMidiService(Start when, Opening opening) : impl_(std::make_unique<Impl>(hub_)) {
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
  impl_->open.closeAll(std::move(impl_->system.jack));
}

std::string RtMidiService::startupProblem() const { return impl_->system.problem; }

void RtMidiService::setLibraryMessageSink(LibraryMessageSink sink) {
  impl_->libraryMessages->setSink(std::move(sink));
}

std::string RtMidiService::apiName() const {
  const RtMidi::Api api = impl_->system.api;
  return api == RtMidi::UNSPECIFIED ? std::string() : RtMidi::getApiDisplayName(api);
}

// ---- enumeration ----------------------------------------------------------------------------

std::uint32_t RtMidiService::inGetNumDevs() {
  impl_->inputs.enumerate(impl_->system.jack.get(), impl_->system.inProbe.get(), true);
  return static_cast<std::uint32_t>(impl_->inputs.size());
}

std::uint32_t RtMidiService::outGetNumDevs() {
  impl_->outputs.enumerate(impl_->system.jack.get(), impl_->system.outProbe.get(), false);
  return static_cast<std::uint32_t>(impl_->outputs.size());
}

std::uint32_t RtMidiService::describe(const char*, bool input, std::uint32_t port,
                                      std::string* name, std::uint64_t* identity) {
  const RtMidiPortList::Port* listed = (input ? impl_->inputs : impl_->outputs).at(port);
  if (!listed) return MidiResult::BadDeviceId;
  if (name) *name = listed->name;
  if (identity) *identity = listed->identity;
  return MidiResult::NoError;
}

// ---- opening, sending, closing --------------------------------------------------------------

std::uint32_t RtMidiService::enter(const char*, MidiHandle handle, bool input) {
  const bool open = input ? impl_->open.hasInput(handle) : impl_->open.hasOutput(handle);
  return open ? MidiResult::NoError : MidiResult::InvalidHandle;
}

std::uint32_t RtMidiService::fail(const std::string& text) {
  impl_->errors.set(text);
  return MidiResult::Error;
}

std::uint32_t RtMidiService::inOpen(MidiHandle& handle, std::uint32_t port, MidiInCallback callback,
                                    std::uintptr_t instance) {
  const RtMidiPortList::Port* listed = impl_->inputs.at(port);
  if (!impl_->reachable() || !listed) return MidiResult::BadDeviceId;
  const std::uint32_t result =
      impl_->open.openInput(handle, port, listed->name, std::move(callback), instance);
  if (result == MidiResult::NoError) impl_->inputs.refreshIdentity(port, impl_->system.jack.get());
  return result;
}

std::uint32_t RtMidiService::inClose(MidiHandle handle) { return impl_->open.closeInput(handle); }

std::uint32_t RtMidiService::outOpen(MidiHandle& handle, std::uint32_t port) {
  const RtMidiPortList::Port* listed = impl_->outputs.at(port);
  if (!impl_->reachable() || !listed) return MidiResult::BadDeviceId;
  const std::uint32_t result = impl_->open.openOutput(handle, port, listed->name);
  if (result == MidiResult::NoError) impl_->outputs.refreshIdentity(port, impl_->system.jack.get());
  return result;
}

std::uint32_t RtMidiService::outShortMsg(MidiHandle handle, std::uint32_t packed) {
  unsigned char bytes[3];
  const int length = shortMessageLength(static_cast<std::uint8_t>(packed & 0xFF));
  for (int i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>(packed >> (8 * i));
  return impl_->open.send(handle, bytes, static_cast<std::size_t>(length));
}

std::uint32_t RtMidiService::outLongMsg(MidiHandle handle, MidiHeader* header) {
  if (auto code = enter("outLongMsg", handle, false)) return code;
  if (header == nullptr || header->data == nullptr || header->bufferLength == 0)
    return fail(
        QCoreApplication::translate("RtMidiService", "There is no message to send.").toStdString());
  // The caller may free the bytes right after: the send copies them.
  return impl_->open.send(handle, header->data, header->bufferLength);
}

std::uint32_t RtMidiService::outClose(MidiHandle handle) { return impl_->open.closeOutput(handle); }

void RtMidiService::whenOpenPortsCarry(std::function<void()> carrying) {
  if (!impl_->carry) {
    carrying();
    return;
  }
  impl_->carry->whenCarrying(impl_->open.opening(), std::move(carrying));
}

std::string RtMidiService::jackPeriod() const {
  const JackClock* jack = impl_->system.jack.get();
  if (!jack) return {};
  return std::to_string(jack->periodFrames()) + " frames at " + std::to_string(jack->sampleRate()) +
         " Hz";
}

std::uint32_t RtMidiService::getErrorText(std::uint32_t code, std::string& text) {
  if (code != MidiResult::Error) return MidiService::getErrorText(code, text);
  text = impl_->errors.message();
  if (text.empty())
    text = QCoreApplication::translate("RtMidiService", "The MIDI driver reported an error.")
               .toStdString();
  return MidiResult::NoError;
}

}  // namespace tarvik
