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

template <typename Midi>
std::unique_ptr<Midi> JackSpareClients::takeFrom(std::future<std::unique_ptr<Midi>>& made) {
  std::future<std::unique_ptr<Midi>> mine;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    mine = std::move(made);
  }
  if (!mine.valid()) return nullptr;
  try {
    return mine.get();
  } catch (const RtMidiError&) {
    return nullptr;
  }
}

template <>
std::unique_ptr<RtMidiIn> JackSpareClients::take<RtMidiIn>() {
  return takeFrom(input_);
}

template <>
std::unique_ptr<RtMidiOut> JackSpareClients::take<RtMidiOut>() {
  return takeFrom(output_);
}

}  // namespace tarvik
