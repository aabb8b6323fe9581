// SPDX-License-Identifier: MIT
#pragma once

#include "FakeTarvik.h"
#include "RecordingEditors.h"
#include "RecordingView.h"
#include "link/TransferMachine.h"
#include "support/ConnectLog.h"

#include <QTest>

#include <vector>

namespace tarvik::test {

using Bytes = std::vector<std::uint8_t>;
using Step = TransferMachine::Step;

inline constexpr int kWait = 5000;  // generous; every wait ends as soon as its condition holds

using tarvik::testing::kCompleteConnectLog;

inline const QString kMismatchText = QStringLiteral(
    "Your Tarvik Version does not match to this software! Please Update Firmware or Software!");

// One machine wired to a fake device, a recording view and recording editors.
struct Rig {
  FakeTarvik device;
  RecordingView view;
  RecordingEditors editors;
  TransferMachine machine{device, view, editors};

  Rig() {
    // Nothing may be given up while the device is still answering, however busy the machine;
    // the tests that want the watchdog make the device silent first.
    machine.setReplyWatchdog(60000);
    device.attach(&machine);
    for (int i = 0; i < kTableSize; ++i) {
      const auto row = static_cast<std::size_t>(i);
      editors.presets[row] = static_cast<std::uint8_t>(0xFF - i);
      editors.ccMap[row] = static_cast<std::uint8_t>(i % 8);
      editors.pcRemap[row] = static_cast<std::uint8_t>(i == 5 ? 0xFF : i);
    }
    for (int i = 0; i < kConfigRecordSize; ++i) {
      editors.record[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 11);
    }
  }

  bool button(ChainButton b) { return view.buttons[b]; }

  // Presses connect and lets the device answer until the machine is back at rest.
  bool connect() {
    machine.resetIdentifyCount();
    if (!machine.startConnect()) {
      return false;
    }
    return QTest::qWaitFor([this] { return !machine.chainRunning(); }, kWait);
  }
};

inline Bytes payloadOf(Command command, const std::vector<FakeTarvik::ReceivedCommand>& commands) {
  for (const auto& received : commands) {
    if (received.command == command) {
      return received.payload;
    }
  }
  return {};
}

template <std::size_t N>
Bytes bytes(const std::array<std::uint8_t, N>& table) {
  return Bytes(table.begin(), table.end());
}

inline Bytes frameOf(std::initializer_list<int> values) {
  Bytes frame;
  for (int v : values) {
    frame.push_back(static_cast<std::uint8_t>(v));
  }
  return frame;
}

}  // namespace tarvik::test
