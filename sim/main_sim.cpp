// SPDX-License-Identifier: MIT
// tarvik-sim: a simulated Tarvik on virtual MIDI ports, for trying the configurator without a
// device. The ports are opened through RtMidi directly so that the configurator sees them as it
// would see any other MIDI device.
#include "sim/SimOptions.h"
#include "sim/TarvikDevice.h"

#include <rtmidi/RtMidi.h>

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <iomanip>
#include <iostream>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using tarvik::SimOptions;
using tarvik::TarvikDevice;

// One message as it came, with the time the MIDI system stamped it with (milliseconds since the
// first message): the device's clock for it, so that how fast frames came does not depend on how
// soon the main thread gets round to them.
struct Arrival {
  std::int64_t ms = 0;
  std::vector<std::uint8_t> message;
};

// RtMidi calls back on its own thread; the device lives on the main thread, which takes the
// messages from here in arrival order.
class InputQueue {
 public:
  // From the callback only: `deltaSeconds` is RtMidi's time since the message before.
  void push(double deltaSeconds, std::vector<std::uint8_t> message) {
    stampSeconds_ += deltaSeconds;
    const auto ms = static_cast<std::int64_t>(stampSeconds_ * 1000.0);
    {
      std::lock_guard lock(mutex_);
      messages_.push_back({ms, std::move(message)});
    }
    changed_.notify_one();
  }
  void stop() {
    {
      std::lock_guard lock(mutex_);
      stopped_ = true;
    }
    changed_.notify_all();
  }
  // False once stopped.
  bool pop(Arrival& arrival) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stopped_ || !messages_.empty(); });
    if (stopped_) return false;
    arrival = std::move(messages_.front());
    messages_.pop_front();
    return true;
  }
  // The reply delay; true when a stop came while waiting.
  bool stopComesWithin(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, wait, [this] { return stopped_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Arrival> messages_;
  bool stopped_ = false;
  double stampSeconds_ = 0;  // the callback's alone
};

void onMidiInput(double deltaSeconds, std::vector<unsigned char>* message, void* queue) {
  if (message && !message->empty())
    static_cast<InputQueue*>(queue)->push(deltaSeconds, {message->begin(), message->end()});
}

void onMidiWarning(RtMidiError::Type, const std::string& text, void*) {
  std::cerr << "tarvik-sim: MIDI: " << text << std::endl;
}

struct VirtualPorts {
  std::unique_ptr<RtMidiIn> in;
  std::unique_ptr<RtMidiOut> out;
  std::string system;
  std::string description;
};

constexpr const char* kPortName = "Tarvik MIDI";

VirtualPorts openOn(RtMidi::Api api, const std::string& outClient, const std::string& inClient) {
  VirtualPorts ports;
  ports.out = std::make_unique<RtMidiOut>(api, outClient);
  ports.in = std::make_unique<RtMidiIn>(api, inClient, 1024);
  ports.out->openVirtualPort(kPortName);
  ports.in->openVirtualPort(kPortName);
  return ports;
}

// The configurator pre-selects the first input whose name contains "MIDI" and then the output of
// the same whole name, compared without regard to case. Under JACK a port reads
// "client:port" and the sim's input and output live in two clients; JACK client names are
// case-sensitive, so "tarvik-sim" and "TARVIK-SIM" can both exist and still read alike to the
// configurator.
VirtualPorts openPorts(const std::string& system) {
  if (system == "auto" || system == "alsa") {
    try {
      VirtualPorts ports = openOn(RtMidi::LINUX_ALSA, "Tarvik Sim", "Tarvik Sim");
      ports.system = "ALSA";
      ports.description = "ALSA sequencer client \"Tarvik Sim\", ports \"Tarvik MIDI\"";
      return ports;
    } catch (const RtMidiError& error) {
      if (system == "alsa") throw;
      std::cerr << "tarvik-sim: no ALSA sequencer (" << error.getMessage() << "); using JACK"
                << std::endl;
    }
  }
  VirtualPorts ports = openOn(RtMidi::UNIX_JACK, "tarvik-sim", "TARVIK-SIM");
  ports.system = "JACK";
  ports.description = std::string("JACK ports \"tarvik-sim:") + kPortName +
                      "\" (device output) and \"TARVIK-SIM:" + kPortName + "\" (device input)";
  return ports;
}

}  // namespace

