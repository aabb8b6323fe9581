// SPDX-License-Identifier: MIT
// A 256-page flash through the real device link and the in-memory MIDI service to the simulated
// Tarvik answering at once: 33,540 bytes for the device, each in a SysEx frame of its own, and a
// 128-byte read-back after every page. Then the cost of waiting on a bootloader that never
// answers, which must be next to nothing: the flash waits on events, never in a loop.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <optional>

#include "bench/BenchStats.h"
#include "config/Configuration.h"
#include "firmware/FirmwareImage.h"
#include "firmware/Flasher.h"
#include "link/DeviceLink.h"
#include "link/TransferMachine.h"
#include "midi/InMemoryMidiService.h"
#include "sim/InProcessTarvik.h"
#include "sim/fixtures/FirmwareFixture.h"

namespace {

using namespace tarvik;

constexpr int kPages = 256;
// Marker and command byte of EnterBootloader, 131 bytes a page, then WriteRamToFlash.
constexpr std::size_t kBytesForDevice = 2 + kPages * 131 + 2;

// The program's side as the window wires it, over the simulated device's two ports.
struct Rig {
  SimulatedMidi sim;
  Configuration configuration;
  DeviceLink link{sim.ports()};
  TransferMachine machine{link, configuration};
  Flasher flasher{link, machine};

  Rig() {
    QObject::connect(&link, &DeviceLink::sysExReceived, &machine, &TransferMachine::receiveFrame);
    QObject::connect(&link, &DeviceLink::sysExReceived, &flasher, &Flasher::receiveFrame);
    link.open(sim.inPort(), sim.outPort());
  }
};

FirmwareImage benchImage() {
  return FirmwareImage::fromBody(
      fixtures::FirmwareFixture::firmwareBody(fixtures::FirmwareFixture::seededPages(kPages, 42)));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const FirmwareImage image = benchImage();
  if (!image.ok() || image.pageCount() != kPages)
    return bench::failed("the benchmark's firmware image was refused");
  bool met = true;

  {
    Rig rig;
    std::optional<FlashEnd> end;
    QEventLoop loop;
    QObject::connect(&rig.flasher, &Flasher::finished, &loop,
                     [&](FlashEnd how, const QString&) {
                       end = how;
                       loop.quit();
                     });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    const double cpuBefore = bench::processCpuMs();
    QElapsedTimer wall;
    wall.start();
    rig.flasher.start(image);
    if (!end) loop.exec();
    const double wallMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    const double cpuMs = bench::processCpuMs() - cpuBefore;
    const std::size_t frames = rig.sim.service().sent(rig.sim.outPort()).size();
    if (end != FlashEnd::Flashed || rig.sim.device().flash().pages.size() != kPages ||
        !rig.sim.device().flash().writtenToFlash || frames != kBytesForDevice)
      return bench::failed("the 256-page flash did not complete");
    std::printf("flash_256_pages_bytes_for_device: %zu bytes\n", frames);
    std::printf("flash_256_pages_wall: %.1f ms (target <= 1000 ms)\n", wallMs);
    std::printf("flash_256_pages_cpu: %.1f ms (target <= 1000 ms)\n", cpuMs);
    met = met && wallMs <= 1000 && cpuMs <= 1000;
  }

  {
    Rig rig;
    SimFaults silentBootloader;
    silentBootloader.answerFirst = 0;
    rig.sim.device().setFaults(silentBootloader);
    rig.flasher.setReplyTimeout(60000);
    QEventLoop loop;
    double cpuBefore = 0;
    bool waiting = false;
    QObject::connect(&rig.flasher, &Flasher::logLine, &loop, [&](const QString& line) {
      if (line != QLatin1String("Entering bootloader")) return;
      waiting = true;
      // Measured from once the command has gone out and the flash has returned to the loop.
      QTimer::singleShot(0, &loop, [&] {
        cpuBefore = bench::processCpuMs();
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
      });
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    rig.flasher.start(image);
    loop.exec();
    const double cpuMs = bench::processCpuMs() - cpuBefore;
    if (!waiting || !rig.flasher.running() ||
        rig.flasher.stage() != Flasher::Stage::EnteringBootloader)
      return bench::failed("the flash never reached its wait for the bootloader");
    const double percent = cpuMs / 2000.0 * 100.0;
    std::printf("idle_wait_cpu: %.2f %% (target <= 1 %%)\n", percent);
    met = met && percent <= 1.0;
  }
  return met ? 0 : 1;
}
