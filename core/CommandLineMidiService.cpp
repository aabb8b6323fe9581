// SPDX-License-Identifier: MIT
#include "core/MidiSystem.h"
#include "midi/RtMidiService.h"

namespace tarvik {

std::unique_ptr<PlatformMidiService> commandLineMidiService(bool /*opensSoon*/) {
  return std::make_unique<RtMidiService>(RtMidiService::Start::Later);
}

}  // namespace tarvik
