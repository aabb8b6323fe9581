// SPDX-License-Identifier: MIT
#include "sim/SimOptions.h"

#include <charconv>
#include <stdexcept>
#include <string_view>

namespace tarvik {

namespace {

long parseNumber(const std::string& option, std::string_view text, long min, long max) {
  long value = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || value < min || value > max) {
    throw std::invalid_argument(option + " needs a number from " + std::to_string(min) + " to " +
                                std::to_string(max) + ", not \"" + std::string(text) + "\"");
  }
  return value;
}

std::uint8_t parseByte(const std::string& option, std::string_view text) {
  return static_cast<std::uint8_t>(parseNumber(option, text, 0, 255));
}

std::array<std::uint8_t, 20> parseRecord(std::string_view text) {
  std::array<std::uint8_t, 20> record{};
  std::size_t count = 0;
  while (true) {
    const auto comma = text.find(',');
    const auto item = text.substr(0, comma);
    if (count == record.size())
      throw std::invalid_argument("--record takes exactly 20 comma-separated bytes");
    record[count++] = parseByte("--record", item);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  if (count != record.size())
    throw std::invalid_argument("--record takes exactly 20 comma-separated bytes");
  return record;
}

}  // namespace

TarvikContents SimOptions::startContents() const {
  TarvikContents contents = seed ? TarvikContents::fromSeed(*seed) : TarvikContents::factory();
  if (!tvkFile.empty()) contents = TarvikContents::withTvkFile(tvkFile, contents);
  if (record) contents.configRecord = *record;
  return contents;
}

SimOptions parseSimOptions(const std::vector<std::string>& args) {
  SimOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw std::invalid_argument(option + " needs a value");
      return args[++i];
    };
    if (option == "--help" || option == "-h") {
      options.help = true;
    } else if (option == "--version") {
      const std::string& text = value();
      const auto dot = text.find('.');
      if (dot == std::string::npos)
        throw std::invalid_argument("--version takes MAJOR.MINOR, not \"" + text + "\"");
      options.versionMajor = parseByte(option, std::string_view(text).substr(0, dot));
      options.versionMinor = parseByte(option, std::string_view(text).substr(dot + 1));
    } else if (option == "--seed") {
      options.seed = static_cast<std::uint32_t>(parseNumber(option, value(), 0, 4294967295L));
    } else if (option == "--tvk") {
      options.tvkFile = value();
    } else if (option == "--record") {
      options.record = parseRecord(value());
    } else if (option == "--silent") {
      options.faults.silent = true;
    } else if (option == "--answer-first") {
      options.faults.answerFirst = static_cast<int>(parseNumber(option, value(), 0, 1000000));
    } else if (option == "--delay") {
      options.faults.replyDelayMs = static_cast<int>(parseNumber(option, value(), 0, 600000));
    } else if (option == "--lose-reply") {
      options.faults.loseReplyEvery = static_cast<int>(parseNumber(option, value(), 1, 1000000));
    } else if (option == "--lose-frame") {
      options.faults.loseFrameEvery = static_cast<int>(parseNumber(option, value(), 1, 1000000));
    } else if (option == "--drop-fast") {
      options.faults.dropFastMs = static_cast<int>(parseNumber(option, value(), 1, 1000));
    } else if (option == "--corrupt-reply") {
      options.faults.corruptReplyEvery = static_cast<int>(parseNumber(option, value(), 1, 1000000));
    } else if (option == "--ignore-first-submit") {
      options.faults.ignoreFirstSubmit = true;
    } else if (option == "--status") {
      options.faults.submitStatus = parseByte(option, value());
    } else if (option == "--short-frames") {
      options.faults.shortFrames = true;
    } else if (option == "--junk") {
      options.faults.junkFrames = true;
    } else if (option == "--bad-readback") {
      // Counted from 1, as the configurator counts the pages it reports; the fault itself
      // names the page number on the wire.
      options.faults.badReadbackPage = static_cast<int>(parseNumber(option, value(), 1, 256)) - 1;
    } else if (option == "--reply9-for-bootloader") {
      options.faults.reply9ForBootloader = true;
    } else if (option == "--stop-after-pages") {
      options.faults.stopAfterPages = static_cast<int>(parseNumber(option, value(), 0, 1000000));
    } else if (option == "--echo") {
      options.echo = true;
    } else if (option == "--api") {
      options.api = value();
      if (options.api != "auto" && options.api != "alsa" && options.api != "jack")
        throw std::invalid_argument("--api takes auto, alsa or jack, not \"" + options.api + "\"");
    } else {
      throw std::invalid_argument("unknown option \"" + option + "\" (see --help)");
    }
  }
  return options;
}

std::string simUsage() {
  return R"(Usage: tarvik-sim [options]
A simulated Tarvik on virtual MIDI ports named "Tarvik MIDI" (ALSA sequencer, else JACK).

Contents:
  --version X.Y            firmware version reported to Identify (default 1.9)
  --seed N                 pseudo-random tables and record from seed N (default: factory)
  --tvk FILE               preset table, CC map and PC remap table from a configuration file
  --record B0,...,B19      the 20 bytes of the configuration record
Faults:
  --silent                 answer no command
  --answer-first N         answer only the first N commands
  --delay MS               wait MS milliseconds before each reply
  --lose-reply N           lose every N-th reply on its way back (the command is
                           carried out)
  --lose-frame N           lose every N-th SysEx message that arrives
  --drop-fast MS           an interface that holds 32 SysEx messages and passes one
                           on every MS milliseconds: what arrives while it is full
                           is lost (a buffer that overruns)
  --corrupt-reply N        flip a bit in every N-th item byte of the replies; they still
                           read as replies, with a wrong item
  --ignore-first-submit    take the first submit without storing or answering it
  --status V               status V instead of 0xFF (255) in the replies to submits
  --short-frames           replies without their items (F0 code F7)
  --junk                   frames the configurator must drop before every reply
  --bad-readback K         the read-back of the K-th flash page (from 1) differs from
                           the upload
  --reply9-for-bootloader  answer EnterBootloader with reply 9 instead of 8
  --stop-after-pages M     answer nothing after M flash pages
Other:
  --echo                   answer program and control changes with the same message
  --api auto|alsa|jack     MIDI system to open the ports with (default auto)
  --help                   this text
Stops on SIGINT or SIGTERM.
)";
}

}  // namespace tarvik
