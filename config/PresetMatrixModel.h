// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractTableModel>

#include "config/PresetTables.h"

namespace tarvik {

// The preset matrix: one row per preset, eight loop check columns, the CC map's loop selector
// and the PC remap table's program selector. A check-state change through setData() is a
// user's click and runs the interlock rule; every other change (replies, files, the two fill
// buttons) goes through the named methods and sets the entries exactly.
class PresetMatrixModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kLoopColumns = PresetTables::kLoops;
  static constexpr int kCcColumn = 8;
  static constexpr int kPcRemapColumn = 9;
  static constexpr int kColumns = 10;

  explicit PresetMatrixModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  const PresetTables& tables() const { return tables_; }
  void setTables(const PresetTables& tables);
  void applyPresets(std::span<const std::uint8_t, kTableSize> items);
  void applyCcMap(std::span<const std::uint8_t, kTableSize> items);
  void applyPcRemap(std::span<const std::uint8_t, kTableSize> items);
  void deselectAll();
  void defaultProgramChange();

  // Loop columns in the interlock group are painted red in every row.
  void setLockMask(quint8 mask);
  quint8 lockMask() const { return lockMask_; }

 private:
  void columnsChanged(int first, int last, const QList<int>& roles);

  PresetTables tables_;
  quint8 lockMask_ = 0;
};

}  // namespace tarvik
