// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>

#include "midi/MidiBackend.h"

namespace tarvik {

// MIDI through RtMidi: its ALSA sequencer API on Linux, its own choice elsewhere. Every open
// port is an RtMidi object of its own, opened by name before the call returns; input comes on
// RtMidi's thread. RtMidi gives no notice of ports coming or going, so they are asked for.
class RtMidiBackend : public MidiBackend {
 public:
  // Nothing when the MIDI system cannot be reached; `problem` then says why.
  static std::unique_ptr<RtMidiBackend> connect(const std::string& clientName,
                                                std::string& problem);
  ~RtMidiBackend() override;

  std::vector<Port> ports(bool sending) override;
  std::uint32_t openInput(MidiHandle handle, Port& port, Receive receive) override;
  std::uint32_t openOutput(MidiHandle handle, Port& port) override;
  std::uint32_t close(MidiHandle handle) override;
  std::uint32_t send(MidiHandle handle, const std::uint8_t* bytes, std::size_t length) override;
  std::string lastError() const override;
  // RtMidi's name of its API ("ALSA").
  std::string apiName() const;

  struct State;

 private:
  explicit RtMidiBackend(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace tarvik
