// SPDX-License-Identifier: MIT
#pragma once

#include <RtMidi.h>

#include <memory>
#include <vector>

#include "midi/MidiService.h"

namespace tarvik {

class InputHub;

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

}  // namespace tarvik
