// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QSignalSpy>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "config/Configuration.h"
#include "firmware/FirmwareImage.h"
#include "firmware/Flasher.h"
#include "link/DeviceLink.h"
#include "link/TransferMachine.h"
#include "midi/InMemoryMidiService.h"
#include "sim/InProcessTarvik.h"
#include "sim/fixtures/FirmwareFixture.h"

namespace tarvik::testing {

inline constexpr int kFlashWaitMs = 20000;

// The simulated Tarvik behind the in-memory ports, the real link on its two "Tarvik MIDI" ports,
// and the transfer machine and the flash over it, wired as in the program. Waits that must not
// run out are long; a test that wants one to run out shortens it where nothing else can come
// first.
struct FlashRig {
  SimulatedMidi sim;
  Configuration configuration;
  DeviceLink link{sim.ports()};
  TransferMachine machine{link, configuration};
  Flasher flasher{link, machine};
  QObject context;
  // The machine's and the flash's log lines, in the order they came.
  QStringList log;
  QList<QPair<int, int>> progress;
  // Called with every line as it is logged, before the flash goes on.
  std::function<void(const QString&)> onLog;

  FlashRig() {
    QObject::connect(&link, &DeviceLink::sysExReceived, &machine, &TransferMachine::receiveFrame);
    QObject::connect(&link, &DeviceLink::sysExReceived, &flasher, &Flasher::receiveFrame);
    link.open(sim.inPort(), sim.outPort());
    machine.setReplyWatchdog(60000);
    flasher.setReplyTimeout(60000);
    flasher.setWriteTimeout(60000);
    const auto logged = [this](const QString& line) {
      log << line;
      if (onLog) onLog(line);
    };
    QObject::connect(&machine, &TransferMachine::logLine, &context, logged);
    QObject::connect(&flasher, &Flasher::logLine, &context, logged);
    QObject::connect(&flasher, &Flasher::progress, &context,
                     [this](int done, int count) { progress.append({done, count}); });
  }

  TarvikDevice& device() { return sim.device(); }
  void setFaults(const std::function<void(SimFaults&)>& change) {
    SimFaults faults = device().faults();
    change(faults);
    device().setFaults(faults);
  }
  std::vector<std::vector<std::uint8_t>> wire() { return sim.service().sent(sim.outPort()); }
  std::vector<int> commands() {
    std::vector<int> codes;
    for (const auto& received : device().received()) codes.push_back(received.command);
    return codes;
  }
  int count(Command command) {
    int n = 0;
    for (const auto& received : device().received())
      n += received.command == static_cast<std::uint8_t>(command) ? 1 : 0;
    return n;
  }

  struct End {
    FlashEnd how;
    QString detail;
  };
  // Runs one flash of the image to its end; nothing when no end came.
  std::optional<End> flash(const FirmwareImage& image) {
    QSignalSpy finished(&flasher, &Flasher::finished);
    flasher.start(image);
    if (finished.isEmpty() && !finished.wait(kFlashWaitMs)) return std::nullopt;
    if (finished.size() != 1) return std::nullopt;
    return End{finished.first().at(0).value<FlashEnd>(), finished.first().at(1).toString()};
  }
};

inline FirmwareImage imageOf(const QList<QByteArray>& pages) {
  return FirmwareImage::fromBody(fixtures::FirmwareFixture::firmwareBody(pages));
}

}  // namespace tarvik::testing
