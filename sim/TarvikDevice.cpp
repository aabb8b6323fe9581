// SPDX-License-Identifier: MIT
#include "sim/TarvikDevice.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <utility>

#include "link/Framing.h"

namespace tarvik {

namespace {

constexpr std::uint8_t kMarker = 0xFF;
constexpr std::uint8_t kSuccess = 0xFF;

// The device's own view of its commands: the byte, a name for the log and the payload it takes.
struct CommandInfo {
  std::uint8_t code;
  const char* name;
  std::size_t payload;
};

constexpr CommandInfo kCommands[] = {
    {1, "Identify", 0},          {2, "DownloadPresets", 0},  {3, "DownloadConfig", 0},
    {4, "SubmitConfig", 20},     {5, "SubmitPresets", 128},  {6, "DownloadCcMap", 0},
    {7, "SubmitCcMap", 128},     {8, "EnterBootloader", 0},  {9, "UploadFlashPage", 1 + 128},
    {16, "LeaveBootloader", 0},  {17, "WriteRamToFlash", 0}, {18, "DownloadPcRemap", 0},
    {19, "SubmitPcRemap", 128},
};

std::optional<CommandInfo> findCommand(std::uint8_t code) {
  for (const auto& info : kCommands)
    if (info.code == code) return info;
  return std::nullopt;
}

std::string hexByte(std::uint8_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value);
  return text;
}

template <std::size_t N>
std::vector<std::uint8_t> bytesOf(const std::array<std::uint8_t, N>& table) {
  return {table.begin(), table.end()};
}

template <std::size_t N>
void store(std::array<std::uint8_t, N>& table, const std::vector<std::uint8_t>& payload) {
  std::copy_n(payload.begin(), N, table.begin());
}

std::int64_t steadyMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool isSubmit(std::uint8_t command) {
  return command == 4 || command == 5 || command == 7 || command == 19;
}

}  // namespace

TarvikDevice::TarvikDevice(TarvikContents contents) : contents_(contents), clock_(steadyMs) {}

void TarvikDevice::setClock(Clock msNow) { clock_ = msNow ? std::move(msNow) : Clock(steadyMs); }

void TarvikDevice::setVersion(std::uint8_t major, std::uint8_t minor) {
  versionMajor_ = major;
  versionMinor_ = minor;
}

void TarvikDevice::receiveSysEx(const std::vector<std::uint8_t>& message) {
  ++framesArrived_;
  const std::int64_t now = clock_();
  if (faults_.dropFastMs > 0) {
    const std::int64_t rate = faults_.dropFastMs;
    // The buffer is empty at bufferEmptyAtMs_; every message in it stands for `rate` ms.
    const std::int64_t held = std::max<std::int64_t>(0, bufferEmptyAtMs_ - now);
    if ((held + rate - 1) / rate >= SimFaults::kOverrunFrames) {
      writeLog("lost SysEx message of " + std::to_string(message.size()) +
               " bytes, the interface's buffer is full");
      return;
    }
    bufferEmptyAtMs_ = std::max(bufferEmptyAtMs_, now) + rate;
  }
  if (faults_.loseFrameEvery > 0 && framesArrived_ % faults_.loseFrameEvery == 0) {
    // Lost on the way: the device never knew of it, so it is not counted as ignored input.
    writeLog("lost SysEx message of " + std::to_string(message.size()) + " bytes");
    return;
  }
  const bool nibbleFrame = message.size() == 4 && message[0] == 0xF0 && message[3] == 0xF7 &&
                           message[1] <= 0x0F && message[2] <= 0x0F;
  if (!nibbleFrame) {
    ignore("ignored SysEx message of " + std::to_string(message.size()) + " bytes");
    return;
  }
  receiveByte(static_cast<std::uint8_t>((message[1] << 4) | message[2]));
}

void TarvikDevice::receiveByte(std::uint8_t value) {
  switch (parse_) {
    case Parse::Idle:
      if (value == kMarker) {
        parse_ = Parse::AwaitCommand;
      } else {
        ignore("ignored byte " + hexByte(value) + " outside a command");
      }
      return;
    case Parse::AwaitCommand: {
      if (value == kMarker) return;  // a repeated marker still opens the command that follows
      const auto info = findCommand(value);
      if (!info) {
        ignore("unknown command " + hexByte(value) + " ignored");
        parse_ = Parse::Idle;
        return;
      }
      command_ = value;
      payloadLength_ = info->payload;
      payload_.clear();
      if (payloadLength_ == 0) {
        execute();
      } else {
        parse_ = Parse::Payload;
      }
      return;
    }
    case Parse::Payload:
      // No escaping on the link: inside a payload 0xFF is data like any other byte.
      payload_.push_back(value);
      if (payload_.size() == payloadLength_) execute();
      return;
  }
}

