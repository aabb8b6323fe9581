// SPDX-License-Identifier: MIT
#include "sim/TarvikContents.h"

#include <QFile>
#include <random>
#include <stdexcept>
#include <utility>

#include "config/TvkFile.h"

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
  const TvkFile::LoadResult file = TvkFile::load(QFile::decodeName(path.c_str()));
  if (!file.ok()) throw std::runtime_error(file.message.toStdString());
  TarvikContents contents = base;
  contents.presets = file.tables->presetPayload();
  contents.ccMap = file.tables->ccMapPayload();
  contents.pcRemap = file.tables->pcRemapPayload();
  return contents;
}

}  // namespace tarvik
