// SPDX-License-Identifier: MIT
#include "config/ChangeMarks.h"

#include <bit>

namespace tarvik {
namespace {

constexpr Block kBlocks[] = {Block::Presets, Block::CcMap, Block::PcRemap, Block::Record};

// Masks hold one box per bit; any other item is one control.
bool isMask(Block block, int row) {
  if (block == Block::Presets) return true;
  return block == Block::Record && (row == 3 || row == 6 || row == 19);
}

}  // namespace

ChangeMarks::ChangeMarks(const Configuration& configuration, QObject* parent)
    : QObject(parent), configuration_(configuration) {
  for (Block block : kBlocks) blocks_[index(block)].file = wireBytes(configuration_, block);
  connect(&configuration_, &Configuration::changed, this, [this](Block block) { refresh(block); });
  connect(&configuration_, &Configuration::namesChanged, this, &ChangeMarks::refreshNames);
  connect(&configuration_, &Configuration::labelsChanged, this, &ChangeMarks::refreshNames);
}

void ChangeMarks::deviceReceived(Block block) {
  blocks_[index(block)].device = wireBytes(configuration_, block);
  refresh(block);
}

void ChangeMarks::deviceStored(Block block, const QByteArray& sent) {
  blocks_[index(block)].device = sent;
  refresh(block);
}

void ChangeMarks::fileHolds(const ConfigBytes& bytes, const std::optional<PresetNames>& names,
                            const std::optional<LoopLabels>& labels) {
  for (Block block : kBlocks) {
    if (block == Block::Record && !bytes.settings) continue;
    blocks_[index(block)].file = bytes[block];
    blocks_[index(block)].fileKnown = true;
    refresh(block);
  }
  if (names) savedNames_ = *names;
  if (labels) savedLabels_ = *labels;
  refreshNames();
}

void ChangeMarks::refresh(Block block) {
  Marks& marks = blocks_[index(block)];
  const QByteArray now = wireBytes(configuration_, block);
  const bool deviceKnown = marks.device.size() == now.size();
  int first = -1;
  int last = -1;
  int count = 0;
  for (int row = 0; row < now.size(); ++row) {
    const auto was = marks.difference[row];
    const auto is =
        deviceKnown ? static_cast<std::uint8_t>(now[row] ^ marks.device[row]) : std::uint8_t{0};
    if (is != 0) count += isMask(block, row) ? std::popcount(is) : 1;
    if (is == was) continue;
    marks.difference[row] = is;
    if (first < 0) first = row;
    last = row;
  }
  marks.count = count;
  const bool differsFromFile = (deviceKnown && !marks.fileKnown) || now != marks.file;
  marks.unsaved = (!deviceKnown || count > 0) && differsFromFile;
  if (first >= 0) Q_EMIT marksChanged(block, first, last);
  updateUnsaved();
}

void ChangeMarks::refreshNames() {
  namesUnsaved_ = configuration_.names() != savedNames_ || configuration_.labels() != savedLabels_;
  updateUnsaved();
}

void ChangeMarks::updateUnsaved() {
  bool unsaved = namesUnsaved_;
  for (const Marks& m : blocks_) unsaved = unsaved || m.unsaved;
  if (unsaved != unsaved_) {
    unsaved_ = unsaved;
    Q_EMIT unsavedChanged(unsaved_);
  }
}

}  // namespace tarvik
