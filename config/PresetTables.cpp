// SPDX-License-Identifier: MIT
#include "config/PresetTables.h"

namespace tarvik {
namespace {

int indexOrNone(int index, int itemCount) { return index >= 0 && index < itemCount ? index : -1; }

std::uint8_t lowByte(int value) { return static_cast<std::uint8_t>(value & 0xFF); }

}  // namespace

PresetTables::PresetTables() {
  cc_.fill(kCcStart);
  pcRemap_.fill(-1);
}

void PresetTables::setCc(int row, int index) { cc_[row] = indexOrNone(index, kCcItems); }

void PresetTables::setPcRemap(int row, int index) {
  pcRemap_[row] = indexOrNone(index, kPcRemapItems);
}

PresetTables::Payload PresetTables::presetPayload() const { return masks_; }

PresetTables::Payload PresetTables::ccMapPayload() const {
  Payload payload{};
  for (int row = 0; row < kRows; ++row) {
    payload[row] = lowByte(cc_[row]);
  }
  return payload;
}

PresetTables::Payload PresetTables::pcRemapPayload() const {
  Payload payload{};
  for (int row = 0; row < kRows; ++row) {
    payload[row] = lowByte(pcRemap_[row]);
  }
  return payload;
}

void PresetTables::applyPresets(std::span<const std::uint8_t, kTableSize> items) {
  for (int row = 0; row < kRows; ++row) {
    masks_[row] = items[row];
  }
}

void PresetTables::applyCcMap(std::span<const std::uint8_t, kTableSize> items) {
  for (int row = 0; row < kRows; ++row) {
    setCc(row, items[row]);
  }
}

void PresetTables::applyPcRemap(std::span<const std::uint8_t, kTableSize> items) {
  for (int row = 0; row < kRows; ++row) {
    setPcRemap(row, items[row]);
  }
}

void PresetTables::CheckBoxPresetClick(int row, int column, std::uint8_t lockMask) {
  const auto bit = static_cast<std::uint8_t>(1U << column);
  if ((lockMask & bit) == 0) {
    masks_[row] ^= bit;
    return;
  }
  masks_[row] = static_cast<std::uint8_t>((masks_[row] & ~lockMask) | bit);
}

void PresetTables::deselectAll() {
  masks_.fill(0);
  cc_.fill(0);
}

void PresetTables::defaultProgramChange() {
  for (int row = 0; row < kRows; ++row) {
    pcRemap_[row] = row;
  }
}

}  // namespace tarvik
