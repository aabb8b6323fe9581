// SPDX-License-Identifier: MIT
#include "midi/BackendMidiService.h"

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
  bool isSysEx = false;
  std::uint32_t packed = 0;
  std::vector<std::uint8_t> bytes;
  std::size_t delivered = 0;  // SysEx bytes already handed over in earlier buffers
};

struct InputPort {
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

struct BackendMidiService::Impl {
  MidiBackend* backend = nullptr;
  std::string unspecified;
  std::string lastError;
  std::optional<std::vector<MidiBackend::Port>> listed[2];  // outputs, inputs
  // Open handles and the number they were opened at.
  std::map<MidiHandle, long> open[2];
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
    auto& ports = listed[input ? 1 : 0];
    if (!ports) ports = backend ? backend->ports(input) : std::vector<MidiBackend::Port>{};
    return *ports;
  }
  std::uint32_t fail(const std::string& text) {
    lastError = text;
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

BackendMidiService::BackendMidiService(MidiBackend* backend, std::string unspecified)
    : impl_(std::make_unique<Impl>()) {
  impl_->backend = backend;
  impl_->unspecified = std::move(unspecified);
}

BackendMidiService::~BackendMidiService() = default;

void BackendMidiService::useBackend(MidiBackend* backend) {
  impl_->backend = backend;
  impl_->listed[0].reset();
  impl_->listed[1].reset();
}

QObject& BackendMidiService::context() { return impl_->context; }

long BackendMidiService::portOf(bool input, MidiHandle handle) const {
  const auto& open = impl_->open[input ? 1 : 0];
  auto it = open.find(handle);
  return it == open.end() ? -1 : it->second;
}

bool BackendMidiService::announcePorts(std::function<void()> changed) {
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

// ---- enumeration ----------------------------------------------------------------------------

std::uint32_t BackendMidiService::inGetNumDevs() {
  impl_->listed[1].reset();
  return static_cast<std::uint32_t>(impl_->side(true).size());
}

std::uint32_t BackendMidiService::outGetNumDevs() {
  impl_->listed[0].reset();
  return static_cast<std::uint32_t>(impl_->side(false).size());
}

std::uint32_t BackendMidiService::inGetDevCaps(std::uint32_t port, std::string& name) {
  if (auto code = enter("inGetDevCaps", port)) return code;
  const auto& ports = impl_->side(true);
  if (port >= ports.size()) return MidiResult::BadDeviceId;
  name = ports[port].name;
  return MidiResult::NoError;
}

std::uint32_t BackendMidiService::outGetDevCaps(std::uint32_t port, std::string& name) {
  if (auto code = enter("outGetDevCaps", port)) return code;
  const auto& ports = impl_->side(false);
  if (port >= ports.size()) return MidiResult::BadDeviceId;
  name = ports[port].name;
  return MidiResult::NoError;
}

std::uint32_t BackendMidiService::inGetDevIdentity(std::uint32_t port, std::uint64_t& identity) {
  const auto& ports = impl_->side(true);
  if (port >= ports.size()) return MidiResult::BadDeviceId;
  identity = ports[port].identity;
  return MidiResult::NoError;
}

std::uint32_t BackendMidiService::outGetDevIdentity(std::uint32_t port, std::uint64_t& identity) {
  const auto& ports = impl_->side(false);
  if (port >= ports.size()) return MidiResult::BadDeviceId;
  identity = ports[port].identity;
  return MidiResult::NoError;
}

// ---- inputs ---------------------------------------------------------------------------------

std::uint32_t BackendMidiService::inOpen(MidiHandle& handle, std::uint32_t port,
                                         MidiInCallback callback, std::uintptr_t instance) {
  if (auto code = enter("inOpen", port)) return code;
  auto& ports = impl_->side(true);
  if (port >= ports.size()) return MidiResult::BadDeviceId;
  const MidiHandle opened = impl_->lastHandle + 1;
  {
    // Known before the backend opens: input may come at once.
    std::lock_guard lock(impl_->mutex);
    InputPort& input = impl_->inputs[opened];
    input.callback = std::make_shared<const MidiInCallback>(std::move(callback));
    input.instance = instance;
  }
  const std::uint32_t code = impl_->answer(impl_->backend->openInput(
      opened, ports[port], [this, opened](auto b, auto n) { received(opened, b, n); }));
  if (code != MidiResult::NoError) {
    std::lock_guard lock(impl_->mutex);
    impl_->inputs.erase(opened);
    return code;
  }
  impl_->lastHandle = handle = opened;
  impl_->open[1][opened] = port;
  return MidiResult::NoError;
}

std::uint32_t BackendMidiService::inPrepareHeader(MidiHandle handle, MidiHeader* header) {
  if (auto code = enter("inPrepareHeader", portOf(true, handle))) return code;
  if (portOf(true, handle) < 0) return MidiResult::InvalidHandle;
  return header
             ? MidiResult::NoError
             : impl_->fail(translated(QT_TRANSLATE_NOOP("HubMidiService", "No buffer was given.")));
}

std::uint32_t BackendMidiService::inAddBuffer(MidiHandle handle, MidiHeader* header) {
  if (auto code = enter("inAddBuffer", portOf(true, handle))) return code;
  if (portOf(true, handle) < 0) return MidiResult::InvalidHandle;
  if (header != nullptr && header->queued) return MidiResult::StillPlaying;
  // A buffer that can take no byte would be handed back empty, which ends the port's cycle.
  if (header == nullptr || header->data == nullptr || header->bufferLength == 0)
    return impl_->fail(
        translated(QT_TRANSLATE_NOOP("HubMidiService", "The buffer cannot take input.")));
  std::lock_guard lock(impl_->mutex);
  InputPort& input = impl_->inputs[handle];
  header->queued = true;
  input.buffers.push_back(header);
  if (!input.pending.empty()) impl_->scheduleDrainLocked();
  return MidiResult::NoError;
}

std::uint32_t BackendMidiService::inStart(MidiHandle handle) {
  if (auto code = enter("inStart", portOf(true, handle))) return code;
  if (portOf(true, handle) < 0) return MidiResult::InvalidHandle;
  std::lock_guard lock(impl_->mutex);
  impl_->inputs[handle].started = true;
  return MidiResult::NoError;
}

std::uint32_t BackendMidiService::inStop(MidiHandle handle) {
  if (auto code = enter("inStop", portOf(true, handle))) return code;
  if (portOf(true, handle) < 0) return MidiResult::InvalidHandle;
  std::lock_guard lock(impl_->mutex);
  InputPort& input = impl_->inputs[handle];
  input.started = false;
  input.pending.clear();
  return MidiResult::NoError;
}

std::uint32_t BackendMidiService::inReset(MidiHandle handle) {
  if (auto code = enter("inReset", portOf(true, handle))) return code;
  if (portOf(true, handle) < 0) return MidiResult::InvalidHandle;
  std::deque<MidiHeader*> handedBack;
  std::shared_ptr<const MidiInCallback> callback;
  std::uintptr_t instance = 0;
  {
    std::lock_guard lock(impl_->mutex);
    InputPort& input = impl_->inputs[handle];
    input.pending.clear();
    handedBack.swap(input.buffers);
    callback = input.callback;
    instance = input.instance;
  }
  for (MidiHeader* header : handedBack) {
    header->bytesRecorded = 0;
    header->flags |= MHDR_DONE;
    header->queued = false;
  }
  for (MidiHeader* header : handedBack)
    call(*callback, MIM_LONGDATA, instance, reinterpret_cast<std::uintptr_t>(header));
  return MidiResult::NoError;
}

std::uint32_t BackendMidiService::inUnprepareHeader(MidiHandle handle, MidiHeader* header) {
  if (auto code = enter("inUnprepareHeader", portOf(true, handle))) return code;
  if (portOf(true, handle) < 0) return MidiResult::InvalidHandle;
  if (header == nullptr)
    return impl_->fail(translated(QT_TRANSLATE_NOOP("HubMidiService", "No buffer was given.")));
  return header->queued ? MidiResult::StillPlaying : MidiResult::NoError;
}

std::uint32_t BackendMidiService::inClose(MidiHandle handle) {
  if (auto code = enter("inClose", portOf(true, handle))) return code;
  if (portOf(true, handle) < 0) return MidiResult::InvalidHandle;
  // The backend's port goes first: after that nothing of it is posted any more.
  const std::uint32_t code = impl_->answer(impl_->backend->close(handle));
  impl_->open[1].erase(handle);
  std::lock_guard lock(impl_->mutex);
  for (MidiHeader* header : impl_->inputs[handle].buffers) header->queued = false;
  impl_->inputs.erase(handle);
  return code;
}

// ---- outputs --------------------------------------------------------------------------------

std::uint32_t BackendMidiService::outOpen(MidiHandle& handle, std::uint32_t port) {
  if (auto code = enter("outOpen", port)) return code;
  auto& ports = impl_->side(false);
  if (port >= ports.size()) return MidiResult::BadDeviceId;
  const MidiHandle opened = impl_->lastHandle + 1;
  if (auto code = impl_->answer(impl_->backend->openOutput(opened, ports[port]))) return code;
  impl_->lastHandle = handle = opened;
  impl_->open[0][opened] = port;
  return MidiResult::NoError;
}

std::uint32_t BackendMidiService::outShortMsg(MidiHandle handle, std::uint32_t packed) {
  if (auto code = enter("outShortMsg", portOf(false, handle))) return code;
  if (portOf(false, handle) < 0) return MidiResult::InvalidHandle;
  std::uint8_t bytes[3];
  const int length = shortMessageLength(static_cast<std::uint8_t>(packed & 0xFF));
  for (int i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(packed >> (8 * i));
  return impl_->answer(impl_->backend->send(handle, bytes, static_cast<std::size_t>(length)));
}

std::uint32_t BackendMidiService::outPrepareHeader(MidiHandle handle, MidiHeader* header) {
  if (auto code = enter("outPrepareHeader", portOf(false, handle))) return code;
  if (portOf(false, handle) < 0) return MidiResult::InvalidHandle;
  return header
             ? MidiResult::NoError
             : impl_->fail(translated(QT_TRANSLATE_NOOP("HubMidiService", "No buffer was given.")));
}

std::uint32_t BackendMidiService::outLongMsg(MidiHandle handle, MidiHeader* header) {
  if (auto code = enter("outLongMsg", portOf(false, handle))) return code;
  if (portOf(false, handle) < 0) return MidiResult::InvalidHandle;
  if (header == nullptr || (header->data == nullptr && header->bufferLength != 0))
    return impl_->fail(translated(
        QT_TRANSLATE_NOOP("RtMidiService", "There is no message to send."), "RtMidiService"));
  // The caller may free the bytes right after: the backend copies them.
  return impl_->answer(impl_->backend->send(handle, header->data, header->bufferLength));
}

std::uint32_t BackendMidiService::outUnprepareHeader(MidiHandle handle, MidiHeader* header) {
  if (auto code = enter("outUnprepareHeader", portOf(false, handle))) return code;
  if (portOf(false, handle) < 0) return MidiResult::InvalidHandle;
  return header
             ? MidiResult::NoError
             : impl_->fail(translated(QT_TRANSLATE_NOOP("HubMidiService", "No buffer was given.")));
}

std::uint32_t BackendMidiService::outClose(MidiHandle handle) {
  if (auto code = enter("outClose", portOf(false, handle))) return code;
  if (portOf(false, handle) < 0) return MidiResult::InvalidHandle;
  impl_->open[0].erase(handle);
  return impl_->answer(impl_->backend->close(handle));
}

std::uint32_t BackendMidiService::getErrorText(std::uint32_t code, std::string& text) {
  if (code != MidiResult::Error) return MidiService::getErrorText(code, text);
  text = impl_->lastError.empty() ? impl_->unspecified : impl_->lastError;
  return MidiResult::NoError;
}

// ---- the crossing to the service's thread ---------------------------------------------------

void BackendMidiService::received(MidiHandle handle, const std::uint8_t* bytes,
                                  std::size_t length) {
  if (length == 0) return;
  if (bytes[0] == 0xF0 || length > 3) {
    postSysEx(handle, std::vector<std::uint8_t>(bytes, bytes + length));
    return;
  }
  Event event;
  for (std::size_t i = 0; i < length; ++i)
    event.packed |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
  impl_->post(handle, std::move(event));
}

void BackendMidiService::postSysEx(MidiHandle handle, std::vector<std::uint8_t> bytes) {
  // An empty buffer handed back reads as "taken out of the cycle" to the layer, so a message
  // without bytes must never reach it.
  if (bytes.empty()) return;
  Event event;
  event.isSysEx = true;
  event.bytes = std::move(bytes);
  impl_->post(handle, std::move(event));
}

void BackendMidiService::Impl::post(MidiHandle handle, Event event) {
  std::lock_guard lock(mutex);
  auto it = inputs.find(handle);
  if (it == inputs.end() || !it->second.started) return;
  event.sequence = nextSequence++;
  it->second.pending.push_back(std::move(event));
  scheduleDrainLocked();
}

void BackendMidiService::Impl::scheduleDrainLocked() {
  if (drainScheduled) return;
  drainScheduled = true;
  QMetaObject::invokeMethod(
      &context, [this] { drain(); }, Qt::QueuedConnection);
}

void BackendMidiService::Impl::drain() {
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
        if (front.isSysEx && port.buffers.empty()) continue;
        if (next == nullptr || front.sequence < next->pending.front().sequence) next = &port;
      }
      if (next == nullptr) {
        drainScheduled = false;
        draining = false;
        return;
      }
      callback = next->callback;
      instance = next->instance;
      Event& event = next->pending.front();
      if (!event.isSysEx) {
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