void TarvikDevice::execute() {
  parse_ = Parse::Idle;
  ++commandsReceived_;
  received_.push_back({command_, payload_, false});
  const auto info = *findCommand(command_);
  std::string line = info.name;
  if (command_ == 9) {
    // Counted from 1, as the configurator reports pages; the wire carries the number from 0.
    line += " page " + std::to_string(payload_[0] + 1) + " (128 bytes)";
  } else if (info.payload > 0) {
    line += " (" + std::to_string(info.payload) + " bytes)";
  }

  if (ignoredAsFirstSubmit()) {
    writeLog(line + " - ignored, the first submit");
    return;
  }

  // State changes first: a device whose reply is lost has still done the work.
  std::uint8_t code = command_;
  std::vector<std::uint8_t> items;
  switch (command_) {
    case 1:
      items = {versionMajor_, versionMinor_};
      break;
    case 2:
      items = bytesOf(contents_.presets);
      break;
    case 3:
      items = bytesOf(contents_.configRecord);
      break;
    case 4:
      // A refused record (status fault) is not kept, as a device reporting failure would do.
      if (faults_.submitStatus == kSuccess) storeSubmitted(contents_.configRecord);
      items = {faults_.submitStatus};
      break;
    case 5:
      if (faults_.submitStatus == kSuccess) storeSubmitted(contents_.presets);
      items = {faults_.submitStatus};
      break;
    case 6:
      items = bytesOf(contents_.ccMap);
      break;
    case 7:
      storeSubmitted(contents_.ccMap);
      break;
    case 8:
      flash_.bootloaderEntered = true;
      flash_.bootloaderLeft = false;
      if (faults_.reply9ForBootloader) {
        code = 9;
        items.assign(128, 0);
      }
      break;
    case 9: {
      const int page = payload_[0];
      FlashImage::Page data{};
      std::copy(payload_.begin() + 1, payload_.end(), data.begin());
      flash_.pages[page] = data;
      flash_.uploadOrder.push_back(page);
      items = bytesOf(data);
      if (page == faults_.badReadbackPage) items[0] ^= 0x01;
      break;
    }
    case 16:
      flash_.bootloaderLeft = true;
      break;
    case 17:
      flash_.writtenToFlash = true;
      break;
    case 18:
      items = bytesOf(contents_.pcRemap);
      break;
    case 19:
      storeSubmitted(contents_.pcRemap);
      break;
  }

  if (command_ == 16) {
    writeLog(line);
    return;
  }
  if (!mayAnswer(command_)) {
    writeLog(line + " - no reply");
    return;
  }
  ++repliesDue_;
  if (faults_.loseReplyEvery > 0 && repliesDue_ % faults_.loseReplyEvery == 0) {
    writeLog(line + " - reply lost");
    return;
  }
  received_.back().answered = true;
  if (faults_.shortFrames) items.clear();
  std::vector<std::uint8_t> frame = buildReplyFrame(code, items);
  writeLog(line + corrupt(frame));
  if (faults_.junkFrames) emitJunk();
  reply(std::move(frame));
}

bool TarvikDevice::ignoredAsFirstSubmit() {
  if (!faults_.ignoreFirstSubmit || !isSubmit(command_) || submitSeen_) return false;
  submitSeen_ = true;
  return true;
}

std::string TarvikDevice::corrupt(std::vector<std::uint8_t>& frame) {
  const int every = faults_.corruptReplyEvery;
  if (every <= 0) return {};
  int changed = 0;
  std::size_t first = 0;
  // Between the code and F7: the items' nibbles, each still a nibble after the flip.
  for (std::size_t i = 2; i + 1 < frame.size(); ++i) {
    if (++replyItemBytes_ % every != 0) continue;
    frame[i] ^= 0x01;
    if (changed++ == 0) first = i;
  }
  if (changed == 0) return {};
  // Bytes counted from 1 in the frame, F0 being the first.
  const std::string where = std::to_string(first + 1) + " of " + std::to_string(frame.size());
  if (changed == 1) return " - reply byte " + where + " corrupted";
  return " - " + std::to_string(changed) + " reply bytes corrupted, the first byte " + where;
}

template <std::size_t N>
void TarvikDevice::storeSubmitted(std::array<std::uint8_t, N>& table) {
  store(table, payload_);
  const int item = faults_.alteredItem;
  if (faults_.alterStoredCommand == command_ && item >= 0 && item < static_cast<int>(N))
    table[static_cast<std::size_t>(item)] ^= 0x01;
}

bool TarvikDevice::mayAnswer(std::uint8_t command) {
  if (faults_.silent) return false;
  if (faults_.answerFirst >= 0 && commandsReceived_ > faults_.answerFirst) return false;
  if (faults_.stopAfterPages >= 0 && pagesAnswered_ >= faults_.stopAfterPages) return false;
  if (command == 17 && faults_.silentOnWrite) return false;
  if (command == 9) ++pagesAnswered_;
  return true;
}

void TarvikDevice::reply(std::vector<std::uint8_t> frame) {
  if (replySink_) replySink_(std::move(frame));
}

void TarvikDevice::emitJunk() {
  if (!replySink_) return;
  // Each would read as identify reply 1.9 if the receiver took it for a reply.
  replySink_({0x01, 0x00, 0x01, 0x00, 0x09, 0xF7});
  for (std::uint8_t code : {0x00, 0x0A, 0x10, 0x14, 0xFF})
    replySink_({0xF0, code, 0x00, 0x01, 0x00, 0x09, 0xF7});
}

void TarvikDevice::receiveShort(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  const std::uint8_t kind = status & 0xF0;
  const int channel = (status & 0x0F) + 1;
  if (kind == 0xC0) {
    writeLog("ProgramChange " + std::to_string(data1) + " on channel " + std::to_string(channel));
    data2 = 0;
  } else if (kind == 0xB0) {
    writeLog("ControlChange " + std::to_string(data1) + " = " + std::to_string(data2) +
             " on channel " + std::to_string(channel));
  } else {
    return;
  }
  if (echo_ && shortSink_) shortSink_(status, data1, data2);
}

void TarvikDevice::ignore(std::string line) {
  ++ignoredInputs_;
  writeLog(std::move(line));
}

void TarvikDevice::writeLog(std::string line) {
  if (logSink_) logSink_(line);
  log_.push_back(std::move(line));
}

}  // namespace tarvik
