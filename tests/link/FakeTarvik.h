// SPDX-License-Identifier: MIT
#pragma once

#include "link/Framing.h"
#include "link/TransferMachine.h"
#include "midi/MidiDevices.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace tarvik::test {

// A device at the far end of the link. It takes each byte as the nibble frame that would go on
// the wire, decodes the frame, assembles whole commands by their fixed payload length and
// answers each one the way the firmware does. Answers reach the machine through the event loop,
// never from inside SendByte, as they do from the MIDI layer.
class FakeTarvik : public QObject, public LinkPort {
 public:
  struct ReceivedCommand {
    Command command;
    std::vector<std::uint8_t> payload;
    bool operator==(const ReceivedCommand&) const = default;
  };

  std::uint8_t major = 1;
  std::uint8_t minor = 9;
  std::uint8_t submitStatus = kStatusSuccess;
  std::array<std::uint8_t, kTableSize> presets{};
  std::array<std::uint8_t, kTableSize> ccMap{};
  std::array<std::uint8_t, kTableSize> pcRemap{};
  std::vector<std::uint8_t> record;  // usually 20 items; more make a longer reply 3
  // Answers still to give; none once it reaches 0. Negative: answers everything.
  int answersLeft = -1;
  // The SendByte call (1-based) that fails as the MIDI layer would; 0: none fails.
  int failAtByte = 0;

  std::vector<std::array<std::uint8_t, 4>> wire;  // every frame sent, in order
  std::vector<ReceivedCommand> commands;
  int stray = 0;  // bytes outside a command or malformed frames; must stay 0

  FakeTarvik() {
    for (int i = 0; i < kTableSize; ++i) {
      const auto row = static_cast<std::size_t>(i);
      presets[row] = static_cast<std::uint8_t>(i * 37 + 1);
      ccMap[row] = static_cast<std::uint8_t>(i % 9);
      pcRemap[row] = static_cast<std::uint8_t>(127 - i);
    }
    for (int i = 0; i < kConfigRecordSize; ++i) {
      record.push_back(static_cast<std::uint8_t>(0xA0 + i));
    }
  }

  void attach(TransferMachine* machine) { machine_ = machine; }

  void SendByte(std::uint8_t value) override {
    if (++bytesSent_ == failAtByte) {
      throw TMidiError("TMidiOutput: Device index out of bounds! (-1)");
    }
    const auto frame = nibbleFrame(value);
    wire.push_back(frame);
    if (frame[0] != 0xF0 || frame[3] != 0xF7 || frame[1] > 0x0F || frame[2] > 0x0F) {
      ++stray;
      return;
    }
    take(static_cast<std::uint8_t>((frame[1] << 4) | frame[2]));
  }

  // The frame the firmware sends in answer to a command.
  std::vector<std::uint8_t> replyTo(Command command) const {
    const auto code = static_cast<std::uint8_t>(command);
    switch (command) {
      case Command::Identify: {
        const std::array<std::uint8_t, 2> version{major, minor};
        return buildReplyFrame(code, version);
      }
      case Command::DownloadPresets:
        return buildReplyFrame(code, presets);
      case Command::DownloadConfig:
        return buildReplyFrame(code, record);
      case Command::DownloadCcMap:
        return buildReplyFrame(code, ccMap);
      case Command::DownloadPcRemap:
        return buildReplyFrame(code, pcRemap);
      case Command::SubmitConfig:
      case Command::SubmitPresets: {
        const std::array<std::uint8_t, 1> status{submitStatus};
        return buildReplyFrame(code, status);
      }
      default:
        return buildReplyFrame(code, {});
    }
  }

  int count(Command command) const {
    int n = 0;
    for (const auto& received : commands) {
      n += received.command == command ? 1 : 0;
    }
    return n;
  }

  std::vector<Command> commandSequence() const {
    std::vector<Command> sequence;
    for (const auto& received : commands) {
      sequence.push_back(received.command);
    }
    return sequence;
  }

  void forget() {
    wire.clear();
    commands.clear();
  }

 private:
  void take(std::uint8_t value) {
    if (!pending_) {
      if (value != kCommandMarker) {
        ++stray;
        return;
      }
      pending_ = ReceivedCommand{};
      awaitingCode_ = true;
      return;
    }
    if (awaitingCode_) {
      awaitingCode_ = false;
      pending_->command = static_cast<Command>(value);
      remaining_ = payloadLength(pending_->command);
    } else {
      pending_->payload.push_back(value);
      --remaining_;
    }
    if (remaining_ == 0) {
      commands.push_back(*pending_);
      const Command command = pending_->command;
      pending_.reset();
      answer(command);
    }
  }

  void answer(Command command) {
    if (answersLeft == 0 || !machine_) {
      return;
    }
    if (answersLeft > 0) {
      --answersLeft;
    }
    QTimer::singleShot(0, this, [this, frame = replyTo(command)] {
      if (machine_) {
        machine_->DoSysExData(frame);
      }
    });
  }

  QPointer<TransferMachine> machine_;
  std::optional<ReceivedCommand> pending_;
  bool awaitingCode_ = false;
  int remaining_ = 0;
  int bytesSent_ = 0;
};

}  // namespace tarvik::test
