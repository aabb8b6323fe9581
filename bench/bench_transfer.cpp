// SPDX-License-Identifier: MIT
// The program's own cost of a connect with the full download (on a fresh window, as the program
// leaves it once on screen: the device tabs built after its first frame), and of submitting
// everything (the advanced settings, then the three tables), against the in-process simulated
// Tarvik answering at once behind the in-memory MIDI service, set beside the time the same bytes
// take on a DIN MIDI wire. The window drives the real link; the simulator hands each reply over
// through the event loop, so wall time also holds those hand-overs; CPU time is the program's
// work alone. Also the one piece of work the window does after its first frame, building the
// device tabs, which holds up the event loop once.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/TForm1.h"
#include "app/TrafficWindow.h"
#include "bench/BenchStats.h"
#include "bench/SettledWindow.h"
#include "core/CoreParts.h"
#include "link/TransferMachine.h"
#include "midi/InMemoryMidiService.h"
#include "sim/InProcessTarvik.h"
#include "sim/TarvikContents.h"
#include "support/CoreWindow.h"
#include "support/FakeDialogs.h"

namespace {

using namespace tarvik;

constexpr int kSamples = 21;
constexpr int kChainGiveUpMs = 10000;
// 31,250 baud, ten bits a byte.
constexpr double kDinBytesPerSecond = 3125.0;

// The window over the simulated device's two pre-selected ports, shown like the real one.
// Nothing in these chains contacts the update server.
struct SimulatedDevice {
  SimulatedMidi sim{TarvikContents::fromSeed(7)};
  testing::FakeDialogs dialogs;
};

struct Rig : SimulatedDevice, testing::CoreWindow {
  Rig() : CoreWindow(dialogs, sim.ports()) {
    if (!bench::showSettled(*form, kChainGiveUpMs)) {
      qFatal("the window did not build its device tabs after its first frame");
    }
  }

