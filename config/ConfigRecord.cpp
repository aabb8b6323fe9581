// SPDX-License-Identifier: MIT
#include "config/ConfigRecord.h"

#include <algorithm>

namespace tarvik {
namespace {

// Every item goes out as the low eight bits of its value, so "no selection" (-1) becomes 255.
std::uint8_t lowByte(int value) { return static_cast<std::uint8_t>(value & 0xFF); }

// The two program selectors send their last item ("none") as 255 rather than as its index.
std::uint8_t programByte(int index) {
  return index == ConfigRecord::kProgramNone ? 0xFF : lowByte(index);
}

int indexOrNone(std::uint8_t value, int itemCount) { return value < itemCount ? value : -1; }

int programIndex(std::uint8_t value) {
  return value < ConfigRecord::kProgramNone ? value : ConfigRecord::kProgramNone;
}

}  // namespace

std::array<std::uint8_t, kConfigRecordSize> ConfigRecord::toBytes() const {
  const bool ccMessage = magicFunction == kMagicFunctionCcMessage;
  return {
      lowByte(debounceTime),
      lowByte(midiChannel),
      std::uint8_t{omniMode},
      muteMask,
      lowByte(muteBeforeDelay),
      lowByte(muteAfterDelay),
      switchMask,
      lowByte(switchOnTime),
      lowByte(magicFunction),
      ccMessage ? lowByte(magicChannel) : std::uint8_t{0},
      ccMessage ? lowByte(magicChange) : std::uint8_t{0},
      ccMessage ? lowByte(magicValue) : std::uint8_t{0},
      std::uint8_t{sendCcInIam},
      std::uint8_t{bankExpander},
      std::uint8_t{doublePressBypass},
      programByte(bypassProgram),
      programByte(expressionCC),
      std::uint8_t{boundlessBank},
      std::uint8_t{ampRackMode},
      lockMask,
  };
}

void ConfigRecord::apply(std::span<const std::uint8_t, kConfigRecordSize> items) {
  midiChannel = indexOrNone(items[1], kChannelItems);
  omniMode = items[2] != 0;
  debounceTime = std::min<int>(items[0], kDebounceMax);
  muteBeforeDelay = items[4];
  muteAfterDelay = items[5];
  muteMask = items[3];
  switchMask = items[6];
  switchOnTime = std::max<int>(items[7], kOnTimeMin);
  magicFunction = items[8] < kMagicFunctionItems ? items[8] : 0;
  if (magicFunction == kMagicFunctionCcMessage) {
    magicChannel = indexOrNone(items[9], kChannelItems);
    magicChange = indexOrNone(items[10], kMagicChangeItems);
    magicValue = indexOrNone(items[11], kMagicValueItems);
  }
  // Unlike omni mode, these switches count only the exact value 1 as on.
  sendCcInIam = items[12] == 1;
  bankExpander = items[13] == 1;
  doublePressBypass = items[14] == 1;
  bypassProgram = programIndex(items[15]);
  expressionCC = programIndex(items[16]);
  boundlessBank = items[17] == 1;
  ampRackMode = items[18] == 1;
  lockMask = items[19];
}

}  // namespace tarvik
