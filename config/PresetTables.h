// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tarvik {

// Rows of the preset table, the CC map and the PC remap table; each travels as this many bytes.
inline constexpr int kTableSize = 128;

// The preset table, CC map and PC remap table: one entry of each per row 0..127. Selector
// entries hold an item index, -1 meaning no selection; setters turn any index outside the
// selector's items into -1, so an entry is always either a valid index or -1.
class PresetTables {
 public:
  using Payload = std::array<std::uint8_t, kTableSize>;

  static constexpr int kRows = kTableSize;
  static constexpr int kLoops = 8;
  static constexpr int kCcItems = 9;         // "-", "LOOP 1".."LOOP 8"
  static constexpr int kCcStart = 8;         // "LOOP 8"
  static constexpr int kPcRemapItems = 129;  // "1".."128", "none"
  static constexpr int kPcRemapNone = 128;

  // Start state: no loop in any preset, every CC entry on "LOOP 8", no program selected.
  PresetTables();

  std::uint8_t mask(int row) const { return masks_[row]; }
  int cc(int row) const { return cc_[row]; }
  int pcRemap(int row) const { return pcRemap_[row]; }
  bool loopOn(int row, int column) const { return (masks_[row] >> column) & 1U; }

  void setMask(int row, std::uint8_t mask) { masks_[row] = mask; }
  void setCc(int row, int index);
  void setPcRemap(int row, int index);

  // Wire bytes: masks as they are, selector indices by their low eight bits (-1 -> 255).
  Payload presetPayload() const;
  Payload ccMapPayload() const;
  Payload pcRemapPayload() const;

  // Downloaded replies, item n to row n, taken as they come (no interlock).
  void applyPresets(std::span<const std::uint8_t, kTableSize> items);
  void applyCcMap(std::span<const std::uint8_t, kTableSize> items);
  void applyPcRemap(std::span<const std::uint8_t, kTableSize> items);

  // A user's click on loop box `column` (0..7) of `row`. Outside the interlock group the box
  // just toggles; inside it the group acts like radio buttons within the row: the clicked box
  // ends ticked and every other group box of that row unticked.
  void CheckBoxPresetClick(int row, int column, std::uint8_t lockMask);

  // "Deselect all": every mask empty and every CC entry "-"; the PC remap table stays.
  void deselectAll();
  // "Default ProgramChange": preset n + 1 sends program n + 1.
  void defaultProgramChange();

  bool operator==(const PresetTables&) const = default;

 private:
  std::array<std::uint8_t, kTableSize> masks_{};
  std::array<int, kTableSize> cc_{};
  std::array<int, kTableSize> pcRemap_{};
};

}  // namespace tarvik
