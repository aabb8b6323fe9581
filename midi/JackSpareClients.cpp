// SPDX-License-Identifier: MIT
#include "midi/JackSpareClients.h"

namespace tarvik {

JackSpareClients::JackSpareClients(RtMidi::Api api, const std::string& clientName)
    : input_(std::async(std::launch::async,
                        [api, clientName] { return std::make_unique<RtMidiIn>(api, clientName); })),
      output_(std::async(std::launch::async, [api, clientName] {
        return std::make_unique<RtMidiOut>(api, clientName);
      })) {}

JackSpareClients::~JackSpareClients() {
  // Closing a client waits for the server's cycle: the input closes on a thread of its own
  // while the output closes here.
  auto input = std::async(std::launch::async, [this] { take<RtMidiIn>(); });
  take<RtMidiOut>();
  input.wait();
}

}  // namespace tarvik
