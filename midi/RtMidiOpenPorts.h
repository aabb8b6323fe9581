// SPDX-License-Identifier: MIT
#pragma once

#include <RtMidi.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "midi/MidiService.h"
#include "midi/PortOpening.h"

namespace tarvik {

class InputHub;
class JackCarryWait;
class JackClock;
class JackSpareClients;
class RtMidiErrors;

// An input port the service opened: RtMidi's object and where its input goes. RtMidi calls back
// on its own input thread with the port as user data; the port hands each message to the hub,
// which delivers it on the service's thread. The port must stay where it is while RtMidi may call
// back, so the service holds it by pointer.
struct RtMidiInputPort {
  MidiHandle handle = kNoHandle;
  InputHub* hub = nullptr;
  std::unique_ptr<RtMidiIn> midi;

  // Sets `midi` up to deliver to this port: SysEx must come through; timing clock and active
  // sensing are of no use to the program.
  void listenTo(RtMidiIn& midi);
  // RtMidi's input callback.
  static void onInput(double timeStamp, std::vector<unsigned char>* message, void* userData);
};

// The ports the RtMidi service has open, by handle: opening, closing and sending on them. Ports
// are opened by name (looked up again at the open), so ports that came or went since the
// enumeration do not shift the indices. Handles are never reused.
//
// Under JACK a port opens in the background (creating a JACK client, registering and connecting
// its port are server round trips that take tens of milliseconds): an open returns once the port
// is known to exist, and its RtMidi object follows. A send to an output still opening, or whose
// open failed, fails with that reason. Elsewhere a port opens before the call returns.
//
// Every RtMidi error becomes MidiResult::Error with its text in `errors`.
class RtMidiOpenPorts {
 public:
  RtMidiOpenPorts(RtMidiErrors& errors, InputHub& hub) : errors_(errors), hub_(hub) {}
  ~RtMidiOpenPorts();
  RtMidiOpenPorts(const RtMidiOpenPorts&) = delete;
  RtMidiOpenPorts& operator=(const RtMidiOpenPorts&) = delete;

  // Once the MIDI system has been reached; `jack` and `carry` only under JACK, `spares` only
  // when the objects of a first open were made beforehand.
  void use(RtMidi::Api api, const JackClock* jack, JackCarryWait* carry,
           std::unique_ptr<JackSpareClients> spares = nullptr);

  std::uint32_t openInput(MidiHandle& handle, std::uint32_t listed, const std::string& name,
                          MidiInCallback callback, std::uintptr_t instance);
  std::uint32_t openOutput(MidiHandle& handle, std::uint32_t listed, const std::string& name);
  std::uint32_t closeInput(MidiHandle handle);
  std::uint32_t closeOutput(MidiHandle handle);
  bool hasInput(MidiHandle handle) const { return inputs_.count(handle) != 0; }
  bool hasOutput(MidiHandle handle) const { return outputs_.count(handle) != 0; }
  // RtMidi copies the bytes (JACK: into its ring buffer) before it returns.
  std::uint32_t send(MidiHandle handle, const unsigned char* bytes, std::size_t length);
  // Opens under way in the background.
  bool opening() const { return !openingInputs_.empty() || !openingOutputs_.empty(); }

  // Closes every port, after the opens under way. Under JACK each object is a client of its
  // own, and closing one is a round trip to the server that waits for its cycle: they close side
  // by side, `jack` and the spare objects nobody took with them.
  void closeAll(std::unique_ptr<JackClock> jack);

 private:
  std::uint32_t fail(const std::string& text);
  // Opens the port before it returns (not under JACK); nothing, with the errors saying why, when
  // it does not open. `goneText` (with the name for its %1) when the port has gone since.
  template <typename Midi>
  std::unique_ptr<Midi> openHere(std::uint32_t listedAt, const std::string& name,
                                 const char* goneText, const char* ownPort,
                                 const std::function<void(Midi&)>& prepare);
  // Why a handle whose port is not (yet) open cannot send.
  std::uint32_t notOpen(MidiHandle handle);
  template <typename Midi>
  std::unique_ptr<Midi> takeOpened(std::map<MidiHandle, std::unique_ptr<PortOpening<Midi>>>& from,
                                   MidiHandle handle);
  void openEnded();
  void opened();
  // Under JACK closing an object is a round trip to the server that waits for its cycle: done on
  // a thread of its own, so that a connect, which closes and reopens its pair, does not hold the
  // window's thread. Closers that have finished are joined as new ones start, the rest by
  // closeAll.
  void closeInBackground(std::function<void()> close);
  // How long a JACK output's process callback is given to end after its port closed.
  std::chrono::milliseconds outputGrace() const;
  // Closes a JACK output. RtMidi's JACK output frees its ring buffer before it closes its client,
  // whose process callback runs meanwhile: a callback that read the port just before the port
  // went may still be on its way to that buffer. So the port closes first, the callback that
  // started before gets the grace to end, and only then does the object go. Inputs and the
  // service's own client close once the port has gone (outputPortsClosing_), so that the server
  // serves them during the grace.
  std::function<void()> jackOutputCloser(std::shared_ptr<RtMidiOut> midi);

  struct Closer {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  std::vector<Closer> closers_;
  std::vector<std::shared_future<void>> outputPortsClosing_;

  RtMidiErrors& errors_;
  InputHub& hub_;
  RtMidi::Api api_ = RtMidi::UNSPECIFIED;
  const JackClock* jack_ = nullptr;
  JackCarryWait* carry_ = nullptr;
  // Taken from on the opening threads.
  std::unique_ptr<JackSpareClients> spares_;
  MidiHandle lastHandle_ = kNoHandle;
  std::map<MidiHandle, std::unique_ptr<RtMidiInputPort>> inputs_;
  // Null while the output opens in the background, or after that failed.
  std::map<MidiHandle, std::unique_ptr<RtMidiOut>> outputs_;
  std::map<MidiHandle, std::unique_ptr<PortOpening<RtMidiIn>>> openingInputs_;
  std::map<MidiHandle, std::unique_ptr<PortOpening<RtMidiOut>>> openingOutputs_;
  std::map<MidiHandle, std::string> failedOpens_;
};

}  // namespace tarvik
