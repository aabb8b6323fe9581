// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "midi/PlatformMidiService.h"

namespace tarvik {

// The platform's MIDI service: on Linux the ALSA sequencer through RtMidi where it opens, a
// running JACK server on one client of the program's own otherwise; elsewhere RtMidi's own
// choice. When no MIDI system can be reached the service still works, with no ports, and
// startupProblem() says why. What ALSA and JACK write about themselves goes to midiLibraryLog
// from the service's construction on.
//
// Create it on the window's thread. Reaching the MIDI system takes from a few to tens of
// milliseconds: a window that should show first starts it later, in the background.
class RtMidiService : public PlatformMidiService {
 public:
  enum class Start { Now, Later };
  explicit RtMidiService(Start when = Start::Now);
  ~RtMidiService() override {
    if (starter_.joinable()) starter_.join();
  }

  void startInBackground() override;
  void whenStarted(std::function<void()> started) override;
  std::string startupProblem() const override { return problem_; }
  // The display name of the MIDI system in use ("ALSA", "Jack"); empty when there is none.
  std::string apiName() const { return systemName(); }
  // Under JACK, the server's period ("64 frames at 48000 Hz"); empty otherwise.
  std::string jackPeriod() const { return backend_ ? backend_->period() : std::string(); }

 private:
  void install(std::unique_ptr<MidiBackend> backend, std::string problem);
  // Destroyed before the base, which the backend hands its input to.
  std::unique_ptr<MidiBackend> backend_;
  std::string problem_;  // empty when a MIDI system was reached; otherwise a sentence for the user
  std::thread starter_;
  bool started_ = false;
  std::vector<std::function<void()>> waiters_;
};

// The backends it chooses from; nothing when the system cannot be reached (RtMidi: `problem`
// then says why).
std::unique_ptr<MidiBackend> connectRtMidi(const std::string& clientName, std::string& problem);
std::unique_ptr<MidiBackend> connectJack(const std::string& clientName);

}  // namespace tarvik
