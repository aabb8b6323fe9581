// SPDX-License-Identifier: MIT
#include "midi/InputHub.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace tarvik {

namespace {
// The callbacks the hub calls report their own errors (TMidiInput hands them to its OnError);
// this only keeps an error that slips through from leaving the hub.
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
}  // namespace

InputHub::InputHub(QObject* parent) : QObject(parent) {}

InputHub::~InputHub() = default;

void InputHub::openPort(MidiHandle handle, MidiInCallback callback, std::uintptr_t instance) {
  std::lock_guard lock(mutex_);
  Port& port = ports_[handle];
  port = Port{};
  port.callback = std::make_shared<const MidiInCallback>(std::move(callback));
  port.instance = instance;
}

void InputHub::start(MidiHandle handle) {
  std::lock_guard lock(mutex_);
  if (auto it = ports_.find(handle); it != ports_.end()) it->second.started = true;
}

void InputHub::stop(MidiHandle handle) {
  std::lock_guard lock(mutex_);
  if (auto it = ports_.find(handle); it != ports_.end()) {
    it->second.started = false;
    it->second.pending.clear();
  }
}

bool InputHub::addBuffer(MidiHandle handle, MidiHeader* header) {
  std::lock_guard lock(mutex_);
  auto it = ports_.find(handle);
  if (it == ports_.end() || header == nullptr || header->queued) return false;
  // A buffer that can take no byte would be handed back empty, which ends the port's cycle.
  if (header->data == nullptr || header->bufferLength == 0) return false;
  header->queued = true;
  it->second.buffers.push_back(header);
  if (!it->second.pending.empty()) scheduleDrainLocked();
  return true;
}

void InputHub::reset(MidiHandle handle) {
  std::deque<MidiHeader*> handedBack;
  std::shared_ptr<const MidiInCallback> callback;
  std::uintptr_t instance = 0;
  {
    std::lock_guard lock(mutex_);
    auto it = ports_.find(handle);
    if (it == ports_.end()) return;
    it->second.pending.clear();
    handedBack.swap(it->second.buffers);
    callback = it->second.callback;
    instance = it->second.instance;
  }
  for (MidiHeader* header : handedBack) {
    header->bytesRecorded = 0;
    header->flags |= MHDR_DONE;
    header->queued = false;
  }
  for (MidiHeader* header : handedBack)
    call(*callback, MIM_LONGDATA, instance, reinterpret_cast<std::uintptr_t>(header));
}

void InputHub::closePort(MidiHandle handle) {
  std::lock_guard lock(mutex_);
  auto it = ports_.find(handle);
  if (it == ports_.end()) return;
  for (MidiHeader* header : it->second.buffers) header->queued = false;
  ports_.erase(it);
}

bool InputHub::isOpen(MidiHandle handle) const {
  std::lock_guard lock(mutex_);
  return ports_.count(handle) != 0;
}

std::size_t InputHub::queuedBuffers(MidiHandle handle) const {
  std::lock_guard lock(mutex_);
  auto it = ports_.find(handle);
  return it == ports_.end() ? 0 : it->second.buffers.size();
}

void InputHub::postShort(MidiHandle handle, std::uint32_t packed) {
  Event event;
  event.packed = packed;
  post(handle, std::move(event));
}

void InputHub::postSysEx(MidiHandle handle, std::vector<std::uint8_t> bytes) {
  // An empty buffer handed back reads as "taken out of the cycle" to the layer, so a message
  // without bytes must never reach it.
  if (bytes.empty()) return;
  Event event;
  event.isSysEx = true;
  event.bytes = std::move(bytes);
  post(handle, std::move(event));
}

void InputHub::post(MidiHandle handle, Event event) {
  std::lock_guard lock(mutex_);
  auto it = ports_.find(handle);
  if (it == ports_.end() || !it->second.started) return;
  event.sequence = nextSequence_++;
  it->second.pending.push_back(std::move(event));
  scheduleDrainLocked();
}

void InputHub::scheduleDrainLocked() {
  if (drainScheduled_) return;
  drainScheduled_ = true;
  QMetaObject::invokeMethod(
      this, [this] { drain(); }, Qt::QueuedConnection);
}

void InputHub::drain() {
  // Re-entered from a nested event loop inside a handler: the outer drain goes on once the
  // handler has returned, and picks up whatever arrived meanwhile.
  if (draining_) return;
  draining_ = true;
  for (;;) {
    std::shared_ptr<const MidiInCallback> callback;
    std::uintptr_t instance = 0;
    std::uint32_t message = 0;
    std::uintptr_t p1 = 0;
    {
      std::lock_guard lock(mutex_);
      // The deliverable event that arrived first; a port whose SysEx waits for a buffer is
      // skipped as a whole.
      Port* next = nullptr;
      for (auto& [handle, port] : ports_) {
        if (port.pending.empty()) continue;
        const Event& front = port.pending.front();
        if (front.isSysEx && port.buffers.empty()) continue;
        if (next == nullptr || front.sequence < next->pending.front().sequence) next = &port;
      }
      if (next == nullptr) {
        drainScheduled_ = false;
        draining_ = false;
        return;
      }
      callback = next->callback;
      instance = next->instance;
      Event& event = next->pending.front();
      if (!event.isSysEx) {
        message = MIM_DATA;
        p1 = event.packed;
        next->pending.pop_front();
      } else {
        MidiHeader* header = next->buffers.front();
        next->buffers.pop_front();
        const std::size_t left = event.bytes.size() - event.delivered;
        const std::size_t count = std::min<std::size_t>(left, header->bufferLength);
        if (count > 0) std::memcpy(header->data, event.bytes.data() + event.delivered, count);
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