  // True when the three tables of the window and of the device agree.
  bool tablesAgree() {
    const TarvikContents& device = sim.device().contents();
    const Configuration& configuration = core->configuration();
    return configuration.presetPayload() == device.presets &&
           configuration.ccMapPayload() == device.ccMap &&
           configuration.pcRemapPayload() == device.pcRemap;
  }
  bool recordAgrees() {
    return core->configuration().recordBytes() == sim.device().contents().configRecord;
  }
};

struct Sample {
  double wallMs = 0;
  double cpuMs = 0;
  Sample& operator+=(const Sample& other) {
    wallMs += other.wallMs;
    cpuMs += other.cpuMs;
    return *this;
  }
};

// Presses the button and runs the event loop until the chain it started has ended and the
// window has drawn the outcome. Nothing when the chain never ended or ended with a box.
std::optional<Sample> pressAndAwaitChain(Rig& rig, const char* buttonName) {
  QPushButton* button = rig.button(buttonName);
  const std::size_t boxesBefore = rig.dialogs.errors.size() + rig.dialogs.warnings.size();
  QEventLoop loop;
  bool ended = false;
  QObject::connect(rig.core.get(), &ConfiguratorCore::busyChanged, &loop, [&](bool busy) {
    if (!busy) {
      ended = true;
      loop.quit();
    }
  });
  QTimer::singleShot(kChainGiveUpMs, &loop, &QEventLoop::quit);

  const double cpuBefore = bench::processCpuMs();
  QElapsedTimer wall;
  wall.start();
  button->click();
  if (!ended) loop.exec();
  // The last log lines and the re-enabled button are part of what the user waits for.
  QApplication::processEvents();
  const Sample sample{static_cast<double>(wall.nsecsElapsed()) / 1e6,
                      bench::processCpuMs() - cpuBefore};

  if (!ended || rig.core->busy() || !button->isEnabled()) {
    std::fprintf(stderr, "the chain of %s did not end\n", buttonName);
    return std::nullopt;
  }
  if (rig.dialogs.errors.size() + rig.dialogs.warnings.size() != boxesBefore) {
    const auto& box =
        rig.dialogs.errors.empty() ? rig.dialogs.warnings.back() : rig.dialogs.errors.back();
    std::fprintf(stderr, "%s: %s\n", qPrintable(box.caption), qPrintable(box.text));
    return std::nullopt;
  }
  return sample;
}

// One user action: the buttons pressed one after the other, each once the chain before it has
// ended; the samples add up.
using Action = std::vector<const char*>;

std::optional<Sample> perform(Rig& rig, const Action& action) {
  Sample total;
  for (const char* buttonName : action) {
    const std::optional<Sample> sample = pressAndAwaitChain(rig, buttonName);
    if (!sample) return std::nullopt;
    total += *sample;
  }
  return total;
}

// Bytes on the wire in both directions for one action: every message the program sent and
// every SysEx message it received. Counted on an untimed run so the timed ones run as usual.
std::optional<std::size_t> wireBytesOf(Rig& rig, const Action& action) {
  InMemoryMidiService& service = rig.sim.service();
  service.clearSent(rig.sim.outPort());
  std::size_t received = 0;
  QObject counter;
  QObject::connect(
      &CoreParts::link(*rig.core), &DeviceLink::sysExReceived, &counter,
      [&received](int, const std::vector<std::uint8_t>& frame) { received += frame.size(); });
  if (!perform(rig, action)) return std::nullopt;
  std::size_t sent = 0;
  for (const auto& message : service.sent(rig.sim.outPort())) sent += message.size();
  service.clearSent(rig.sim.outPort());
  return sent + received;
}

struct Figures {
  double wallMs = 0;
  double cpuMs = 0;
  double wireMs = 0;
};

bool report(const char* name, const Figures& figures) {
  // From wall time: what the user waits for on top of the wire.
  const double sharePercent = figures.wallMs / figures.wireMs * 100.0;
  std::printf("%s_wall: %.2f ms (target <= 5 ms)\n", name, figures.wallMs);
  std::printf("%s_cpu: %.2f ms (target <= 5 ms)\n", name, figures.cpuMs);
  std::printf("din_wire_%s: %.0f ms\n", name, figures.wireMs);
  std::printf("%s_share_of_wire_time: %.2f %% (target <= 2 %%)\n", name, sharePercent);
  return figures.wallMs <= 5 && figures.cpuMs <= 5 && sharePercent <= 2;
}

// The figures of one action in windows made by `makeRig`. A fresh window for every sample: the
// event log's length is part of the cost of every logged step, so each sample starts from the
// same log. Every run must leave the window's and the device's contents alike, or its time
// means nothing.
std::optional<Figures> measure(const std::function<std::unique_ptr<Rig>()>& makeRig,
                               const Action& action, const std::function<bool(Rig&)>& agree,
                               const char* mismatch) {
  Figures figures;
  {
    const std::unique_ptr<Rig> rig = makeRig();
    if (!rig) return std::nullopt;
    const std::optional<std::size_t> bytes = wireBytesOf(*rig, action);
    if (!bytes || !agree(*rig)) {
      std::fprintf(stderr, "%s\n", mismatch);
      return std::nullopt;
    }
    figures.wireMs = static_cast<double>(*bytes) / kDinBytesPerSecond * 1000.0;
  }
  std::vector<double> wall;
  std::vector<double> cpu;
  for (int sample = 0; sample < kSamples; ++sample) {
    const std::unique_ptr<Rig> rig = makeRig();
    if (!rig) return std::nullopt;
    const std::optional<Sample> timed = perform(*rig, action);
    if (!timed) return std::nullopt;
    if (!agree(*rig)) {
      std::fprintf(stderr, "%s\n", mismatch);
      return std::nullopt;
    }
    wall.push_back(timed->wallMs);
    cpu.push_back(timed->cpuMs);
  }
  figures.wallMs = bench::median(wall);
  figures.cpuMs = bench::median(cpu);
  return figures;
}

// A window connected to the device, whose contents the device then forgets (factory contents),
// so that a block the submit fails to carry shows.
std::unique_ptr<Rig> connectedRigWithFactoryDevice() {
  auto rig = std::make_unique<Rig>();
  if (!pressAndAwaitChain(*rig, "Button1")) return nullptr;
  const TarvikContents factory = TarvikContents::factory();
  const Configuration& configuration = rig->core->configuration();
  if (configuration.presetPayload() == factory.presets ||
      configuration.ccMapPayload() == factory.ccMap ||
      configuration.pcRemapPayload() == factory.pcRemap ||
      configuration.recordBytes() == factory.configRecord) {
    std::fprintf(stderr, "a downloaded block equals the factory's\n");
    return nullptr;
  }
  rig->sim.device().setContents(factory);
  return rig;
}

// A window with its traffic view open (and drawn) before the connect: the view lists every
// message of the chain, and that is part of what the user waits for.
std::unique_ptr<Rig> rigWithTrafficView() {
  auto rig = std::make_unique<Rig>();
  rig->button("TrafficButton")->click();
  QApplication::processEvents();
  return rig;
}

// The list's one refresh after such a connect (TrafficModel::kRefreshMs after its first
// message, while nobody waits for it any more): the rows appear and the window repaints.
std::optional<double> trafficRefreshCpuMs() {
  std::vector<double> cpu;
  for (int sample = 0; sample < kSamples; ++sample) {
    const std::unique_ptr<Rig> rig = rigWithTrafficView();
    if (!pressAndAwaitChain(*rig, "Button1")) return std::nullopt;
    const double before = bench::processCpuMs();
    rig->form->trafficWindow()->model().flush();
    QApplication::processEvents();
    cpu.push_back(bench::processCpuMs() - before);
  }
  return bench::median(cpu);
}

// From the identify reply that makes the window show its device tabs to the tabs being usable:
// shown, and the presets tab opened and drawn, as the user's first click on it asks. The
// download's first reply is held meanwhile, so that none of it runs inside the figure.
std::optional<double> identifyToUsableMs() {
  Rig rig;
  InProcessTarvik& tarvik = rig.sim.tarvik();
  tarvik.holdReplies(true);
  QEventLoop loop;
  QObject::connect(&tarvik, &InProcessTarvik::replyHeld, &loop, &QEventLoop::quit);
  QTimer giveUp;
  giveUp.setSingleShot(true);
  QObject::connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);
  giveUp.start(kChainGiveUpMs);
  rig.button("Button1")->click();
  // The burst's replies are passed on one by one until the one the window acts on is held.
  while (CoreParts::machine(*rig.core).identifyCount() < 6 || tarvik.pendingReplies() == 0) {
    if (tarvik.pendingReplies() == 0) loop.exec();
    if (!giveUp.isActive()) return std::nullopt;
    if (CoreParts::machine(*rig.core).identifyCount() < 6) tarvik.releaseHeld();
  }
  auto* pages = rig.form->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
  QElapsedTimer usable;
  usable.start();
  tarvik.releaseHeld();
  // The reply arrives through the event loop; the tabs come up inside its handler.
  while (pages->count() < 5 || !pages->isTabVisible(1)) {
    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (usable.elapsed() > kChainGiveUpMs) return std::nullopt;
  }
  pages->setCurrentIndex(1);
  rig.form->repaint();
  const double ms = static_cast<double>(usable.nsecsElapsed()) / 1e6;
  tarvik.holdReplies(false);
  tarvik.releaseHeld();
  return ms;
}

