// SPDX-License-Identifier: MIT
#include "midi/JackBackend.h"

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
#include <cstring>
#include <limits>
#include <map>
#include <mutex>
#include <thread>

#include "midi/MidiLog.h"

namespace tarvik {

namespace {

constexpr std::size_t kSlots = 64;
constexpr std::size_t kOutputRing = 1 << 16;
constexpr std::size_t kInputRing = 1 << 18;
constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();
// A connection made while a cycle runs joins the graph at the start of a later one: bytes go out
// from the second cycle that starts after it was made.
constexpr std::uint64_t kCarryAfterCycles = 2;

struct Record {
  MidiHandle handle;
  std::uint32_t length;
};

struct JackPort {
  MidiHandle handle = kNoHandle;
  bool input = false;
  jack_port_t* port = nullptr;
  jack_ringbuffer_t* ring = nullptr;  // outputs: records of a length and its bytes
  // Outputs: the count of cycles from which the connection made at the open carries; kNever
  // until it is made. It is never read back from the server: jack_port_connected() answers from
  // the graph the running cycle uses, so between a connect and the next cycle's start it says
  // "not connected" of a connection that is about to carry.
  std::atomic<std::uint64_t> carryFrom{kNever};
  MidiBackend::Receive receive;
  std::vector<std::uint8_t> partial;  // reader only: a SysEx message that came in pieces
};

std::string translated(const char* text, const std::string& name = {},
                       const char* context = "JackBackend") {
  const QString translated = QCoreApplication::translate(context, text);
  return (name.empty() ? translated : translated.arg(QString::fromStdString(name))).toStdString();
}

}  // namespace

struct JackBackend::State {
  jack_client_t* client = nullptr;
  std::string clientName;
  // What the process callback sees; everything else is the owner's.
  std::array<std::atomic<JackPort*>, kSlots> slots{};
  std::atomic<bool> busy{false};
  std::atomic<std::uint64_t> cycles{0};
  jack_ringbuffer_t* incoming = nullptr;  // records of a handle, a length and its bytes

  // The reader hands input on and answers the server's notices, which must not call the
  // server back from its own thread.
  sem_t wake{};
  std::atomic<bool> stopping{false};
  std::atomic<bool> graphChanged{false};
  std::thread reader;

  std::mutex mutex;  // the open ports and the notice, between the owner and the reader
  std::map<MidiHandle, std::unique_ptr<JackPort>> open;
  std::function<void()> changed;
  std::string lastError;

  std::uint32_t fail(const std::string& text) {
    lastError = text;
    return MidiResult::Error;
  }
  void read();
  void deliver(JackPort& port, const std::uint8_t* bytes, std::uint32_t length);
};

namespace {

int process(jack_nframes_t frames, void* arg) {
  auto& state = *static_cast<JackBackend::State*>(arg);
  state.busy.store(true);
  const std::uint64_t cycle = state.cycles.load();
  bool received = false;
  for (auto& slot : state.slots) {
    JackPort* open = slot.load();
    if (open == nullptr) continue;
    void* buffer = jack_port_get_buffer(open->port, frames);
    if (open->input) {
      const std::uint32_t count = jack_midi_get_event_count(buffer);
      for (std::uint32_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, i) != 0 || event.size == 0) continue;
        const Record record{open->handle, static_cast<std::uint32_t>(event.size)};
        if (jack_ringbuffer_write_space(state.incoming) < sizeof record + event.size) break;
        jack_ringbuffer_write(state.incoming, reinterpret_cast<const char*>(&record),
                              sizeof record);
        jack_ringbuffer_write(state.incoming, reinterpret_cast<const char*>(event.buffer),
                              event.size);
        received = true;
      }
      continue;
    }
    jack_midi_clear_buffer(buffer);
    if (cycle < open->carryFrom.load()) continue;
    std::uint32_t length = 0;
    while (jack_ringbuffer_peek(open->ring, reinterpret_cast<char*>(&length), sizeof length) ==
               sizeof length &&
           jack_ringbuffer_read_space(open->ring) >= sizeof length + length) {
      jack_midi_data_t* at = jack_midi_event_reserve(buffer, 0, length);
      if (at == nullptr) break;  // the cycle's buffer is full: the rest goes in the next
      jack_ringbuffer_read_advance(open->ring, sizeof length);
      jack_ringbuffer_read(open->ring, reinterpret_cast<char*>(at), length);
    }
  }
  state.cycles.fetch_add(1);
  state.busy.store(false);
  if (received) sem_post(&state.wake);
  return 0;
}

