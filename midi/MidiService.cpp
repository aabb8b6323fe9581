// SPDX-License-Identifier: MIT
#include "midi/MidiService.h"

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <deque>
#include <exception>
#include <map>
#include <mutex>
#include <optional>

namespace tarvik {

namespace {

struct Event {
  std::uint64_t sequence = 0;
  std::uint32_t packed = 0;         // a short message
  std::vector<std::uint8_t> bytes;  // a SysEx message, never empty
  std::size_t delivered = 0;        // SysEx bytes already handed over in earlier buffers
};

struct InputPort {
  // Shared: a callback that closes its own port must outlive the call.
  std::shared_ptr<const MidiInCallback> callback;
  std::uintptr_t instance = 0;
  bool started = false;
  std::deque<Event> pending;
  std::deque<MidiHeader*> buffers;
};

// The callbacks report their own errors (TMidiInput hands them to its OnError); this only keeps
// one that slips through from leaving the service.
void call(const MidiInCallback& callback, std::uint32_t message, std::uintptr_t instance,
          std::uintptr_t p1) {
  try {
    callback(message, instance, p1, 0);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "MIDI error: %s\n", error.what());
  } catch (...) {
    std::fputs("MIDI error: Unknown error in the MIDI input callback\n", stderr);
  }
}

// The texts keep the context their German is filed under.
std::string translated(const char* text, const char* context = "HubMidiService") {
  return QCoreApplication::translate(context, text).toStdString();
}

}  // namespace

std::string MidiBackend::gone(bool input, const std::string& name) {
  return QCoreApplication::translate(
             "RtMidiOpenPorts",
             input ? QT_TRANSLATE_NOOP("RtMidiOpenPorts",
                                       "The MIDI input \"%1\" is no longer available.")
                   : QT_TRANSLATE_NOOP("RtMidiOpenPorts",
                                       "The MIDI output \"%1\" is no longer available."))
      .arg(QString::fromStdString(name))
      .toStdString();
}

struct MidiService::Impl {
  MidiBackend* backend = nullptr;
  std::string unspecified;
  std::string lastError;
  std::optional<std::vector<MidiBackend::Port>> listed[2];  // outputs, inputs
  std::map<MidiHandle, long> open[2];                       // handle: the number it opened at
  MidiHandle lastHandle = kNoHandle;
  std::function<void()> changed;
  std::atomic<bool> noticePosted{false};
  QObject context;

  std::mutex mutex;
  std::map<MidiHandle, InputPort> inputs;
  std::uint64_t nextSequence = 0;
  // True from the moment a drain is queued until a drain finds nothing more to deliver.
  bool drainScheduled = false;
  // Service thread only: a handler that runs a nested event loop must not see the next event.
  bool draining = false;

  std::vector<MidiBackend::Port>& side(bool input) {
    auto& ports = listed[input];
    if (!ports) ports = backend ? backend->ports(input) : std::vector<MidiBackend::Port>{};
    return *ports;
  }
  std::uint32_t fail(const char* text, const char* context = "HubMidiService") {
    lastError = translated(text, context);
    return MidiResult::Error;
  }
  // A backend's code, with its text kept for getErrorText.
  std::uint32_t answer(std::uint32_t code) {
    if (code == MidiResult::Error) lastError = backend->lastError();
    return code;
  }
  void post(MidiHandle handle, Event event);
  void scheduleDrainLocked();
  void drain();
};

MidiService::MidiService(MidiBackend* backend, std::string unspecified)
    : impl_(std::make_unique<Impl>()) {
  impl_->backend = backend;
  impl_->unspecified = std::move(unspecified);
}

MidiService::~MidiService() = default;

void MidiService::useBackend(MidiBackend* backend) {
  impl_->backend = backend;
  impl_->listed[0].reset();
  impl_->listed[1].reset();
}

QObject& MidiService::context() { return impl_->context; }

std::string MidiService::systemName() const {
  return impl_->backend ? impl_->backend->name() : std::string();
}

bool MidiService::announcePorts(std::function<void()> changed) {
  impl_->changed = std::move(changed);
  if (!impl_->backend) return false;
  // A burst of notices (a client registering its ports) comes as one call on this thread, which
  // asks for the receiver as it is then: one that went meanwhile is called no more.
  return impl_->backend->announcePorts([impl = impl_.get()] {
    if (impl->noticePosted.exchange(true)) return;
    QMetaObject::invokeMethod(
        &impl->context,
        [impl] {
          impl->noticePosted.store(false);
          if (impl->changed) impl->changed();
        },
        Qt::QueuedConnection);
  });
}

std::uint32_t MidiService::count(bool input) {
  impl_->listed[input].reset();
  return static_cast<std::uint32_t>(impl_->side(input).size());
}

std::uint32_t MidiService::caps(const char* operation, bool input, std::uint32_t port,
                                std::string* name, std::uint64_t* identity) {
  if (operation != nullptr)
    if (auto code = enter(operation, port)) return code;
  const auto& ports = impl_->side(input);
  if (port >= ports.size()) return MidiResult::BadDeviceId;
  if (name) *name = ports[port].name;
  if (identity) *identity = ports[port].identity;
  return MidiResult::NoError;
}

