// SPDX-License-Identifier: MIT
#pragma once

#include "config/Configuration.h"
#include "link/DeviceLink.h"
#include "link/TransferMachine.h"
#include "midi/InMemoryMidiService.h"
#include "midi/MidiPorts.h"
#include "sim/InProcessTarvik.h"
#include "support/ConnectLog.h"

#include <QObject>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>

#include <functional>
#include <map>
#include <vector>

namespace tarvik::test {

using Bytes = std::vector<std::uint8_t>;
using Step = TransferMachine::Step;

inline constexpr int kWait = 20000;  // generous; every wait ends as soon as its condition holds

using tarvik::testing::kCompleteConnectLog;

inline QString nameOf(Block block) {
  switch (block) {
    case Block::Presets:
      return QStringLiteral("Presets");
    case Block::CcMap:
      return QStringLiteral("CcMap");
    case Block::PcRemap:
      return QStringLiteral("PcRemap");
    case Block::Record:
      return QStringLiteral("Record");
  }
  return {};
}

inline QString nameOf(Chain chain) {
  switch (chain) {
    case Chain::Connect:
      return QStringLiteral("Connect");
    case Chain::SubmitConfig:
      return QStringLiteral("SubmitConfig");
    case Chain::SubmitPresets:
      return QStringLiteral("SubmitPresets");
  }
  return {};
}

inline QString nameOf(ChainAbort why) {
  switch (why) {
    case ChainAbort::NoReply:
      return QStringLiteral("NoReply");
    case ChainAbort::SendFailed:
      return QStringLiteral("SendFailed");
    case ChainAbort::PortGone:
      return QStringLiteral("PortGone");
  }
  return {};
}

// Everything the machine reports, one entry per signal in the order they came, so that tests
// check both what was reported and in which order ("running:on", "log:submit config",
// "finished:SubmitConfig", "refused:Record:0x00", ...).
class MachineEvents : public QObject {
 public:
  QStringList all;
  QStringList log;  // the log lines alone
  std::map<Block, QByteArray> stored;

  explicit MachineEvents(TransferMachine& machine) {
    connect(&machine, &TransferMachine::logLine, this, [this](const QString& line) {
      log << line;
      all << QStringLiteral("log:") + line;
    });
    connect(&machine, &TransferMachine::chainRunningChanged, this, [this](bool running) {
      all << (running ? QStringLiteral("running:on") : QStringLiteral("running:off"));
    });
    connect(&machine, &TransferMachine::identified, this,
            [this](const QString& version, bool compatible) {
              all << QStringLiteral("identified:%1:%2")
                         .arg(version, compatible ? QStringLiteral("same") : QStringLiteral("other"));
            });
    connect(&machine, &TransferMachine::connectTimedOut, this,
            [this] { all << QStringLiteral("timedOut"); });
    connect(&machine, &TransferMachine::received, this,
            [this](Block block) { all << QStringLiteral("received:") + nameOf(block); });
    connect(&machine, &TransferMachine::stored, this, [this](Block block, const QByteArray& sent) {
      stored[block] = sent;
      all << QStringLiteral("stored:") + nameOf(block);
    });
    connect(&machine, &TransferMachine::refused, this, [this](Block block, std::uint8_t status) {
      const QString hex = QStringLiteral("%1").arg(status, 2, 16, QLatin1Char('0')).toUpper();
      all << QStringLiteral("refused:%1:0x%2").arg(nameOf(block), hex);
    });
    connect(&machine, &TransferMachine::chainFinished, this,
            [this](Chain chain) { all << QStringLiteral("finished:") + nameOf(chain); });
    connect(&machine, &TransferMachine::chainAborted, this,
            [this](Chain chain, ChainAbort why, const QString& activity, const QString& detail) {
              all << QStringLiteral("aborted:%1:%2:%3:%4")
                         .arg(nameOf(chain), nameOf(why), activity, detail);
            });
  }