void graphChanged(void* arg) {
  auto& state = *static_cast<JackBackend::State*>(arg);
  state.graphChanged.store(true);
  sem_post(&state.wake);
}

void portRegistered(jack_port_id_t, int, void* arg) { graphChanged(arg); }
void portConnected(jack_port_id_t, jack_port_id_t, int, void* arg) { graphChanged(arg); }
void serverGone(void* arg) { graphChanged(arg); }

// Ports this program opened: its own client's and another copy's ("Tarvik Configurator-01").
bool isOwnPort(const std::string& name, const std::string& client) {
  if (name.compare(0, client.size(), client) != 0) return false;
  std::size_t at = client.size();
  if (at < name.size() && name[at] == '-') {
    const std::size_t digits = ++at;
    while (at < name.size() && name[at] >= '0' && name[at] <= '9') ++at;
    if (at == digits) return false;
  }
  return at < name.size() && name[at] == ':';
}

}  // namespace

void JackBackend::State::read() {
  for (;;) {
    sem_wait(&wake);
    if (stopping.load()) return;
    if (graphChanged.exchange(false)) {
      std::function<void()> notice;
      {
        std::lock_guard lock(mutex);
        notice = changed;
      }
      if (notice) notice();
    }
    Record record{};
    std::vector<std::uint8_t> bytes;
    while (jack_ringbuffer_peek(incoming, reinterpret_cast<char*>(&record), sizeof record) ==
               sizeof record &&
           jack_ringbuffer_read_space(incoming) >= sizeof record + record.length) {
      jack_ringbuffer_read_advance(incoming, sizeof record);
      bytes.resize(record.length);
      jack_ringbuffer_read(incoming, reinterpret_cast<char*>(bytes.data()), record.length);
      std::lock_guard lock(mutex);
      auto it = open.find(record.handle);
      if (it != open.end()) deliver(*it->second, bytes.data(), record.length);
    }
  }
}

void JackBackend::State::deliver(JackPort& port, const std::uint8_t* bytes, std::uint32_t length) {
  // A SysEx message may come in several events; it is handed on whole.
  const bool unfinished = bytes[length - 1] != 0xF7;
  if (port.partial.empty() && !(bytes[0] == 0xF0 && unfinished)) {
    port.receive(bytes, length);
    return;
  }
  port.partial.insert(port.partial.end(), bytes, bytes + length);
  if (unfinished) return;
  port.receive(port.partial.data(), port.partial.size());
  port.partial.clear();
}

std::unique_ptr<JackBackend> JackBackend::connect(const std::string& clientName) {
  routeLibraryOutput();
  jack_status_t status{};
  jack_client_t* client = jack_client_open(clientName.c_str(), JackNoStartServer, &status);
  if (client == nullptr) return nullptr;
  auto state = std::make_unique<State>();
  state->client = client;
  state->clientName = clientName;
  state->incoming = jack_ringbuffer_create(kInputRing);
  sem_init(&state->wake, 0, 0);
  jack_set_process_callback(client, &process, state.get());
  jack_set_port_registration_callback(client, &portRegistered, state.get());
  jack_set_port_connect_callback(client, &portConnected, state.get());
  jack_on_shutdown(client, &serverGone, state.get());
  state->reader = std::thread([raw = state.get()] { raw->read(); });
  if (jack_activate(client) != 0) {
    state->stopping.store(true);
    sem_post(&state->wake);
    state->reader.join();
    jack_client_close(client);
    jack_ringbuffer_free(state->incoming);
    sem_destroy(&state->wake);
    return nullptr;
  }
  return std::unique_ptr<JackBackend>(new JackBackend(std::move(state)));
}