std::uint32_t MidiService::check(const char* operation, bool input, MidiHandle handle) {
  const auto it = impl_->open[input].find(handle);
  const long port = it == impl_->open[input].end() ? -1 : it->second;
  if (auto code = enter(operation, port)) return code;
  return port < 0 ? MidiResult::InvalidHandle : MidiResult::NoError;
}

std::uint32_t MidiService::checkHeader(const char* operation, bool input, MidiHandle handle,
                                       MidiHeader* header) {
  if (auto code = check(operation, input, handle)) return code;
  return header ? MidiResult::NoError
                : impl_->fail(QT_TRANSLATE_NOOP("HubMidiService", "No buffer was given."));
}

std::uint32_t MidiService::open(const char* operation, bool input, MidiHandle& handle,
                                std::uint32_t port, MidiInCallback callback,
                                std::uintptr_t instance) {
  if (auto code = enter(operation, port)) return code;
  auto& ports = impl_->side(input);
  if (port >= ports.size()) return MidiResult::BadDeviceId;
  const MidiHandle opened = impl_->lastHandle + 1;
  MidiBackend::Receive receive;
  // Input that comes before the port is known, and started, is dropped.
  if (input) receive = [this, opened](auto bytes, auto length) { received(opened, bytes, length); };
  if (auto code = impl_->answer(impl_->backend->open(opened, ports[port], std::move(receive))))
    return code;
  impl_->lastHandle = handle = opened;
  impl_->open[input][opened] = port;
  if (input) {
    std::lock_guard lock(impl_->mutex);
    impl_->inputs[opened].callback = std::make_shared<const MidiInCallback>(std::move(callback));
    impl_->inputs[opened].instance = instance;
  }
  return MidiResult::NoError;
}

std::uint32_t MidiService::inAddBuffer(MidiHandle handle, MidiHeader* header) {
  if (auto code = check("inAddBuffer", true, handle)) return code;
  if (header != nullptr && header->queued) return MidiResult::StillPlaying;
  // A buffer that can take no byte would be handed back empty, which ends the port's cycle.
  if (header == nullptr || header->data == nullptr || header->bufferLength == 0)
    return impl_->fail(QT_TRANSLATE_NOOP("HubMidiService", "The buffer cannot take input."));
  std::lock_guard lock(impl_->mutex);
  InputPort& input = impl_->inputs[handle];
  header->queued = true;
  input.buffers.push_back(header);
  if (!input.pending.empty()) impl_->scheduleDrainLocked();
  return MidiResult::NoError;
}

std::uint32_t MidiService::startInput(const char* operation, MidiHandle handle, bool start) {
  if (auto code = check(operation, true, handle)) return code;
  std::lock_guard lock(impl_->mutex);
  InputPort& input = impl_->inputs[handle];
  input.started = start;
  if (!start) input.pending.clear();
  return MidiResult::NoError;
}

std::uint32_t MidiService::inReset(MidiHandle handle) {
  if (auto code = check("inReset", true, handle)) return code;
  std::unique_lock lock(impl_->mutex);
  InputPort& input = impl_->inputs[handle];
  input.pending.clear();
  const std::deque<MidiHeader*> handedBack = std::exchange(input.buffers, {});
  const auto callback = input.callback;
  const std::uintptr_t instance = input.instance;
  lock.unlock();
  for (MidiHeader* header : handedBack) {
    header->bytesRecorded = 0;
    header->flags |= MHDR_DONE;
    header->queued = false;
  }
  for (MidiHeader* header : handedBack)
    call(*callback, MIM_LONGDATA, instance, reinterpret_cast<std::uintptr_t>(header));
  return MidiResult::NoError;
}

std::uint32_t MidiService::inUnprepareHeader(MidiHandle handle, MidiHeader* header) {
  if (auto code = checkHeader("inUnprepareHeader", true, handle, header)) return code;
  return header->queued ? MidiResult::StillPlaying : MidiResult::NoError;
}

std::uint32_t MidiService::inClose(MidiHandle handle) {
  if (auto code = check("inClose", true, handle)) return code;
  // The backend's port goes first: after that nothing of it is posted any more.
  const std::uint32_t code = impl_->answer(impl_->backend->close(handle));
  impl_->open[1].erase(handle);
  std::lock_guard lock(impl_->mutex);
  for (MidiHeader* header : impl_->inputs[handle].buffers) header->queued = false;
  impl_->inputs.erase(handle);
  return code;
}