  QStringList matching(const QString& prefix) const {
    QStringList found;
    for (const QString& event : all) {
      if (event.startsWith(prefix)) found << event;
    }
    return found;
  }
  void clear() {
    all.clear();
    log.clear();
    stored.clear();
  }
};

// Contents within every editor's range, with the Pin-20 function on "CC Message" so that all 20
// record items come back from the configuration as they were received.
inline TarvikContents knownContents(std::uint32_t seed) {
  TarvikContents contents = TarvikContents::fromSeed(seed);
  contents.configRecord[8] = 2;
  return contents;
}

// The simulated Tarvik behind the in-memory ports, the real link opened on its two "Tarvik
// MIDI" ports, and the machine over the link and a configuration, wired as the program wires
// them. The configuration starts out unlike the device, so that a block that was not carried
// shows.
struct Rig {
  SimulatedMidi sim{knownContents(11)};
  Configuration configuration;
  DeviceLink link{sim.ports()};
  TransferMachine machine{link, configuration};
  MachineEvents events{machine};
  const int defaultConnectTimeout = machine.connectTimer().interval();

  Rig() {
    // Nothing may be given up while the device is still answering, however busy the machine;
    // the tests that want a wait to run out make the device silent or hold its reply first.
    machine.setConnectTimeout(60000);
    machine.setReplyWatchdog(60000);
    QObject::connect(&link, &DeviceLink::sysExReceived, &machine, &TransferMachine::receiveFrame);
    link.open(sim.inPort(), sim.outPort());
    const TarvikContents edited = knownContents(12);
    configuration.applyPresets(edited.presets);
    configuration.applyCcMap(edited.ccMap);
    configuration.applyPcRemap(edited.pcRemap);
    configuration.applyRecord(edited.configRecord);
  }

  TarvikDevice& device() { return sim.device(); }
  InProcessTarvik& tarvik() { return sim.tarvik(); }
  void setFaults(const std::function<void(SimFaults&)>& change) {
    SimFaults faults = device().faults();
    change(faults);
    device().setFaults(faults);
  }

  // Every frame the program put on the wire to the device.
  std::vector<Bytes> wire() { return sim.service().sent(sim.outPort()); }
  // The command bytes of what the device received, in order.
  std::vector<int> commands() { return commandsFrom(0); }
  std::vector<int> commandsFrom(std::size_t first) {
    std::vector<int> codes;
    const auto& received = device().received();
    for (std::size_t i = first; i < received.size(); ++i) codes.push_back(received[i].command);
    return codes;
  }
  Bytes payloadOf(Command command) {
    for (const auto& received : device().received()) {
      if (received.command == static_cast<std::uint8_t>(command)) return received.payload;
    }
    return {};
  }
  int commandCount() { return static_cast<int>(device().received().size()); }

  // Runs the event loop until the running chain has ended (at once when none runs).
  bool settle() {
    return QTest::qWaitFor([this] { return !machine.chainRunning(); }, kWait);
  }
  // Waits until the device has taken this many commands in all.
  bool awaitCommands(int count) {
    return QTest::qWaitFor([this, count] { return commandCount() >= count; }, kWait);
  }

  bool start(Chain chain) {
    switch (chain) {
      case Chain::Connect:
        machine.resetIdentifyCount();
        return machine.startConnect();
      case Chain::SubmitConfig:
        return machine.startSubmitConfig();
      case Chain::SubmitPresets:
        return machine.startSubmitPresets();
    }
    return false;
  }
  // Presses connect and lets the device answer until the machine is back at rest.
  bool connect() { return start(Chain::Connect) && settle(); }

  // Hands a frame to the link's input as if the device had sent it and returns once the machine
  // has dealt with it: a short message delivered behind it on the same port comes out of the
  // link only afterwards.
  bool deliver(const Bytes& frame) {
    QSignalSpy sentinel(&link, &DeviceLink::shortReceived);
    sim.service().deliverSysEx(sim.inPort(), frame);
    sim.service().deliverShort(sim.inPort(), 0xB0, 0x7F, 0x00);
    return sentinel.wait(kWait);
  }
};

template <std::size_t N>
Bytes bytes(const std::array<std::uint8_t, N>& table) {
  return Bytes(table.begin(), table.end());
}

inline Bytes bytes(const QByteArray& data) { return Bytes(data.begin(), data.end()); }

inline Bytes frameOf(std::initializer_list<int> values) {
  Bytes frame;
  for (int v : values) {
    frame.push_back(static_cast<std::uint8_t>(v));
  }
  return frame;
}

inline std::vector<int> codesOf(std::initializer_list<Command> commands) {
  std::vector<int> codes;
  for (Command command : commands) codes.push_back(static_cast<int>(command));
  return codes;
}

}  // namespace tarvik::test
