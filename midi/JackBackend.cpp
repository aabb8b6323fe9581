// SPDX-License-Identifier: MIT
// MIDI over a JACK server, on one client of the program's own, activated once: each open port is
// a port of that client, connected to the port it reaches. The process callback moves the bytes
// and neither allocates nor takes a lock: what is sent waits in the port's ring buffer until the
// first cycle in which its connection exists (a connection joins the server's graph at the start
// of a cycle, so nobody above has to wait for one), and what comes in goes through one ring
// buffer to a thread that hands each whole message on. The server's port registration and
// connection callbacks are the notice of ports that come or go.
#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>
#include <jack/uuid.h>
#include <semaphore.h>

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <limits>
#include <map>
#include <mutex>
#include <thread>

#include "midi/MidiLog.h"
#include "midi/MidiService.h"
#include "midi/RtMidiService.h"

namespace tarvik {

namespace {

constexpr std::size_t kSlots = 64;
constexpr std::size_t kOutputRing = 1 << 16;
constexpr std::size_t kInputRing = 1 << 18;
constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();
// A connection made while a cycle runs joins the graph at the start of a later one: bytes go out
// from the second cycle that starts after it was made.
constexpr std::uint64_t kCarryAfterCycles = 2;

// What goes ahead of each message's bytes, in the input ring and in an output's (which leaves the
// handle unused).
struct Record {
  MidiHandle handle;
  std::uint32_t length;
};

struct JackPort {
  MidiHandle handle = kNoHandle;
  jack_port_t* port = nullptr;
  jack_ringbuffer_t* ring = nullptr;  // outputs only
  // Outputs: the count of cycles from which the connection made at the open carries; kNever
  // until it is made. It is never read back from the server: jack_port_connected() answers from
  // the graph the running cycle uses, so between a connect and the next cycle's start it says
  // "not connected" of a connection that is about to carry.
  std::atomic<std::uint64_t> carryFrom{kNever};
  MidiBackend::Receive receive;       // inputs only
  std::vector<std::uint8_t> partial;  // reader only: a SysEx message that came in pieces
};

// Ports this program opened: its own client's and another copy's ("Tarvik Configurator-01").
bool isOwnPort(const std::string& name, const std::string& client) {
  if (name.compare(0, client.size(), client) != 0) return false;
  std::size_t at = client.size();
  if (at < name.size() && name[at] == '-') {
    at = name.find_first_not_of("0123456789", at + 1);
    if (at == client.size() + 1) return false;  // a dash and no number
  }
  return at < name.size() && name[at] == ':';
}

// A record (a head that ends in its length, then as many bytes) may go in by more than one
// write: a reader takes whole ones only.
bool nextRecord(jack_ringbuffer_t* ring, Record& head) {
  return jack_ringbuffer_peek(ring, reinterpret_cast<char*>(&head), sizeof head) == sizeof head &&
         jack_ringbuffer_read_space(ring) >= sizeof head + head.length;
}

class JackBackend final : public MidiBackend {
 public:
  bool start(const std::string& clientName) {
    client_ = jack_client_open(clientName.c_str(), JackNoStartServer, nullptr);
    if (client_ == nullptr) return false;
    clientName_ = clientName;
    incoming_ = jack_ringbuffer_create(kInputRing);
    sem_init(&wake_, 0, 0);
    jack_set_process_callback(client_, &process, this);
    jack_set_port_registration_callback(
        client_, [](jack_port_id_t, int, void* self) { graphChanged(self); }, this);
    jack_set_port_connect_callback(
        client_, [](jack_port_id_t, jack_port_id_t, int, void* self) { graphChanged(self); }, this);
    jack_on_shutdown(client_, &graphChanged, this);
    reader_ = std::thread([this] { read(); });
    return jack_activate(client_) == 0;
  }

  ~JackBackend() override {
    if (client_ == nullptr) return;
    stopping_.store(true);
    sem_post(&wake_);
    reader_.join();
    jack_client_close(client_);
    for (auto& [handle, port] : open_)
      if (port->ring) jack_ringbuffer_free(port->ring);
    jack_ringbuffer_free(incoming_);
    sem_destroy(&wake_);
  }

  std::vector<Port> ports(bool sending) override {
    std::vector<Port> listed;
    const char** names = jack_get_ports(client_, nullptr, JACK_DEFAULT_MIDI_TYPE,
                                        sending ? JackPortIsOutput : JackPortIsInput);
    std::map<std::string, jack_uuid_t> clients;
    for (const char** name = names; name != nullptr && *name != nullptr; ++name) {
      const std::string full = *name;
      // Once open, the program's own ports would show among the others (its output among the
      // inputs), and an input name holding "MIDI" is what the pre-selection offers.
      jack_port_t* port = jack_port_by_name(client_, *name);
      if (port == nullptr || isOwnPort(full, clientName_)) continue;
      // A client that closed and opened again (a device plugged back in, a bridge restarted)
      // has a new number even where JACK hands its port the old one: both make the identity.
      const std::string client = full.substr(0, full.find(':'));
      auto [known, first] = clients.try_emplace(client, 0);
      if (first)
        if (char* text = jack_get_uuid_for_client_name(client_, client.c_str())) {
          if (jack_uuid_parse(text, &known->second) != 0) known->second = 0;
          jack_free(text);
        }
      listed.push_back(
          Port{full, ((known->second & 0xFFFFFFFFu) << 32) | (jack_port_uuid(port) & 0xFFFFFFFFu)});
    }
    jack_free(static_cast<void*>(names));
    return listed;
  }

