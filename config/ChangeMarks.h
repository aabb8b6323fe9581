// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>
#include <array>
#include <cstdint>
#include <optional>

#include "config/ConfigBytes.h"

namespace tarvik {

// What the configuration's values are measured against: per block, the device's last known
// contents (from the last download, or the last submit it confirmed) and the contents of the
// last file saved or loaded. Both are kept as the block's wire bytes, the form in which the
// device and the files hold them, so a confirmation can name exactly what went out even if the
// user edited on while it travelled.
//
// A value is marked where it differs from the device's contents; before the device's contents
// of a block are known nothing in it is marked. The configuration holds unsaved work while any
// block differs both from the device (an unknown device counts as differing) and from the last
// file. Until a file is saved or loaded there is no file: a block that differs from the device
// is unsaved, even where it equals the start state. Only while the device is unknown too does
// the start state count as saved, so that a fresh window holds none.
//
// The presets' names never go to the device, so they are measured against the last file or
// library setup that held names only: names that differ from those are unsaved. A file without
// names (a .tvk file, a backup of the device) saved or loaded leaves that measure as it was;
// loading one replaces the names, and the caller says so. At the start no names count as saved.
class ChangeMarks : public QObject {
  Q_OBJECT
 public:
  explicit ChangeMarks(const Configuration& configuration, QObject* parent = nullptr);

  // The block as the configuration holds it now came from the device.
  void deviceReceived(Block block);
  // The device confirmed storing `sent`, the block's wire bytes as they went out.
  void deviceStored(Block block, const QByteArray& sent);
  // A file or the library now holds `bytes`: the three tables, and the settings when it has
  // them, whatever the configuration holds now. With `names` it holds those as the presets'
  // names, with `labels` those as the loops' labels, which count as the names do.
  void fileHolds(const ConfigBytes& bytes, const std::optional<PresetNames>& names = std::nullopt,
                 const std::optional<LoopLabels>& labels = std::nullopt);

  // Per row (for the record: per item) the bits that differ from the device, 0 while the
  // device's contents are unknown. For loop masks each bit is one box; other items differ as a
  // whole when any bit does.
  std::uint8_t difference(Block block, int row) const {
    return blocks_[index(block)].difference[row];
  }
  // The device's contents of the block as the marks measure against them (its wire bytes),
  // empty while unknown.
  const QByteArray& device(Block block) const { return blocks_[index(block)].device; }
  // Changed values of the block: one per loop box, selector entry or setting.
  int changeCount(Block block) const { return blocks_[index(block)].count; }
  bool unsaved() const { return unsaved_; }
  // The block differs both from the device and from the last file.
  bool unsaved(Block block) const { return blocks_[index(block)].unsaved; }
  // The names or the loops' labels differ from those last saved or loaded.
  bool namesUnsaved() const { return namesUnsaved_; }

  // The block's wire bytes as the configuration holds them now.
  static QByteArray wireBytes(const Configuration& configuration, Block block) {
    return ConfigBytes::sent(configuration)[block];
  }

 Q_SIGNALS:
  // The marks of rows firstRow..lastRow of the block changed (and with them its count).
  void marksChanged(tarvik::Block block, int firstRow, int lastRow);
  void unsavedChanged(bool unsaved);

 private:
  struct Marks {
    QByteArray device;  // empty while unknown
    QByteArray file;    // the start state until a file is saved or loaded
    bool fileKnown = false;
    std::array<std::uint8_t, kTableSize> difference{};
    int count = 0;
    bool unsaved = false;
  };
  static constexpr std::size_t index(Block block) { return static_cast<std::size_t>(block); }
  void refresh(Block block);
  void refreshNames();
  void updateUnsaved();

  const Configuration& configuration_;
  std::array<Marks, 4> blocks_;
  PresetNames savedNames_;
  LoopLabels savedLabels_;
  bool namesUnsaved_ = false;
  bool unsaved_ = false;
};

}  // namespace tarvik
