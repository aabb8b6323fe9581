// SPDX-License-Identifier: MIT
#pragma once

#include "config/ConfigRecord.h"
#include "config/LoopLabels.h"
#include "config/PresetTables.h"

namespace tarvik {

// A pedal moved to another loop on the board: two loops trade places everywhere a loop is
// named, so that every preset still switches the same pedals. The two columns of every preset,
// the CC map entries that switch either loop, the loops' labels, and the three settings that
// are loop masks (mute, momentary switching, interlock). Nothing else names a loop.
//
// Swapping the mute and momentary bits together keeps the rule that a muted loop is not
// momentary, and swapping the interlock bits with the columns keeps each preset's group as it
// was: a swap never needs the editing rules.
struct LoopSwap {
  // `a` and `b` count from 0, as the matrix's columns do; the same loop twice changes nothing.
  static void apply(int a, int b, PresetTables& tables, ConfigRecord& record, LoopLabels& labels);
  static std::uint8_t swapBits(std::uint8_t mask, int a, int b);
};

}  // namespace tarvik
