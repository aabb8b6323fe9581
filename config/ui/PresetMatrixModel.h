// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractTableModel>

#include "config/Configuration.h"

namespace tarvik {

class ChangeMarks;

// The preset matrix as a table over the configuration: one row per preset, eight loop check
// columns, the CC map's loop selector, the PC remap table's program selector and the preset's
// name. A change through setData() is the user's edit (a loop click runs the interlock rule, a
// name is trimmed or refused); every other change reaches the configuration directly and shows
// here through its changed() and namesChanged() signals.
class PresetMatrixModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kLoopColumns = PresetTables::kLoops;
  static constexpr int kCcColumn = 8;
  static constexpr int kPcRemapColumn = 9;
  // Last in the model, so that the device's columns keep their indices; the view shows it
  // first, beside the row number.
  static constexpr int kNameColumn = 10;
  static constexpr int kColumns = 11;
  // True where the cell's value differs from what the device holds.
  static constexpr int ChangedRole = Qt::UserRole + 1;

  explicit PresetMatrixModel(Configuration& configuration, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  const PresetTables& tables() const { return configuration_.tables(); }
  Configuration& configuration() { return configuration_; }
  // Cells that differ from the device are tinted (their text bold); without marks none is.
  void setChangeMarks(const ChangeMarks* marks);
  // Not editable: no cell takes a value, whatever asks (a click, a selector closing late).
  void setEditable(bool editable) { editable_ = editable; }
  bool editable() const { return editable_; }

 private:
  void onChanged(Block block, int firstRow, int lastRow);
  void onMarksChanged(Block block, int firstRow, int lastRow);
  void onNamesChanged(int firstRow, int lastRow);
  bool changed(int row, int column) const;
  // What a screen reader says of a cell: which preset and column it is (with a selector's or
  // a name's value, which a table cell has no other way to tell), and for a changed value what
  // the device holds.
  QString accessibleName(int row, int column) const;
  QString accessibleDescription(int row, int column) const;
  QString deviceValueText(int row, int column) const;

  Configuration& configuration_;
  // Loop columns in the interlock group are painted red in every row.
  quint8 lockMask_ = 0;
  const ChangeMarks* marks_ = nullptr;
  bool editable_ = true;
};

}  // namespace tarvik