std::uint32_t MidiService::outShortMsg(MidiHandle handle, std::uint32_t packed) {
  if (auto code = check("outShortMsg", false, handle)) return code;
  std::uint8_t bytes[3];
  const int length = shortMessageLength(static_cast<std::uint8_t>(packed & 0xFF));
  for (int i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(packed >> (8 * i));
  return impl_->answer(impl_->backend->send(handle, bytes, static_cast<std::size_t>(length)));
}

std::uint32_t MidiService::outLongMsg(MidiHandle handle, MidiHeader* header) {
  if (auto code = check("outLongMsg", false, handle)) return code;
  if (header == nullptr || (header->data == nullptr && header->bufferLength != 0))
    return impl_->fail(QT_TRANSLATE_NOOP("RtMidiService", "There is no message to send."),
                       "RtMidiService");
  return impl_->answer(impl_->backend->send(handle, header->data, header->bufferLength));
}

std::uint32_t MidiService::outClose(MidiHandle handle) {
  if (auto code = check("outClose", false, handle)) return code;
  impl_->open[0].erase(handle);
  return impl_->answer(impl_->backend->close(handle));
}

std::uint32_t MidiService::getErrorText(std::uint32_t code, std::string& text) {
  static const std::map<std::uint32_t, const char*> texts = {
      {MidiResult::BadDeviceId,
       QT_TRANSLATE_NOOP("MidiService", "The specified device ID is out of range.")},
      {MidiResult::Allocated,
       QT_TRANSLATE_NOOP("MidiService", "The specified resource is already allocated.")},
      {MidiResult::InvalidHandle,
       QT_TRANSLATE_NOOP("MidiService", "The specified device handle is invalid.")},
      {MidiResult::NoDriver,
       QT_TRANSLATE_NOOP("MidiService", "There is no driver installed on your system.")},
      {MidiResult::StillPlaying,
       QT_TRANSLATE_NOOP("MidiService", "The buffer is still in the queue.")}};
  const auto standard = texts.find(code);
  if (standard != texts.end())
    text = translated(standard->second, "MidiService");
  else if (code == MidiResult::Error)
    text = impl_->lastError.empty() ? impl_->unspecified : impl_->lastError;
  else
    return MidiResult::Error;
  return text.empty() ? MidiResult::Error : MidiResult::NoError;
}

void MidiService::received(MidiHandle handle, const std::uint8_t* bytes, std::size_t length,
                           bool sysEx) {
  // An empty buffer handed back reads as "taken out of the cycle" to the layer, so a message
  // without bytes must never reach it.
  if (length == 0) return;
  Event event;
  if (sysEx || bytes[0] == 0xF0 || length > 3)
    event.bytes.assign(bytes, bytes + length);
  else
    for (std::size_t i = 0; i < length; ++i)
      event.packed |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
  impl_->post(handle, std::move(event));
}

void MidiService::Impl::post(MidiHandle handle, Event event) {
  std::lock_guard lock(mutex);
  auto it = inputs.find(handle);
  if (it == inputs.end() || !it->second.started) return;
  event.sequence = nextSequence++;
  it->second.pending.push_back(std::move(event));
  scheduleDrainLocked();
}

void MidiService::Impl::scheduleDrainLocked() {
  if (drainScheduled) return;
  drainScheduled = true;
  QMetaObject::invokeMethod(
      &context, [this] { drain(); }, Qt::QueuedConnection);
}

void MidiService::Impl::drain() {
  // Re-entered from a nested event loop inside a handler: the outer drain goes on once the
  // handler has returned, and picks up whatever arrived meanwhile.
  if (draining) return;
  draining = true;
  for (;;) {
    std::shared_ptr<const MidiInCallback> callback;
    std::uintptr_t instance = 0;
    std::uint32_t message = MIM_DATA;
    std::uintptr_t p1 = 0;
    {
      std::lock_guard lock(mutex);
      // The deliverable event that arrived first; a port whose SysEx waits for a buffer is
      // skipped as a whole.
      InputPort* next = nullptr;
      for (auto& [handle, port] : inputs) {
        if (port.pending.empty()) continue;
        const Event& front = port.pending.front();
        if (!front.bytes.empty() && port.buffers.empty()) continue;
        if (next == nullptr || front.sequence < next->pending.front().sequence) next = &port;
      }
      if (next == nullptr) {
        drainScheduled = draining = false;
        return;
      }
      callback = next->callback;
      instance = next->instance;
      Event& event = next->pending.front();
      if (event.bytes.empty()) {
        p1 = event.packed;
        next->pending.pop_front();
      } else {
        MidiHeader* header = next->buffers.front();
        next->buffers.pop_front();
        const std::size_t count =
            std::min<std::size_t>(event.bytes.size() - event.delivered, header->bufferLength);
        std::memcpy(header->data, event.bytes.data() + event.delivered, count);
        event.delivered += count;
        header->bytesRecorded = static_cast<std::uint32_t>(count);
        header->flags &= ~MHDR_DONE;
        if (event.delivered == event.bytes.size()) {
          header->flags |= MHDR_DONE;
          next->pending.pop_front();
        }
        header->queued = false;
        message = MIM_LONGDATA;
        p1 = reinterpret_cast<std::uintptr_t>(header);
      }
    }
    call(*callback, message, instance, p1);
  }
}

}  // namespace tarvik