// Building the four device tabs, as the window does once after its first frame: the event loop
// is held up that long, once.
double deviceTabsBuildMs() {
  SimulatedMidi sim{TarvikContents::fromSeed(7)};
  testing::FakeDialogs dialogs;
  testing::CoreWindow window(dialogs, sim.ports());
  QElapsedTimer wall;
  wall.start();
  window.form->buildDeviceTabs();
  return static_cast<double>(wall.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  bench::offscreenUnlessChosen();
  QApplication app(argc, argv);

  // The connect a user makes after start-up: ports opened and the four tabs shown the first time.
  const std::optional<Figures> connect =
      measure([] { return std::make_unique<Rig>(); }, Action{"Button1"}, &Rig::tablesAgree,
              "the download left tables that differ from the device's");
  if (!connect) return bench::failed("connect and download did not complete");
  const std::optional<Figures> connectWithTraffic = measure(
      rigWithTrafficView, Action{"Button1"},
      [](Rig& rig) {
        // Seven identify exchanges and four downloads, three messages each.
        TrafficModel& listed = rig.form->trafficWindow()->model();
        listed.flush();
        return rig.tablesAgree() && listed.rowCount() == 33;
      },
      "the download with the traffic view open left other tables or another list");
  if (!connectWithTraffic)
    return bench::failed("connect and download with the traffic view open did not complete");
  const std::optional<double> trafficRefresh = trafficRefreshCpuMs();
  if (!trafficRefresh) return 1;
  // Submit on the advanced settings tab, then on the presets tab: all four blocks.
  const std::optional<Figures> submit = measure(
      connectedRigWithFactoryDevice, Action{"Button2", "Button3"},
      [](Rig& rig) { return rig.tablesAgree() && rig.recordAgrees(); },
      "the device did not receive the window's configuration");
  if (!submit) return bench::failed("submitting everything did not complete");
  std::vector<double> usable;
  for (int sample = 0; sample < kSamples; ++sample) {
    const std::optional<double> ms = identifyToUsableMs();
    if (!ms) return bench::failed("the identify reply did not bring the device tabs up");
    usable.push_back(*ms);
  }
  const double usableMs = bench::median(usable);
  std::vector<double> builds;
  for (int sample = 0; sample < kSamples; ++sample) builds.push_back(deviceTabsBuildMs());
  const double buildMs = bench::median(builds);
  bool met = report("connect_download", *connect);
  met = report("submit_all", *submit) && met;
  met = report("connect_download_with_traffic_view", *connectWithTraffic) && met;
  std::printf("connect_download_traffic_view_refresh_cpu: %.2f ms\n", *trafficRefresh);
  std::printf("identify_reply_to_tabs_usable: %.2f ms (target <= 30 ms)\n", usableMs);
  std::printf("device_tabs_built_after_first_frame: %.2f ms (target <= 16 ms)\n", buildMs);
  met = met && usableMs <= 30 && buildMs <= 16;
  return met ? 0 : 1;
}
