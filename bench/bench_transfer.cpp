// SPDX-License-Identifier: MIT
// The program's own cost of a connect with the full download, and of submitting the three
// tables, against the in-process simulated Tarvik answering at once, set beside the time the
// same bytes take on a DIN MIDI wire. The simulator hands each reply over through the event
// loop, so wall time also holds those hand-overs; CPU time is the program's work alone.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/TForm1.h"
#include "bench/BenchStats.h"
#include "link/TransferMachine.h"
#include "midi/InMemoryMidiService.h"
#include "midi/MidiDevices.h"
#include "sim/InProcessTarvik.h"
#include "sim/TarvikContents.h"
#include "support/FakeDialogs.h"

namespace {

using namespace tarvik;

constexpr int kSamples = 21;
constexpr int kChainGiveUpMs = 10000;
// 31,250 baud, ten bits a byte.
constexpr double kDinBytesPerSecond = 3125.0;

// The window with the simulated device behind both of its pre-selected ports, shown like the
// real one. Nothing in these chains contacts the update server.
struct Rig {
  testing::FakeDialogs dialogs;
  std::unique_ptr<InProcessTarvik> sim;
  std::unique_ptr<TForm1> form;

  Rig() {
    sim = installInProcessTarvik(TarvikContents::fromSeed(7));
    form = std::make_unique<TForm1>(dialogs,
                                    QUrl(QStringLiteral("http://127.0.0.1:9/downloads/tarvik/")));
    form->show();
    QApplication::processEvents();
  }
  ~Rig() {
    form.reset();
    sim.reset();
    DestroyMidiDevices();
  }
  Rig(const Rig&) = delete;
  Rig& operator=(const Rig&) = delete;

  QPushButton* button(const char* name) const {
    auto* found = form->findChild<QPushButton*>(QString::fromLatin1(name));
    if (found == nullptr) qFatal("no button named %s", name);
    return found;
  }
  // True when the three tables of the window and of the device agree.
  bool tablesAgree() const {
    const TarvikContents& device = sim->device().contents();
    return form->presetPayload() == device.presets && form->ccMapPayload() == device.ccMap &&
           form->pcRemapPayload() == device.pcRemap;
  }
};

struct Sample {
  double wallMs = 0;
  double cpuMs = 0;
};

// Presses the button and runs the event loop until the chain it started has ended and the
// window has drawn the outcome. Nothing when the chain never ended or ended with an error box.
std::optional<Sample> pressAndAwaitChain(Rig& rig, const char* buttonName) {
  QPushButton* button = rig.button(buttonName);
  const std::size_t errorsBefore = rig.dialogs.errors.size();
  QEventLoop loop;
  bool ended = false;
  QObject::connect(&rig.form->machine(), &TransferMachine::chainRunningChanged, &loop,
                   [&](bool running) {
                     if (!running) {
                       ended = true;
                       loop.quit();
                     }
                   });
  QTimer giveUp;
  giveUp.setSingleShot(true);
  QObject::connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);
  giveUp.start(kChainGiveUpMs);

  const double cpuBefore = bench::processCpuMs();
  QElapsedTimer wall;
  wall.start();
  button->click();
  if (!ended) loop.exec();
  // The last log lines and the re-enabled button are part of what the user waits for.
  QApplication::processEvents();
  const Sample sample{static_cast<double>(wall.nsecsElapsed()) / 1e6,
                      bench::processCpuMs() - cpuBefore};

  if (!ended || rig.form->machine().chainRunning() || !button->isEnabled()) {
    std::fprintf(stderr, "the chain of %s did not end\n", buttonName);
    return std::nullopt;
  }
  if (rig.dialogs.errors.size() != errorsBefore) {
    const auto& box = rig.dialogs.errors.back();
    std::fprintf(stderr, "%s: %s\n", qPrintable(box.caption), qPrintable(box.text));
    return std::nullopt;
  }
  return sample;
}

