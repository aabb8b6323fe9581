// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tarvik {

// Items of the configuration record, on the wire and in the "Advanced settings" tab.
inline constexpr int kConfigRecordSize = 20;

// The 20 advanced settings as the "Advanced settings" tab shows them. Selector fields hold the
// selected item index, -1 meaning no selection; they become wire bytes only in toBytes().
struct ConfigRecord {
  static constexpr int kChannelItems = 16;
  static constexpr int kMagicFunctionItems =
      4;  // "none", "Master Bypass", "CC Message", "Kemper TapTempo"
  static constexpr int kMagicFunctionCcMessage = 2;
  static constexpr int kMagicChangeItems = 128;
  static constexpr int kMagicValueItems = 128;
  static constexpr int kProgramItems = 129;  // "1".."128", then "none"
  static constexpr int kProgramNone = kProgramItems - 1;
  static constexpr int kDebounceMax = 254;
  static constexpr int kOnTimeMin = 1;
  static constexpr int kByteMax = 255;

  int debounceTime = 0;
  int midiChannel = 0;
  bool omniMode = false;
  std::uint8_t muteMask = 0;
  int muteBeforeDelay = 0;
  int muteAfterDelay = 0;
  std::uint8_t switchMask = 0;
  int switchOnTime = 10;
  int magicFunction = -1;
  int magicChannel = 0;
  int magicChange = 0;
  int magicValue = 0;
  bool sendCcInIam = false;
  bool bankExpander = false;
  bool doublePressBypass = false;
  int bypassProgram = -1;
  int expressionCC = -1;
  bool boundlessBank = false;
  bool ampRackMode = false;
  std::uint8_t lockMask = 0;

  // The bytes sent after the SubmitConfig command, in wire order.
  std::array<std::uint8_t, kConfigRecordSize> toBytes() const;

  // Takes over a record received from the device. Out-of-range values never reach a field
  // unchanged: number fields clamp, the Pin-20 function and the two program selectors fall back
  // to "none", other selectors lose their selection. The CC-message selectors keep their old
  // values unless the received function is "CC Message".
  void apply(std::span<const std::uint8_t, kConfigRecordSize> items);

  bool operator==(const ConfigRecord&) const = default;
};

}  // namespace tarvik
