// SPDX-License-Identifier: MIT
#include "sim/TarvikContents.h"

#include <ini.h>

#include <cctype>
#include <charconv>
#include <optional>
#include <random>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace tarvik {

namespace {

// Record positions whose ranges differ from "any byte".
enum RecordItem {
  kDebounce = 0,
  kChannel = 1,
  kOmni = 2,
  kMuteMask = 3,
  kMuteBefore = 4,
  kMuteAfter = 5,
  kSwitchMask = 6,
  kSwitchOnTime = 7,
  kMagicFunction = 8,
  kMagicChannel = 9,
  kMagicChange = 10,
  kMagicValue = 11,
  kSendCcInIam = 12,
  kBankExpander = 13,
  kDoublePressBypass = 14,
  kBypassProgram = 15,
  kExpressionCc = 16,
  kBoundlessBank = 17,
  kAmpRackMode = 18,
  kLockMask = 19,
};

constexpr std::uint8_t kNone = 255;

// Decimal with an optional minus sign, or hexadecimal after "0x", "0X" or "$"; anything else is
// no value, so the caller's default applies.
std::optional<long> parseInteger(std::string_view text) {
  int base = 10;
  bool negative = false;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
    base = 16;
  } else if (text.starts_with("$")) {
    text.remove_prefix(1);
    base = 16;
  } else if (text.starts_with("-")) {
    text.remove_prefix(1);
    negative = true;
  }
  if (text.empty()) return std::nullopt;
  long value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return negative ? -value : value;
}

std::optional<int> rowOfSection(std::string_view section) {
  int row = -1;
  const char* end = section.data() + section.size();
  auto [stop, error] = std::from_chars(section.data(), end, row);
  if (error != std::errc() || stop != end || row < 0 || row > 127) return std::nullopt;
  return row;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

int onTvkValue(void* user, const char* section, const char* name, const char* value) {
  auto& contents = *static_cast<TarvikContents*>(user);
  const auto row = rowOfSection(section);
  if (!row) return 1;  // sections other than rows carry nothing the device keeps
  const auto number = parseInteger(value);
  if (!number) return 1;  // unreadable text falls back to the default already in place
  const auto byte = static_cast<std::uint8_t>(*number & 0xFF);
  if (equalsIgnoringCase(name, "pc")) {
    contents.presets[*row] = byte;
  } else if (equalsIgnoringCase(name, "cc")) {
    contents.ccMap[*row] = byte;
  } else if (equalsIgnoringCase(name, "pcremap")) {
    contents.pcRemap[*row] = byte;
  }
  return 1;
}

}  // namespace

TarvikContents TarvikContents::factory() {
  TarvikContents contents;
  for (int row = 0; row < 128; ++row) contents.pcRemap[row] = static_cast<std::uint8_t>(row);
  contents.configRecord[kDebounce] = 90;
  contents.configRecord[kSwitchOnTime] = 10;
  contents.configRecord[kBypassProgram] = kNone;
  contents.configRecord[kExpressionCc] = kNone;
  return contents;
}

TarvikContents TarvikContents::fromSeed(std::uint32_t seed) {
  // mt19937's raw output is fixed by the language standard, unlike the distributions.
  std::mt19937 random(seed);
  auto below = [&random](unsigned limit) { return static_cast<std::uint8_t>(random() % limit); };
  auto programOrNone = [&below] { return below(8) == 0 ? kNone : below(128); };

  TarvikContents contents;
  for (int row = 0; row < 128; ++row) {
    contents.presets[row] = below(256);
    contents.ccMap[row] = below(9);
    contents.pcRemap[row] = below(129);
  }
  // Drawn in this order, so that a seed keeps giving the same contents; 0: a program or none.
  constexpr std::pair<int, unsigned> kDraws[] = {
      {kDebounce, 255},    {kChannel, 16},       {kOmni, 2},
      {kMuteMask, 256},    {kMuteBefore, 256},   {kMuteAfter, 256},
      {kSwitchMask, 256},  {kSwitchOnTime, 255}, {kMagicFunction, 4},
      {kMagicChannel, 16}, {kMagicChange, 128},  {kMagicValue, 128},
      {kSendCcInIam, 2},   {kBankExpander, 2},   {kDoublePressBypass, 2},
      {kBypassProgram, 0}, {kExpressionCc, 0},   {kBoundlessBank, 2},
      {kAmpRackMode, 2},   {kLockMask, 256}};
  auto& record = contents.configRecord;
  for (const auto& [index, limit] : kDraws)
    record[index] = limit == 0 ? programOrNone() : below(limit);
  // A loop is never muted and momentary at once, as the editor would have it.
  record[kSwitchMask] &= static_cast<std::uint8_t>(~record[kMuteMask]);
  ++record[kSwitchOnTime];  // 1..255
  return contents;
}

TarvikContents TarvikContents::withTvkFile(const std::string& path, const TarvikContents& base) {
  TarvikContents contents = base;
  contents.presets.fill(0);
  contents.ccMap.fill(0);
  for (int row = 0; row < 128; ++row) contents.pcRemap[row] = static_cast<std::uint8_t>(row);
  const int result = ini_parse(path.c_str(), onTvkValue, &contents);
  if (result < 0) throw std::runtime_error("cannot read configuration file " + path);
  if (result > 0)
    throw std::runtime_error("configuration file " + path + ": syntax error in line " +
                             std::to_string(result));
  return contents;
}

}  // namespace tarvik
