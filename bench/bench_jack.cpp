// SPDX-License-Identifier: MIT
// The window's connect with the full download over real JACK: the platform MIDI service (RtMidi),
// tarvik-sim as a process of its own on a JACK server of ours (dummy driver), the wall time from
// the press to the last reply set beside the time the same bytes take on a DIN MIDI wire, the
// longest stretch in which the window's event loop could not run, and the peak memory.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/TForm1.h"
#include "bench/BenchStats.h"
#include "bench/SettledWindow.h"
#include "core/CoreParts.h"
#include "midi/MidiPorts.h"
#include "midi/RtMidiService.h"
#include "support/CoreWindow.h"
#include "support/FakeDialogs.h"
#include "support/JackRig.h"

namespace {

using namespace tarvik;

constexpr int kSamples = 9;
constexpr int kPeriodFrames = 64;
constexpr int kSampleRate = 48000;
// Seven identifies and the four download commands.
constexpr int kRoundTrips = 11;
constexpr double kFloorRatioTarget = 1.5;
constexpr int kChainGiveUpMs = 30000;
// 31,250 baud, ten bits a byte.
constexpr double kDinBytesPerSecond = 3125.0;
constexpr double kFrameMs = 16.0;
constexpr double kOwnPeakTargetMb = 40.0;

struct Sample {
  double wallMs = 0;
  double longestBlockMs = 0;
  double pressMs = 0;  // the press's own handler: opening both ports
  std::size_t wireBytes = 0;
};

// A fresh window on its own MIDI service, as the program starts; presses connect once it is on
// screen and has built its device tabs, and serves the event loop until the download has ended. A 1
// ms heartbeat on the window's thread measures the longest time between two of its turns.
std::optional<Sample> connectOnce(std::unique_ptr<MidiPorts>& ports,
                                  std::unique_ptr<testing::CoreWindow>& window,
                                  testing::FakeDialogs& dialogs) {
  window.reset();
  ports = std::make_unique<MidiPorts>(std::make_unique<RtMidiService>());
  window = std::make_unique<testing::CoreWindow>(dialogs, *ports);
  if (!bench::showSettled(*window->form, kChainGiveUpMs)) {
    std::fprintf(stderr, "bench_jack: the window did not build its device tabs\n");
    return std::nullopt;
  }

  Sample sample;
  QObject counter;
  QObject::connect(
      &CoreParts::link(*window->core), &DeviceLink::sysExReceived, &counter,
      [&](int, const std::vector<std::uint8_t>& frame) { sample.wireBytes += frame.size(); });
  QEventLoop loop;
  bool downloaded = false;
  QObject::connect(window->core.get(), &ConfiguratorCore::transferFinished, &loop,
                   [&](Chain chain) {
                     downloaded = chain == Chain::Connect;
                     loop.quit();
                   });
  QObject::connect(window->core.get(), &ConfiguratorCore::transferAborted, &loop,
                   &QEventLoop::quit);
  QObject::connect(window->core.get(), &ConfiguratorCore::connectTimedOut, &loop,
                   &QEventLoop::quit);
  QTimer::singleShot(kChainGiveUpMs, &loop, &QEventLoop::quit);

  QElapsedTimer heartbeatClock;
  QTimer heartbeat;
  heartbeat.setTimerType(Qt::PreciseTimer);
  heartbeat.setInterval(1);
  QObject::connect(&heartbeat, &QTimer::timeout, &loop, [&] {
    sample.longestBlockMs =
        std::max(sample.longestBlockMs, static_cast<double>(heartbeatClock.nsecsElapsed()) / 1e6);
    heartbeatClock.restart();
  });

  QElapsedTimer wall;
  wall.start();
  heartbeatClock.start();
  heartbeat.start();
  window->button("Button1")->click();
  // The press itself runs before the loop: it counts as a block too.
  sample.pressMs = static_cast<double>(heartbeatClock.nsecsElapsed()) / 1e6;
  sample.longestBlockMs = sample.pressMs;
  heartbeatClock.restart();
  if (!downloaded) loop.exec();
  sample.wallMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
  heartbeat.stop();
  if (!downloaded || !dialogs.errors.empty()) {
    std::fprintf(stderr, "bench_jack: the connect over JACK did not complete%s\n",
                 dialogs.errors.empty()
                     ? ""
                     : qPrintable(QStringLiteral(": ") + dialogs.errors.back().text));
    return std::nullopt;
  }
  return sample;
}

// What the program sent for a connect with the full download: seven identifies and the four
// download commands, each byte in a frame of four.
constexpr std::size_t kSentBytes = (7 * 2 + 4 * 2) * 4;

}  // namespace

