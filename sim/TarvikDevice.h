// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sim/FlashImage.h"
#include "sim/SimFaults.h"
#include "sim/TarvikContents.h"

namespace tarvik {

// The device behind the link, as the configurator sees it: it takes one byte per four-byte
// SysEx frame, assembles commands (marker 0xFF, command byte, fixed payload) and answers each
// with one reply frame. Contents persist between commands, so a submit followed by a download
// returns what was submitted. Plain C++ without threads: the caller feeds it from one thread and
// moves the replies wherever they go, applying faults().replyDelayMs itself.
class TarvikDevice {
 public:
  using FrameSink = std::function<void(std::vector<std::uint8_t> frame)>;
  using ShortSink =
      std::function<void(std::uint8_t status, std::uint8_t data1, std::uint8_t data2)>;
  using LogSink = std::function<void(const std::string& line)>;
  // Milliseconds on any steady scale.
  using Clock = std::function<std::int64_t()>;

  // One whole command as it arrived, for tests that check what the device was given.
  struct Received {
    std::uint8_t command = 0;
    std::vector<std::uint8_t> payload;
    bool answered = false;
    bool operator==(const Received&) const = default;
  };

  explicit TarvikDevice(TarvikContents contents = TarvikContents::factory());

  // Receives every frame the device sends, junk frames included, in order.
  void setReplySink(FrameSink sink) { replySink_ = std::move(sink); }
  // Receives the echoed short messages.
  void setShortSink(ShortSink sink) { shortSink_ = std::move(sink); }
  // Receives each log line as it is written (the lines are kept in log() as well).
  void setLogSink(LogSink sink) { logSink_ = std::move(sink); }
  // The time each SysEx message arrives at, for faults().dropFastMs: read exactly once per
  // message as receiveSysEx() takes it, so a test can drive it (the default is the steady
  // clock). Whoever feeds the device may hand over the time the MIDI system stamped a message
  // with instead of the time it gets round to it.
  void setClock(Clock msNow);

  void setVersion(std::uint8_t major, std::uint8_t minor);
  void setFaults(const SimFaults& faults) { faults_ = faults; }
  const SimFaults& faults() const { return faults_; }
  // Program and control changes are answered with the same message while this is on.
  void setEcho(bool on) { echo_ = on; }

  // One SysEx message from the program. Anything but a nibble frame (F0, nibble, nibble, F7) is
  // ignored, as is a byte that belongs to no command.
  void receiveSysEx(const std::vector<std::uint8_t>& message);
  void receiveShort(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

  const TarvikContents& contents() const { return contents_; }
  void setContents(const TarvikContents& contents) { contents_ = contents; }
  const FlashImage& flash() const { return flash_; }
  // One readable line per command received ("Identify", "SubmitPresets (128 bytes)"), plus lines
  // for ignored input and withheld replies.
  const std::vector<std::string>& log() const { return log_; }
  int commandsReceived() const { return commandsReceived_; }
  // Every command received, in order, with its payload and whether it got its reply.
  const std::vector<Received>& received() const { return received_; }
  // Messages and bytes that were not part of a command (each also has its log line).
  int ignoredInputs() const { return ignoredInputs_; }

 private:
  enum class Parse { Idle, AwaitCommand, Payload };

  void receiveByte(std::uint8_t value);
  void execute();
  // Decides, after the faults, whether the command just executed gets its reply.
  bool mayAnswer(std::uint8_t command);
  template <std::size_t N>
  void storeSubmitted(std::array<std::uint8_t, N>& table);
  // True when faults().ignoreFirstSubmit takes this command: the first submit the device hears.
  bool ignoredAsFirstSubmit();
  // Flips the item bytes faults().corruptReplyEvery picks; the log's word on it, or "".
  std::string corrupt(std::vector<std::uint8_t>& frame);
  void reply(std::vector<std::uint8_t> frame);
  void emitJunk();
  void writeLog(std::string line);
  void ignore(std::string line);

  TarvikContents contents_;
  FlashImage flash_;
  SimFaults faults_;
  bool echo_ = false;
  std::uint8_t versionMajor_ = 1;
  std::uint8_t versionMinor_ = 9;

  Parse parse_ = Parse::Idle;
  std::uint8_t command_ = 0;
  std::size_t payloadLength_ = 0;
  std::vector<std::uint8_t> payload_;

  int commandsReceived_ = 0;
  int pagesAnswered_ = 0;
  // For the loss faults: the SysEx messages that arrived and the replies that were due.
  int framesArrived_ = 0;
  int repliesDue_ = 0;
  // For dropFastMs: when the interface's buffer has passed on all it holds.
  std::int64_t bufferEmptyAtMs_ = 0;
  // For corruptReplyEvery: the item bytes sent back so far.
  std::int64_t replyItemBytes_ = 0;
  // For ignoreFirstSubmit: a submit came already.
  bool submitSeen_ = false;
  int ignoredInputs_ = 0;
  std::vector<std::string> log_;
  std::vector<Received> received_;

  FrameSink replySink_;
  ShortSink shortSink_;
  LogSink logSink_;
  Clock clock_;
};

}  // namespace tarvik
