// SPDX-License-Identifier: MIT
#include "config/Configuration.h"

#include <utility>

#include "config/LoopSwap.h"

namespace tarvik {
namespace {

constexpr int kLastRow = PresetTables::kRows - 1;

}  // namespace

Configuration::Configuration(QObject* parent) : QObject(parent) {
  qRegisterMetaType<tarvik::Block>();
}

Configuration::CallScope::CallScope(Configuration& configuration) : configuration_(configuration) {
  if (configuration_.callDepth_++ == 0) configuration_.changedInCall_ = false;
}

Configuration::CallScope::~CallScope() {
  if (--configuration_.callDepth_ == 0 && configuration_.changedInCall_) {
    Q_EMIT configuration_.changeFinished();
  }
}

void Configuration::rowsChanged(Block block, int firstRow, int lastRow) {
  changedInCall_ = true;
  Q_EMIT changed(block, firstRow, lastRow);
}

void Configuration::setTables(const PresetTables& tables) {
  const CallScope call(*this);
  const PresetTables before = std::exchange(tables_, tables);
  // A whole-table change reports only the blocks that really changed, so that views repaint and
  // marks recount no more than they must. Every entry has its own wire byte.
  if (before.presetPayload() != tables_.presetPayload()) rowsChanged(Block::Presets, 0, kLastRow);
  if (before.ccMapPayload() != tables_.ccMapPayload()) rowsChanged(Block::CcMap, 0, kLastRow);
  if (before.pcRemapPayload() != tables_.pcRemapPayload()) {
    rowsChanged(Block::PcRemap, 0, kLastRow);
  }
}

void Configuration::setRecord(const ConfigRecord& record) {
  const CallScope call(*this);
  if (record == record_) return;
  record_ = record;
  rowsChanged(Block::Record, 0, kConfigRecordSize - 1);
}

void Configuration::setNames(const PresetNames& names) {
  const CallScope call(*this);
  int first = -1;
  int last = -1;
  for (int row = 0; row < PresetTables::kRows; ++row) {
    if (names.name(row) == names_.name(row)) continue;
    if (first < 0) first = row;
    last = row;
  }
  if (first < 0) return;
  names_ = names;
  changedInCall_ = true;
  Q_EMIT namesChanged(first, last);
}

void Configuration::setLabels(const LoopLabels& labels) {
  const CallScope call(*this);
  if (labels == labels_) return;
  labels_ = labels;
  changedInCall_ = true;
  Q_EMIT labelsChanged();
}

QString Configuration::renameLoop(int loop, const QString& label) {
  const CallScope call(*this);
  const QString trimmed = label.trimmed();
  QString problem = LoopLabels::problem(trimmed);
  if (!problem.isEmpty() || trimmed == labels_.label(loop)) return problem;
  labels_.setLabel(loop, trimmed);
  changedInCall_ = true;
  Q_EMIT labelsChanged();
  return {};
}

QString Configuration::renamePreset(int row, const QString& name) {
  const CallScope call(*this);
  const QString trimmed = name.trimmed();
  QString problem = PresetNames::problem(trimmed);
  if (!problem.isEmpty() || trimmed == names_.name(row)) return problem;
  names_.setName(row, trimmed);
  changedInCall_ = true;
  Q_EMIT namesChanged(row, row);
  return {};
}

void Configuration::applyPresets(std::span<const std::uint8_t, kTableSize> items) {
  changeTables([items](PresetTables& tables) { tables.applyPresets(items); });
}

void Configuration::applyCcMap(std::span<const std::uint8_t, kTableSize> items) {
  changeTables([items](PresetTables& tables) { tables.applyCcMap(items); });
}

void Configuration::applyPcRemap(std::span<const std::uint8_t, kTableSize> items) {
  changeTables([items](PresetTables& tables) { tables.applyPcRemap(items); });
}

void Configuration::applyRecord(std::span<const std::uint8_t, kConfigRecordSize> items) {
  const CallScope call(*this);
  ConfigRecord received = record_;
  received.apply(items);
  setRecord(received);
}

void Configuration::swapLoops(int a, int b) {
  const CallScope call(*this);
  PresetTables tables = tables_;
  ConfigRecord record = record_;
  LoopLabels labels = labels_;
  LoopSwap::apply(a, b, tables, record, labels);
  setTables(tables);
  setRecord(record);
  setLabels(labels);
}

void Configuration::clickLoop(int row, int column) {
  const CallScope call(*this);
  const std::uint8_t before = tables_.mask(row);
  tables_.CheckBoxPresetClick(row, column, record_.lockMask);
  if (tables_.mask(row) != before) rowsChanged(Block::Presets, row, row);
}

void Configuration::chooseCc(int row, int index) {
  const CallScope call(*this);
  const int before = tables_.cc(row);
  tables_.setCc(row, index);
  if (tables_.cc(row) != before) rowsChanged(Block::CcMap, row, row);
}

void Configuration::choosePcRemap(int row, int index) {
  const CallScope call(*this);
  const int before = tables_.pcRemap(row);
  tables_.setPcRemap(row, index);
  if (tables_.pcRemap(row) != before) rowsChanged(Block::PcRemap, row, row);
}

void Configuration::deselectAll() {
  changeTables([](PresetTables& tables) { tables.deselectAll(); });
}

void Configuration::defaultProgramChange() {
  changeTables([](PresetTables& tables) { tables.defaultProgramChange(); });
}

void Configuration::editRecord(const ConfigRecord& edited) {
  const CallScope call(*this);
  ConfigRecord next = edited;
  // A change of any mute box runs the rule for all eight loops, so a received loop with both
  // bits loses its momentary bit then too.
  const bool muteChanged = next.muteMask != record_.muteMask;
  const auto newlyMomentary = static_cast<std::uint8_t>(next.switchMask & ~record_.switchMask);
  const auto refused =
      static_cast<std::uint8_t>(muteChanged ? next.muteMask : newlyMomentary & next.muteMask);
  next.switchMask = static_cast<std::uint8_t>(next.switchMask & ~refused);
  setRecord(next);
}

}  // namespace tarvik