JackBackend::JackBackend(std::unique_ptr<State> state) : state_(std::move(state)) {}

JackBackend::~JackBackend() {
  state_->stopping.store(true);
  sem_post(&state_->wake);
  state_->reader.join();
  jack_client_close(state_->client);
  for (auto& [handle, port] : state_->open)
    if (port->ring) jack_ringbuffer_free(port->ring);
  jack_ringbuffer_free(state_->incoming);
  sem_destroy(&state_->wake);
}

std::vector<MidiBackend::Port> JackBackend::ports(bool sending) {
  std::vector<Port> listed;
  const char** names = jack_get_ports(state_->client, nullptr, JACK_DEFAULT_MIDI_TYPE,
                                      sending ? JackPortIsOutput : JackPortIsInput);
  if (names == nullptr) return listed;
  std::map<std::string, std::uint64_t> clients;
  for (const char** name = names; *name != nullptr; ++name) {
    const std::string full = *name;
    // Once open, the program's own ports would show among the others (its output among the
    // inputs), and an input name holding "MIDI" is what the pre-selection offers.
    if (isOwnPort(full, state_->clientName)) continue;
    jack_port_t* port = jack_port_by_name(state_->client, *name);
    if (port == nullptr) continue;
    // A client that closed and opened again (a device plugged back in, a bridge restarted) has
    // a new number even where JACK hands its port the old one: both make the identity.
    const std::string clientName = full.substr(0, full.find(':'));
    auto known = clients.find(clientName);
    if (known == clients.end()) {
      jack_uuid_t uuid = 0;
      if (char* text = jack_get_uuid_for_client_name(state_->client, clientName.c_str())) {
        if (jack_uuid_parse(text, &uuid) != 0) uuid = 0;
        jack_free(text);
      }
      known = clients.emplace(clientName, uuid).first;
    }
    listed.push_back(
        Port{full, ((known->second & 0xFFFFFFFFu) << 32) | (jack_port_uuid(port) & 0xFFFFFFFFu)});
  }
  jack_free(static_cast<void*>(names));
  return listed;
}

std::uint32_t JackBackend::open(MidiHandle handle, Port& port, Receive receive) {
  const bool input = static_cast<bool>(receive);
  // The port that has the name now, which may be a newer plug than the one listed.
  const auto plugs = ports(input);
  const auto plug = std::find_if(plugs.begin(), plugs.end(),
                                 [&port](const Port& now) { return now.name == port.name; });
  if (plug == plugs.end())
    return state_->fail(translated(
        input
            ? QT_TRANSLATE_NOOP("RtMidiOpenPorts", "The MIDI input \"%1\" is no longer available.")
            : QT_TRANSLATE_NOOP("RtMidiOpenPorts",
                                "The MIDI output \"%1\" is no longer available."),
        port.name, "RtMidiOpenPorts"));
  port.identity = plug->identity;
  auto slot = std::find(state_->slots.begin(), state_->slots.end(), nullptr);
  if (slot == state_->slots.end())
    return state_->fail(
        translated(QT_TRANSLATE_NOOP("JackBackend", "Too many MIDI ports are open.")));

  // Names are unique within the client: a second port of a kind is numbered.
  std::string own = input ? "MIDI In" : "MIDI Out";
  for (int n = 2; jack_port_by_name(state_->client, (state_->clientName + ":" + own).c_str()); ++n)
    own = std::string(input ? "MIDI In " : "MIDI Out ") + std::to_string(n);
  auto opened = std::make_unique<JackPort>();
  opened->handle = handle;
  opened->input = input;
  opened->receive = std::move(receive);
  opened->port = jack_port_register(state_->client, own.c_str(), JACK_DEFAULT_MIDI_TYPE,
                                    input ? JackPortIsInput : JackPortIsOutput, 0);
  if (opened->port == nullptr)
    return state_->fail(
        translated(QT_TRANSLATE_NOOP("JackBackend", "The MIDI port \"%1\" cannot be made."), own));
  if (!input) opened->ring = jack_ringbuffer_create(kOutputRing);
  JackPort& ours = *opened;
  {
    std::lock_guard lock(state_->mutex);
    state_->open[handle] = std::move(opened);
  }
  slot->store(&ours);
  const char* ownName = jack_port_name(ours.port);
  const int connected = input ? jack_connect(state_->client, port.name.c_str(), ownName)
                              : jack_connect(state_->client, ownName, port.name.c_str());
  if (connected != 0 && connected != EEXIST) {
    close(handle);
    return state_->fail(translated(
        QT_TRANSLATE_NOOP("JackBackend", "The MIDI port \"%1\" cannot be connected."), port.name));
  }
  if (!input) ours.carryFrom.store(state_->cycles.load() + kCarryAfterCycles);
  return MidiResult::NoError;
}