  std::uint32_t open(MidiHandle handle, Port& port, Receive receive) override {
    const bool input = static_cast<bool>(receive);
    // The port that has the name now, which may be a newer plug than the one listed.
    const auto plugs = ports(input);
    const auto plug = std::find_if(plugs.begin(), plugs.end(),
                                   [&port](const Port& now) { return now.name == port.name; });
    if (plug == plugs.end()) {
      lastError_ = gone(input, port.name);
      return MidiResult::Error;
    }
    port.identity = plug->identity;
    auto slot = std::find(slots_.begin(), slots_.end(), nullptr);
    if (slot == slots_.end())
      return fail(QT_TRANSLATE_NOOP("JackBackend", "Too many MIDI ports are open."));

    // Names are unique within the client: a second port of a kind is numbered.
    const std::string kind = input ? "MIDI In" : "MIDI Out";
    std::string own = kind;
    for (int n = 2; jack_port_by_name(client_, (clientName_ + ":" + own).c_str()); ++n)
      own = kind + " " + std::to_string(n);
    auto opened = std::make_unique<JackPort>();
    opened->handle = handle;
    opened->receive = std::move(receive);
    opened->port = jack_port_register(client_, own.c_str(), JACK_DEFAULT_MIDI_TYPE,
                                      input ? JackPortIsInput : JackPortIsOutput, 0);
    if (opened->port == nullptr)
      return fail(QT_TRANSLATE_NOOP("JackBackend", "The MIDI port \"%1\" cannot be made."), own);
    if (!input) opened->ring = jack_ringbuffer_create(kOutputRing);
    JackPort& ours = *opened;
    {
      std::lock_guard lock(mutex_);
      open_[handle] = std::move(opened);
    }
    slot->store(&ours);
    const char* ownName = jack_port_name(ours.port);
    const int connected = input ? jack_connect(client_, port.name.c_str(), ownName)
                                : jack_connect(client_, ownName, port.name.c_str());
    if (connected != 0 && connected != EEXIST) {
      close(handle);
      return fail(QT_TRANSLATE_NOOP("JackBackend", "The MIDI port \"%1\" cannot be connected."),
                  port.name);
    }
    if (!input) ours.carryFrom.store(cycles_.load() + kCarryAfterCycles);
    return MidiResult::NoError;
  }

  std::uint32_t close(MidiHandle handle) override {
    std::unique_ptr<JackPort> closing;
    {
      std::lock_guard lock(mutex_);
      auto it = open_.find(handle);
      if (it == open_.end()) return MidiResult::InvalidHandle;
      closing = std::move(it->second);
      open_.erase(it);
    }
    std::replace(slots_.begin(), slots_.end(), closing.get(), static_cast<JackPort*>(nullptr));
    // A cycle that took the port before it left its slot ends before the port goes: at most one
    // cycle's work, and not at all while no cycle runs (a server that stopped answering).
    const std::uint64_t cycle = cycles_.load();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (busy_.load() && cycles_.load() == cycle && std::chrono::steady_clock::now() < until)
      std::this_thread::yield();
    jack_port_unregister(client_, closing->port);
    if (closing->ring) jack_ringbuffer_free(closing->ring);
    return MidiResult::NoError;
  }

  std::uint32_t send(MidiHandle handle, const std::uint8_t* bytes, std::size_t length) override {
    if (length == 0) return MidiResult::NoError;
    jack_ringbuffer_t* ring = nullptr;
    {
      std::lock_guard lock(mutex_);
      auto it = open_.find(handle);
      if (it == open_.end() || !it->second->ring) return MidiResult::InvalidHandle;
      ring = it->second->ring;
    }
    const Record head{handle, static_cast<std::uint32_t>(length)};
    if (jack_ringbuffer_write_space(ring) < sizeof head + length)
      return fail(QT_TRANSLATE_NOOP("JackBackend", "The MIDI output cannot take more data."));
    jack_ringbuffer_write(ring, reinterpret_cast<const char*>(&head), sizeof head);
    jack_ringbuffer_write(ring, reinterpret_cast<const char*>(bytes), length);
    return MidiResult::NoError;
  }