int main(int argc, char** argv) {
  bench::offscreenUnlessChosen();
  QApplication app(argc, argv);
  testing::JackRig jack;
  jack.periodFrames = kPeriodFrames;
  if (const QString problem = jack.startWithSimulator(
          QStringLiteral(TARVIK_SIM_PATH), {QStringLiteral("--seed"), QStringLiteral("7")});
      !problem.isEmpty()) {
    std::fprintf(stderr, "bench_jack: %s\n", qPrintable(problem));
    return 1;
  }

  testing::FakeDialogs dialogs;
  std::unique_ptr<MidiPorts> ports;
  std::unique_ptr<testing::CoreWindow> window;
  std::string period;
  std::vector<double> walls;
  std::vector<double> blocks;
  std::vector<double> presses;
  std::size_t wireBytes = 0;
  // The first connect pays for the page cache and the server's first client connections.
  for (int i = 0; i <= kSamples; ++i) {
    const std::optional<Sample> sample = connectOnce(ports, window, dialogs);
    if (!sample) return 1;
    if (i == 0) continue;
    walls.push_back(sample->wallMs);
    blocks.push_back(sample->longestBlockMs);
    presses.push_back(sample->pressMs);
    wireBytes = sample->wireBytes + kSentBytes;
  }
  period = static_cast<RtMidiService&>(ports->service()).jackPeriod();
  if (period.empty()) return bench::failed("bench_jack: the MIDI service does not run on JACK");
  // Peak memory of the whole process (VmHWM) holds the JACK server's shared memory that every
  // client maps, which is the server's and as large as its port count and buffers make it. The
  // program's own peak is that less the shared memory it has resident (RssShmem), read while
  // the last window still has its ports open: the segments are mapped from the service's start
  // to its end, so they were resident at the peak too.
  const std::optional<double> total = bench::statusMb("VmHWM");
  const std::optional<double> shared = bench::statusMb("RssShmem");
  window.reset();
  ports.reset();
  jack.stopSimulator();
  jack.stopServer();
  if (!total || !shared) return bench::failed("bench_jack: no memory figures in /proc/self/status");

  const double wallMs = bench::median(walls);
  const double longestBlockMs = *std::max_element(blocks.begin(), blocks.end());
  const double wireMs = static_cast<double>(wireBytes) / kDinBytesPerSecond * 1e3;
  const double ownPeakMb = *total - *shared;
  // The protocol's floor at this period: each of the connect's and download's round trips
  // takes one cycle out and one back.
  const double floorMs = kRoundTrips * 2 * 1000.0 * kPeriodFrames / kSampleRate;
  const double floorRatio = wallMs / floorMs;
  std::printf("jack_period: %s\n", period.c_str());
  std::printf("jack_connect_download_floor: %.1f ms (%d round trips of two periods)\n", floorMs,
              kRoundTrips);
  std::printf("jack_connect_download_floor_ratio: %.2f (target <= %.2f)\n", floorRatio,
              kFloorRatioTarget);
  std::printf("din_wire_jack_connect_download: %.0f ms\n", wireMs);
  std::printf("jack_connect_download_wall: %.1f ms (target <= %.0f ms)\n", wallMs, wireMs / 2);
  std::printf("jack_connect_press_handler_median: %.1f ms\n", bench::median(presses));
  std::printf("jack_connect_longest_event_loop_block: %.1f ms (target <= %.0f ms)\n",
              longestBlockMs, kFrameMs);
  std::printf("jack_window_peak_memory_with_shared_segment: %.1f MB\n", *total);
  std::printf("jack_window_shared_segment_resident: %.1f MB\n", *shared);
  std::printf("jack_window_own_peak_memory: %.1f MB (target <= %.0f MB)\n", ownPeakMb,
              kOwnPeakTargetMb);
  const bool met = wallMs <= wireMs / 2 && floorRatio <= kFloorRatioTarget &&
                   longestBlockMs <= kFrameMs && ownPeakMb <= kOwnPeakTargetMb;
  return met ? 0 : 1;
}