int main(int argc, char** argv) {
  SimOptions options;
  tarvik::TarvikContents contents;
  try {
    options = tarvik::parseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (options.help) {
      std::cout << tarvik::simUsage();
      return 0;
    }
    contents = options.startContents();
  } catch (const std::exception& error) {
    std::cerr << "tarvik-sim: " << error.what() << std::endl;
    return 2;
  }

  // A thread of ours takes SIGINT and SIGTERM with sigwait. They are blocked before RtMidi and
  // JACK start their threads, which inherit the mask, so no other thread is interrupted.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  InputQueue queue;
  VirtualPorts ports;
  try {
    ports = openPorts(options.api);
  } catch (const RtMidiError& error) {
    std::cerr << "tarvik-sim: cannot open virtual MIDI ports: " << error.getMessage() << std::endl;
    return 1;
  }
  ports.in->setErrorCallback(onMidiWarning, nullptr);
  ports.out->setErrorCallback(onMidiWarning, nullptr);
  ports.in->ignoreTypes(false, true, true);  // SysEx in; timing and active sensing stay out
  ports.in->setCallback(onMidiInput, &queue);

  std::atomic<bool> signalled{false};
  std::thread signalWaiter([&] {
    int signal = 0;
    sigwait(&stopSignals, &signal);
    signalled = true;
    queue.stop();
  });

  TarvikDevice device(contents);
  Arrival arrival;
  device.setClock([&arrival] { return arrival.ms; });
  device.setVersion(options.versionMajor, options.versionMinor);
  device.setFaults(options.faults);
  device.setEcho(options.echo);
  device.setLogSink([](const std::string& line) { std::cout << line << std::endl; });
  std::vector<std::vector<std::uint8_t>> replies;
  device.setReplySink([&replies](std::vector<std::uint8_t> frame) {
    replies.push_back(std::move(frame));
  });
  device.setShortSink([&ports](std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    std::vector<unsigned char> message{status, data1};
    if ((status & 0xF0) != 0xC0) message.push_back(data2);
    ports.out->sendMessage(&message);
  });

  std::cout << "tarvik-sim: firmware " << int(options.versionMajor) << "."
            << int(options.versionMinor) << " on " << ports.description << std::endl;

  while (queue.pop(arrival)) {
    const std::vector<std::uint8_t>& message = arrival.message;
    replies.clear();
    if (message[0] == 0xF0) {
      device.receiveSysEx(message);
    } else {
      // The length on the wire tells whether the sender formed the message right (a program
      // change is two bytes).
      std::cout << "short message:" << std::hex << std::uppercase;
      for (std::uint8_t byte : message) std::cout << ' ' << std::setw(2) << std::setfill('0') << int(byte);
      std::cout << std::dec << " (" << message.size() << " bytes)" << std::endl;
      device.receiveShort(message[0], message.size() > 1 ? message[1] : 0,
                          message.size() > 2 ? message[2] : 0);
    }
    if (replies.empty()) continue;
    // One command's reply at a time: the configurator sends its next command only after it,
    // and a burst of replies could overrun what JACK carries per period.
    if (options.faults.replyDelayMs > 0 &&
        queue.stopComesWithin(std::chrono::milliseconds(options.faults.replyDelayMs)))
      break;
    for (const auto& frame : replies) {
      std::vector<unsigned char> bytes(frame.begin(), frame.end());
      ports.out->sendMessage(&bytes);
    }
  }

  if (!signalled) pthread_kill(signalWaiter.native_handle(), SIGTERM);
  signalWaiter.join();
  ports.in->cancelCallback();
  ports.in->closePort();
  ports.out->closePort();
  std::cout << "tarvik-sim: stopped" << std::endl;
  return 0;
}
