// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "midi/MidiService.h"

namespace tarvik {

// The one crossing from the platform's input threads to the thread that owns the hub (the
// window's thread). Input may be posted from any thread; it is queued per port and handed to the
// port's callback on the hub's thread, one event at a time, in arrival order.
//
// Everything except postShort/postSysEx must be called on the hub's thread. Callbacks run with no
// lock held, so they may call back into the hub (re-queue a buffer, reset or close a port).
//
// SysEx bytes go into the receive buffers that the port has queued; a message longer than one
// buffer fills several, MHDR_DONE marks the one holding its last byte. While a port has no buffer
// queued its input waits, short messages behind a waiting SysEx included, so that the port's
// order holds. Other ports are not held up.
class InputHub : public QObject {
  Q_OBJECT

 public:
  explicit InputHub(QObject* parent = nullptr);
  ~InputHub() override;

  void openPort(MidiHandle handle, MidiInCallback callback, std::uintptr_t instance);
  // Input posted while a port is stopped is dropped; stopping also drops what is still pending.
  void start(MidiHandle handle);
  void stop(MidiHandle handle);
  // False when the handle is unknown, the header is already queued or holds no memory.
  bool addBuffer(MidiHandle handle, MidiHeader* header);
  // Hands every queued buffer back empty (before returning) and drops the pending input.
  void reset(MidiHandle handle);
  // Forgets the port: buffers still queued are released without a callback.
  void closePort(MidiHandle handle);
  bool isOpen(MidiHandle handle) const;
  std::size_t queuedBuffers(MidiHandle handle) const;

  // Thread-safe.
  void postShort(MidiHandle handle, std::uint32_t packed);
  void postSysEx(MidiHandle handle, std::vector<std::uint8_t> bytes);

 private:
  struct Event {
    std::uint64_t sequence = 0;
    bool isSysEx = false;
    std::uint32_t packed = 0;
    std::vector<std::uint8_t> bytes;
    std::size_t delivered = 0;  // SysEx bytes already handed over in earlier buffers
  };
  struct Port {
    std::shared_ptr<const MidiInCallback> callback;
    std::uintptr_t instance = 0;
    bool started = false;
    std::deque<Event> pending;
    std::deque<MidiHeader*> buffers;
  };

  void post(MidiHandle handle, Event event);
  void scheduleDrainLocked();
  void drain();

  mutable std::mutex mutex_;
  std::map<MidiHandle, Port> ports_;
  std::uint64_t nextSequence_ = 0;
  // True from the moment a drain is queued until a drain finds nothing more to deliver.
  bool drainScheduled_ = false;
  // Hub thread only: a handler that runs a nested event loop must not see the next event.
  bool draining_ = false;
};

}  // namespace tarvik