// Bytes on the wire in both directions for one chain: every message the program sent and
// every SysEx message it received. Counted on an untimed run so the timed ones run unwrapped.
std::optional<std::size_t> wireBytesOfChain(Rig& rig, const char* buttonName) {
  InMemoryMidiService& service = rig.sim->service();
  const int outputs = static_cast<int>(service.outGetNumDevs());
  for (int port = 0; port < outputs; ++port) service.clearSent(port);

  std::size_t received = 0;
  const TMidiInput::SysExHandler handler = MidiIn().OnSysExMessage;
  MidiIn().OnSysExMessage = [&received, handler](int port, const TMemoryStream& stream) {
    received += stream.size();
    handler(port, stream);
  };
  const bool ran = pressAndAwaitChain(rig, buttonName).has_value();
  MidiIn().OnSysExMessage = handler;
  if (!ran) return std::nullopt;

  std::size_t sent = 0;
  for (int port = 0; port < outputs; ++port) {
    for (const auto& message : service.sent(port)) sent += message.size();
    service.clearSent(port);
  }
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
  std::printf("din_wire_%s: %.0f ms (target >= 0 ms)\n", name, figures.wireMs);
  std::printf("%s_share_of_wire_time: %.2f %% (target <= 2 %%)\n", name, sharePercent);
  return figures.wallMs <= 5 && figures.cpuMs <= 5 && sharePercent <= 2;
}

// The figures of one chain, started by `buttonName` in windows made by `makeRig`. A fresh window
// for every sample: the event log's length is part of the cost of every logged step, so each
// sample starts from the same log. Every run must leave the window's and the device's tables
// alike, or its time means nothing.
std::optional<Figures> measureChain(const std::function<std::unique_ptr<Rig>()>& makeRig,
                                    const char* buttonName, const char* mismatch) {
  Figures figures;
  {
    const std::unique_ptr<Rig> rig = makeRig();
    if (!rig) return std::nullopt;
    const std::optional<std::size_t> bytes = wireBytesOfChain(*rig, buttonName);
    if (!bytes || !rig->tablesAgree()) return std::nullopt;
    figures.wireMs = static_cast<double>(*bytes) / kDinBytesPerSecond * 1000.0;
  }
  std::vector<double> wall;
  std::vector<double> cpu;
  for (int sample = 0; sample < kSamples; ++sample) {
    const std::unique_ptr<Rig> rig = makeRig();
    if (!rig) return std::nullopt;
    const std::optional<Sample> timed = pressAndAwaitChain(*rig, buttonName);
    if (!timed) return std::nullopt;
    if (!rig->tablesAgree()) {
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

// A window connected to the device, whose contents the device then forgets (factory tables),
// so that a table the submit fails to carry shows.
std::unique_ptr<Rig> connectedRigWithFactoryDevice() {
  auto rig = std::make_unique<Rig>();
  if (!pressAndAwaitChain(*rig, "Button1")) return nullptr;
  const TarvikContents factory = TarvikContents::factory();
  if (rig->form->presetPayload() == factory.presets && rig->form->ccMapPayload() == factory.ccMap &&
      rig->form->pcRemapPayload() == factory.pcRemap) {
    std::fprintf(stderr, "the downloaded tables equal the factory tables\n");
    return nullptr;
  }
  rig->sim->device().setContents(factory);
  return rig;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);

  // The connect a user makes after start-up: ports opened and the four tabs shown the first time.
  const std::optional<Figures> connect =
      measureChain([] { return std::make_unique<Rig>(); }, "Button1",
                   "the download left tables that differ from the device's");
  if (!connect) {
    std::fprintf(stderr, "connect and download did not complete\n");
    return 1;
  }
  const std::optional<Figures> submit = measureChain(
      connectedRigWithFactoryDevice, "Button3", "the device did not receive the window's tables");
  if (!submit) {
    std::fprintf(stderr, "submitting the three tables did not complete\n");
    return 1;
  }
  bool met = report("connect_download", *connect);
  met = report("submit_all", *submit) && met;
  return met ? 0 : 1;
}
