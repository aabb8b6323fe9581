// SPDX-License-Identifier: MIT
// What watching the MIDI ports costs while the program is idle, over the service it runs on
// here (RtMidi on a JACK server of ours, dummy driver), and how soon a port that appears is
// reported. The share of one core is the CPU time of one look at the ports, taken over many
// looks, per watch interval; the same share measured directly, watching against not watching
// for a few seconds, is printed beside it (JACK's own threads make that figure noisy).
#include <RtMidi.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchStats.h"
#include "midi/MidiPorts.h"
#include "midi/PortWatcher.h"
#include "midi/RtMidiService.h"
#include "support/JackRig.h"

namespace {

using namespace tarvik;

// Devices on the server besides the configurator: a set-up with a few interfaces.
constexpr int kDevices = 4;
constexpr int kLooks = 200;
constexpr int kIdleMs = 5000;
constexpr int kAppearSamples = 5;
constexpr double kIdleShareTargetPercent = 0.5;
constexpr double kAppearTargetMs = 2000.0;

// A device's in and out port, each in a JACK client of its own, as a USB interface shows up.
struct Device {
  std::unique_ptr<RtMidiOut> out;
  std::unique_ptr<RtMidiIn> in;
  explicit Device(const std::string& name)
      : out(std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, name)),
        in(std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, name + " in")) {
    out->openVirtualPort("MIDI 1");
    in->openVirtualPort("MIDI 1");
  }
};

void runEventLoopFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

double cpuOverIdle(PortWatcher& watcher, bool watching) {
  if (watching)
    watcher.start();
  else
    watcher.stop();
  const double before = bench::processCpuMs();
  QElapsedTimer wall;
  wall.start();
  runEventLoopFor(kIdleMs);
  const double share = (bench::processCpuMs() - before) / static_cast<double>(wall.elapsed());
  watcher.stop();
  return share * 100.0;
}

// Opens a device and waits for the watcher's report of it; the time from the port's
// registration to the report, or a negative value when none came.
double appearMs(PortWatcher& watcher, const std::string& name, std::unique_ptr<Device>& device) {
  QEventLoop loop;
  bool seen = false;
  const std::string listed = name + ":MIDI 1";
  auto connection = QObject::connect(
      &watcher, &PortWatcher::portsChanged, &loop, [&](const MidiPorts::Change& change) {
        const auto& added = change.inputs.added;
        if (std::find(added.begin(), added.end(), listed) == added.end()) return;
        seen = true;
        loop.quit();
      });
  QTimer::singleShot(10 * PortWatcher::kIntervalMs, &loop, &QEventLoop::quit);
  QElapsedTimer since;
  device = std::make_unique<Device>(name);
  since.start();
  loop.exec();
  QObject::disconnect(connection);
  return seen ? static_cast<double>(since.elapsed()) : -1.0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  testing::JackRig jack;
  if (jack.startServer() != testing::JackRig::Start::Up) {
    std::fprintf(stderr, "bench_ports: %s\n", qPrintable(jack.startProblem()));
    return 1;
  }
  auto service = std::make_unique<RtMidiService>();
  if (service->apiName() != "Jack") {
    std::fprintf(stderr, "bench_ports: the MIDI service runs on \"%s\", not on JACK: %s\n",
                 service->apiName().c_str(), service->startupProblem().c_str());
    return 1;
  }
  MidiPorts ports(std::move(service));
  std::vector<std::unique_ptr<Device>> devices;
  for (int i = 0; i < kDevices; ++i)
    devices.push_back(std::make_unique<Device>("Bench Device " + std::to_string(i)));
  PortWatcher watcher(ports);
  watcher.rescan();
  const std::size_t inputs = ports.inputs().Ports().size();
  const std::size_t outputs = ports.outputs().Ports().size();

  for (int i = 0; i < 10; ++i) watcher.rescan();
  const double before = bench::processCpuMs();
  for (int i = 0; i < kLooks; ++i) watcher.rescan();
  const double lookMs = (bench::processCpuMs() - before) / kLooks;
  const double sharePercent = lookMs / PortWatcher::kIntervalMs * 100.0;

  const double idleWithout = cpuOverIdle(watcher, false);
  const double idleWith = cpuOverIdle(watcher, true);

  watcher.start();
  std::vector<double> appear;
  for (int i = 0; i < kAppearSamples; ++i) {
    std::unique_ptr<Device> late;
    const double ms = appearMs(watcher, "Bench Late Device " + std::to_string(i), late);
    if (ms < 0) return bench::failed("bench_ports: a new port was not reported");
    appear.push_back(ms);
    late.reset();
    // Its going is noticed before the next one comes, so each sample starts alike.
    runEventLoopFor(PortWatcher::kIntervalMs + 200);
  }
  watcher.stop();
  const double appearMax = *std::max_element(appear.begin(), appear.end());

  std::printf("ports_listed_inputs: %zu ports\n", inputs);
  std::printf("ports_listed_outputs: %zu ports\n", outputs);
  std::printf("ports_watch_interval: %d ms\n", PortWatcher::kIntervalMs);
  std::printf("ports_look_cpu: %.3f ms\n", lookMs);
  std::printf("ports_idle_cpu_not_watching: %.3f %%\n", idleWithout);
  std::printf("ports_idle_cpu_watching: %.3f %%\n", idleWith);
  std::printf("ports_appear_median: %.0f ms\n", bench::median(appear));
  std::printf("ports_watch_idle_cpu: %.3f %% (target <= %.1f)\n", sharePercent,
              kIdleShareTargetPercent);
  std::printf("ports_appear_max: %.0f ms (target <= %.0f)\n", appearMax, kAppearTargetMs);
  return sharePercent <= kIdleShareTargetPercent && appearMax <= kAppearTargetMs ? 0 : 1;
}