std::uint32_t JackBackend::openInput(MidiHandle handle, Port& port, Receive receive) {
  return open(handle, port, std::move(receive));
}

std::uint32_t JackBackend::openOutput(MidiHandle handle, Port& port) {
  return open(handle, port, nullptr);
}

std::uint32_t JackBackend::close(MidiHandle handle) {
  std::unique_ptr<JackPort> closing;
  {
    std::lock_guard lock(state_->mutex);
    auto it = state_->open.find(handle);
    if (it == state_->open.end()) return MidiResult::InvalidHandle;
    closing = std::move(it->second);
    state_->open.erase(it);
  }
  for (auto& slot : state_->slots)
    if (slot.load() == closing.get()) slot.store(nullptr);
  // A cycle that took the port before it left its slot ends before the port goes: at most one
  // cycle's work, and not at all while no cycle runs (a server that stopped answering).
  const std::uint64_t cycle = state_->cycles.load();
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  while (state_->busy.load() && state_->cycles.load() == cycle &&
         std::chrono::steady_clock::now() < until)
    std::this_thread::yield();
  jack_port_unregister(state_->client, closing->port);
  if (closing->ring) jack_ringbuffer_free(closing->ring);
  return MidiResult::NoError;
}

std::uint32_t JackBackend::send(MidiHandle handle, const std::uint8_t* bytes, std::size_t length) {
  if (length == 0) return MidiResult::NoError;
  jack_ringbuffer_t* ring = nullptr;
  {
    std::lock_guard lock(state_->mutex);
    auto it = state_->open.find(handle);
    if (it == state_->open.end() || it->second->input) return MidiResult::InvalidHandle;
    ring = it->second->ring;
  }
  const auto size = static_cast<std::uint32_t>(length);
  if (jack_ringbuffer_write_space(ring) < sizeof size + length)
    return state_->fail(
        translated(QT_TRANSLATE_NOOP("JackBackend", "The MIDI output cannot take more data.")));
  // One write of the whole record: the process callback never sees half of it.
  std::vector<char> record(sizeof size + length);
  std::memcpy(record.data(), &size, sizeof size);
  std::memcpy(record.data() + sizeof size, bytes, length);
  jack_ringbuffer_write(ring, record.data(), record.size());
  return MidiResult::NoError;
}

bool JackBackend::announcePorts(std::function<void()> changed) {
  std::lock_guard lock(state_->mutex);
  state_->changed = std::move(changed);
  return true;
}

std::string JackBackend::lastError() const { return state_->lastError; }

std::string JackBackend::period() const {
  return std::to_string(jack_get_buffer_size(state_->client)) + " frames at " +
         std::to_string(jack_get_sample_rate(state_->client)) + " Hz";
}

}  // namespace tarvik
