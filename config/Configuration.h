// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <array>
#include <cstdint>
#include <span>

#include "config/ConfigRecord.h"
#include "config/LoopLabels.h"
#include "config/PresetNames.h"
#include "config/PresetTables.h"

namespace tarvik {

// The four blocks the device keeps, each travelling in its own command.
enum class Block { Presets, CcMap, PcRemap, Record };

// The whole configuration the program edits: the three tables and the 20 advanced settings.
// Both front ends work on it: the window's editors bind to it, the command line fills it
// directly, and the transfer machine reads from and writes to it.
//
// Two kinds of change. Exact changes (set*, apply*: downloads, files, undo) take the values as
// given and run no editing rule. The user's edits (clickLoop, chooseCc, choosePcRemap,
// deselectAll, defaultProgramChange, editRecord) run the rules: the interlock group within a
// preset row, and no momentary switching on a muted loop.
class Configuration : public QObject {
  Q_OBJECT
 public:
  explicit Configuration(QObject* parent = nullptr);

  const PresetTables& tables() const { return tables_; }
  const ConfigRecord& record() const { return record_; }
  // The presets' names travel with setups and backup files, never to the device.
  const PresetNames& names() const { return names_; }
  // So do the loops' labels.
  const LoopLabels& labels() const { return labels_; }

  void setTables(const PresetTables& tables);
  void setRecord(const ConfigRecord& record);
  void setNames(const PresetNames& names);
  void setLabels(const LoopLabels& labels);
  void applyPresets(std::span<const std::uint8_t, kTableSize> items);
  void applyCcMap(std::span<const std::uint8_t, kTableSize> items);
  void applyPcRemap(std::span<const std::uint8_t, kTableSize> items);
  // Out-of-range values follow the record's apply rules (clamps, fall-backs to "none").
  void applyRecord(std::span<const std::uint8_t, kConfigRecordSize> items);

  // A click on loop box `column` (0..7) of `row`: inside the interlock group the row's group
  // boxes act as radio buttons, outside it the box toggles.
  void clickLoop(int row, int column);
  void chooseCc(int row, int index);
  void choosePcRemap(int row, int index);
  // Every mask empty and every CC entry "-"; the PC remap table stays.
  void deselectAll();
  // Preset n + 1 sends program n + 1.
  void defaultProgramChange();
  // The record as the user left it. A loop that is muted cannot be momentary: any change of the
  // mute mask takes the momentary bit of every muted loop away, and a momentary bit set on a
  // muted loop is refused. A received record with both bits stays as received until the user
  // changes the mute mask.
  void editRecord(const ConfigRecord& edited);
  // The user names preset `row`; surrounding white space is dropped. A name PresetNames
  // refuses changes nothing and returns its problem; empty on success.
  QString renamePreset(int row, const QString& name);
  // The user labels loop `loop` (0..7); as renamePreset, with LoopLabels' rules.
  QString renameLoop(int loop, const QString& label);
  // The user moved a pedal: loops `a` and `b` (0..7) trade places in every preset, the CC map,
  // the labels and the three loop masks of the settings (LoopSwap), as one change.
  void swapLoops(int a, int b);
  // Whether the momentary box of loop `column` (0..7) can be ticked by the user.
  bool momentaryAllowed(int column) const { return ((record_.muteMask >> column) & 1U) == 0; }

  PresetTables::Payload presetPayload() const { return tables_.presetPayload(); }
  PresetTables::Payload ccMapPayload() const { return tables_.ccMapPayload(); }
  PresetTables::Payload pcRemapPayload() const { return tables_.pcRemapPayload(); }
  std::array<std::uint8_t, kConfigRecordSize> recordBytes() const { return record_.toBytes(); }

  // Counts the calls under way, so that only the outermost one reports its end. Every public
  // call opens one; a caller opens one around several calls that make one change together (a
  // restore replacing tables, settings and names), which then reports its end once.
  class CallScope {
   public:
    explicit CallScope(Configuration& configuration);
    ~CallScope();
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

   private:
    Configuration& configuration_;
  };

 Q_SIGNALS:
  // Rows firstRow..lastRow of a table changed; for the record the range is 0..19.
  void changed(tarvik::Block block, int firstRow, int lastRow);
  // The names of rows firstRow..lastRow changed.
  void namesChanged(int firstRow, int lastRow);
  // A loop's label changed.
  void labelsChanged();
  // One call that changed something has ended, after all of its changed() signals: a
  // "Deselect all" that clears presets and CC map is one change here, not two.
  void changeFinished();

 private:
  // The tables as `change` leaves a copy of them, as one setTables().
  template <typename Change>
  void changeTables(Change change) {
    PresetTables tables = tables_;
    change(tables);
    setTables(tables);
  }
  void rowsChanged(Block block, int firstRow, int lastRow);

  PresetTables tables_;
  ConfigRecord record_;
  PresetNames names_;
  LoopLabels labels_;
  int callDepth_ = 0;
  bool changedInCall_ = false;
};

}  // namespace tarvik

Q_DECLARE_METATYPE(tarvik::Block)