  bool announcePorts(std::function<void()> changed) override {
    std::lock_guard lock(mutex_);
    changed_ = std::move(changed);
    return true;
  }
  std::string lastError() const override { return lastError_; }
  std::string name() const override { return "Jack"; }
  std::string period() const override {
    return std::to_string(jack_get_buffer_size(client_)) + " frames at " +
           std::to_string(jack_get_sample_rate(client_)) + " Hz";
  }

 private:
  static int process(jack_nframes_t frames, void* arg) {
    auto& self = *static_cast<JackBackend*>(arg);
    self.busy_.store(true);
    const std::uint64_t cycle = self.cycles_.load();
    bool received = false;
    for (auto& slot : self.slots_) {
      JackPort* open = slot.load();
      if (open == nullptr) continue;
      void* buffer = jack_port_get_buffer(open->port, frames);
      if (open->ring == nullptr) {  // an input
        for (std::uint32_t i = 0, count = jack_midi_get_event_count(buffer); i < count; ++i) {
          jack_midi_event_t event;
          if (jack_midi_event_get(&event, buffer, i) != 0 || event.size == 0) continue;
          const Record record{open->handle, static_cast<std::uint32_t>(event.size)};
          if (jack_ringbuffer_write_space(self.incoming_) < sizeof record + event.size) break;
          jack_ringbuffer_write(self.incoming_, reinterpret_cast<const char*>(&record),
                                sizeof record);
          jack_ringbuffer_write(self.incoming_, reinterpret_cast<const char*>(event.buffer),
                                event.size);
          received = true;
        }
        continue;
      }
      jack_midi_clear_buffer(buffer);
      if (cycle < open->carryFrom.load()) continue;
      for (Record head{}; nextRecord(open->ring, head);) {
        jack_midi_data_t* at = jack_midi_event_reserve(buffer, 0, head.length);
        if (at == nullptr) break;  // the cycle's buffer is full: the rest goes in the next
        jack_ringbuffer_read_advance(open->ring, sizeof head);
        jack_ringbuffer_read(open->ring, reinterpret_cast<char*>(at), head.length);
      }
    }
    self.cycles_.fetch_add(1);
    self.busy_.store(false);
    if (received) sem_post(&self.wake_);
    return 0;
  }

  static void graphChanged(void* arg) {
    auto& self = *static_cast<JackBackend*>(arg);
    self.graphChanged_.store(true);
    sem_post(&self.wake_);
  }

  // The reader's loop: it hands input on and answers the server's notices, which must not call
  // the server back from the server's own thread.
  void read() {
    for (;;) {
      sem_wait(&wake_);
      if (stopping_.load()) return;
      if (graphChanged_.exchange(false)) {
        std::function<void()> notice;
        {
          std::lock_guard lock(mutex_);
          notice = changed_;
        }
        if (notice) notice();
      }
      std::vector<std::uint8_t> bytes;
      for (Record record{}; nextRecord(incoming_, record);) {
        jack_ringbuffer_read_advance(incoming_, sizeof record);
        bytes.resize(record.length);
        jack_ringbuffer_read(incoming_, reinterpret_cast<char*>(bytes.data()), record.length);
        std::lock_guard lock(mutex_);
        if (auto it = open_.find(record.handle); it != open_.end()) deliver(*it->second, bytes);
      }
    }
  }

  // A SysEx message may come in several events; it is handed on whole.
  static void deliver(JackPort& port, const std::vector<std::uint8_t>& bytes) {
    const bool unfinished = bytes.back() != 0xF7;
    if (port.partial.empty() && !(bytes[0] == 0xF0 && unfinished))
      return port.receive(bytes.data(), bytes.size());
    port.partial.insert(port.partial.end(), bytes.begin(), bytes.end());
    if (unfinished) return;
    port.receive(port.partial.data(), port.partial.size());
    port.partial.clear();
  }

  std::uint32_t fail(const char* text, const std::string& name = {}) {
    const QString translated = QCoreApplication::translate("JackBackend", text);
    lastError_ =
        (name.empty() ? translated : translated.arg(QString::fromStdString(name))).toStdString();
    return MidiResult::Error;
  }

  jack_client_t* client_ = nullptr;
  std::string clientName_;
  // What the process callback sees; everything else is the owner's.
  std::array<std::atomic<JackPort*>, kSlots> slots_{};
  std::atomic<bool> busy_{false};
  std::atomic<std::uint64_t> cycles_{0};
  jack_ringbuffer_t* incoming_ = nullptr;
  sem_t wake_{};  // the reader's
  std::atomic<bool> stopping_{false};
  std::atomic<bool> graphChanged_{false};
  std::thread reader_;
  std::mutex mutex_;  // the open ports and the notice, between the owner and the reader
  std::map<MidiHandle, std::unique_ptr<JackPort>> open_;
  std::function<void()> changed_;
  std::string lastError_;
};

}  // namespace

std::unique_ptr<MidiBackend> connectJack(const std::string& clientName) {
  routeLibraryOutput();
  auto jack = std::make_unique<JackBackend>();
  if (!jack->start(clientName)) return nullptr;
  return jack;
}

}  // namespace tarvik
