// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "midi/PlatformMidiService.h"

namespace tarvik {

// The platform MIDI service over RtMidi (ALSA or JACK on Linux, WinMM, CoreMIDI).
//
// Create it on the window's thread: input arrives on RtMidi's threads and is handed over to the
// creating thread through an InputHub. Ports are listed once per enumeration call and then
// addressed by that list's index (RtMidiPortList); opening looks the port up again by name, so
// ports that came or went since do not shift the indices (RtMidiOpenPorts, which also says how a
// port opens under JACK). whenOpenPortsCarry reports when the opens have ended and, under JACK,
// the server has run two more cycles (JackCarryWait).
//
// Every RtMidi error becomes MidiResult::Error, whose text (getErrorText) is the driver's last
// message. When no MIDI system can be reached at all the service still works, with no ports, and
// startupProblem() says why (MidiSystemChoice). What ALSA and JACK write about themselves goes
// to the library message sink, not to standard error, from the service's construction on.
//
// Reaching the MIDI system takes from a few to tens of milliseconds. A window that should show
// first makes the service to start later and then starts it in the background: until
// whenStarted reports, it lists no ports and opens none.
class RtMidiService : public PlatformMidiService {
 public:
  enum class Start { Now, Later };
  // Opening::Soon: a port pair will be opened right after the start (a command-line run), and
  // under JACK its objects are made while the ports are listed (JackSpareClients).
  enum class Opening { WhenAsked, Soon };
  explicit RtMidiService(Start when = Start::Now, Opening opening = Opening::WhenAsked);
  ~RtMidiService() override;

  void startInBackground() override;
  void whenStarted(std::function<void()> started) override;
  std::string startupProblem() const override;
  void setLibraryMessageSink(LibraryMessageSink sink) override;
  // RtMidi's display name of the API in use ("ALSA", "Jack", ...); empty when there is none.
  std::string apiName() const;
  std::string systemName() const override { return apiName(); }

  std::uint32_t inGetNumDevs() override;
  std::uint32_t outGetNumDevs() override;
  std::uint32_t inOpen(MidiHandle& handle, std::uint32_t port, MidiInCallback callback,
                       std::uintptr_t instance) override;
  std::uint32_t inClose(MidiHandle handle) override;
  std::uint32_t outOpen(MidiHandle& handle, std::uint32_t port) override;
  std::uint32_t outShortMsg(MidiHandle handle, std::uint32_t packed) override;
  std::uint32_t outLongMsg(MidiHandle handle, MidiHeader* header) override;
  std::uint32_t outClose(MidiHandle handle) override;
  std::uint32_t getErrorText(std::uint32_t code, std::string& text) override;
  void whenOpenPortsCarry(std::function<void()> carrying) override;

  // Under JACK, the server's period ("64 frames at 48000 Hz"); empty otherwise.
  std::string jackPeriod() const;

 protected:
  std::uint32_t describe(const char* operation, bool input, std::uint32_t port, std::string* name,
                         std::uint64_t* identity) override;
  std::uint32_t enter(const char* operation, MidiHandle handle, bool input) override;
  std::uint32_t fail(const std::string& text) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tarvik
