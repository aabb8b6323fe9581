// SPDX-License-Identifier: MIT
#include "midi/MidiErrorTexts.h"

#include "midi/MidiService.h"

namespace tarvik {

std::optional<std::string> standardMidiErrorText(std::uint32_t code) {
  switch (code) {
    case MidiResult::BadDeviceId:
      return "The specified device ID is out of range.";
    case MidiResult::Allocated:
      return "The specified resource is already allocated.";
    case MidiResult::InvalidHandle:
      return "The specified device handle is invalid.";
    case MidiResult::NoDriver:
      return "There is no driver installed on your system.";
    case MidiResult::StillPlaying:
      return "The buffer is still in the queue.";
    default:
      return std::nullopt;
  }
}

}  // namespace tarvik
