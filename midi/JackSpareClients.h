// SPDX-License-Identifier: MIT
#pragma once

#include <RtMidi.h>

#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>

namespace tarvik {

// Under JACK every RtMidi object is a client of its own, and making one (the client, its
// activation) is a run of round trips to the server that the server serves one client at a
// time. A program that opens a port pair right after it starts has the pair's two objects made
// beforehand, side by side and while it lists the ports, so that the open itself only registers
// and connects its port.
//
// Each object is taken at most once, from any thread; what nobody took closes with this.
class JackSpareClients {
 public:
  JackSpareClients(RtMidi::Api api, const std::string& clientName)
      : input_(
            std::async(std::launch::async,
                       [api, clientName] { return std::make_unique<RtMidiIn>(api, clientName); })),
        output_(std::async(std::launch::async, [api, clientName] {
          return std::make_unique<RtMidiOut>(api, clientName);
        })) {}
  // Waits for the making; the objects left close side by side. Closing a client waits for the
  // server's cycle: the input closes on a thread of its own while the output closes here.
  ~JackSpareClients() {
    auto input = std::async(std::launch::async, [this] { take<RtMidiIn>(); });
    take<RtMidiOut>();
    input.wait();
  }
  JackSpareClients(const JackSpareClients&) = delete;
  JackSpareClients& operator=(const JackSpareClients&) = delete;

  // The object (RtMidiIn or RtMidiOut) once it is made; nothing when it was taken already or
  // could not be made (the caller makes its own then, and learns why).
  template <typename Midi>
  std::unique_ptr<Midi> take() {
    std::future<std::unique_ptr<Midi>> mine;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if constexpr (std::is_same_v<Midi, RtMidiIn>) {
        mine = std::move(input_);
      } else {
        mine = std::move(output_);
      }
    }
    if (!mine.valid()) return nullptr;
    try {
      return mine.get();
    } catch (const RtMidiError&) {
      return nullptr;
    }
  }

 private:
  std::mutex mutex_;
  std::future<std::unique_ptr<RtMidiIn>> input_;
  std::future<std::unique_ptr<RtMidiOut>> output_;
};

}  // namespace tarvik
