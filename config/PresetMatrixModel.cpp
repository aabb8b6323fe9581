// SPDX-License-Identifier: MIT
#include "config/PresetMatrixModel.h"

#include <QBrush>
#include <QColor>

#include "config/SelectorItems.h"

namespace tarvik {
namespace {

QString itemText(const QStringList& items, int index) {
  return index >= 0 && index < items.size() ? items[index] : QString();
}

}  // namespace

PresetMatrixModel::PresetMatrixModel(QObject* parent) : QAbstractTableModel(parent) {}

int PresetMatrixModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : PresetTables::kRows;
}

int PresetMatrixModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant PresetMatrixModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
    return {};
  }
  const int row = index.row();
  const int column = index.column();
  if (column < kLoopColumns) {
    switch (role) {
      case Qt::CheckStateRole:
        return tables_.loopOn(row, column) ? Qt::Checked : Qt::Unchecked;
      case Qt::BackgroundRole:
        if ((lockMask_ >> column) & 1U) {
          return QBrush(QColor(Qt::red));
        }
        return {};
      default:
        return {};
    }
  }
  const int selected = column == kCcColumn ? tables_.cc(row) : tables_.pcRemap(row);
  switch (role) {
    case Qt::DisplayRole:
      return itemText(column == kCcColumn ? SelectorItems::loops() : SelectorItems::programs(),
                      selected);
    case Qt::EditRole:
      return selected;
    default:
      return {};
  }
}

QVariant PresetMatrixModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  if (orientation == Qt::Vertical) {
    return section + 1;
  }
  if (section < kLoopColumns) {
    return QStringLiteral("LOOP%1").arg(section + 1);
  }
  if (section == kCcColumn) {
    return QStringLiteral("Controll Change (IAM over Midi)");
  }
  if (section == kPcRemapColumn) {
    return QStringLiteral("Programm Change Output");
  }
  return {};
}

Qt::ItemFlags PresetMatrixModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) {
    return Qt::NoItemFlags;
  }
  const Qt::ItemFlags base = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  return index.column() < kLoopColumns ? base | Qt::ItemIsUserCheckable : base | Qt::ItemIsEditable;
}

bool PresetMatrixModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
    return false;
  }
  const int row = index.row();
  const int column = index.column();
  if (column < kLoopColumns) {
    if (role != Qt::CheckStateRole) {
      return false;
    }
    const bool wantOn = value.value<Qt::CheckState>() == Qt::Checked;
    if (wantOn == tables_.loopOn(row, column)) {
      return true;
    }
    tables_.CheckBoxPresetClick(row, column, lockMask_);
    // The interlock may have changed other boxes of the row.
    Q_EMIT dataChanged(this->index(row, 0), this->index(row, kLoopColumns - 1),
                       {Qt::CheckStateRole});
    return true;
  }
  if (role != Qt::EditRole) {
    return false;
  }
  bool ok = false;
  const int selected = value.toInt(&ok);
  if (!ok) {
    return false;
  }
  if (column == kCcColumn) {
    tables_.setCc(row, selected);
  } else {
    tables_.setPcRemap(row, selected);
  }
  Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  return true;
}

void PresetMatrixModel::columnsChanged(int first, int last, const QList<int>& roles) {
  Q_EMIT dataChanged(index(0, first), index(PresetTables::kRows - 1, last), roles);
}

void PresetMatrixModel::setTables(const PresetTables& tables) {
  tables_ = tables;
  columnsChanged(0, kColumns - 1, {});
}

void PresetMatrixModel::applyPresets(std::span<const std::uint8_t, kTableSize> items) {
  tables_.applyPresets(items);
  columnsChanged(0, kLoopColumns - 1, {Qt::CheckStateRole});
}

void PresetMatrixModel::applyCcMap(std::span<const std::uint8_t, kTableSize> items) {
  tables_.applyCcMap(items);
  columnsChanged(kCcColumn, kCcColumn, {Qt::DisplayRole, Qt::EditRole});
}

void PresetMatrixModel::applyPcRemap(std::span<const std::uint8_t, kTableSize> items) {
  tables_.applyPcRemap(items);
  columnsChanged(kPcRemapColumn, kPcRemapColumn, {Qt::DisplayRole, Qt::EditRole});
}

void PresetMatrixModel::deselectAll() {
  tables_.deselectAll();
  columnsChanged(0, kCcColumn, {});
}

void PresetMatrixModel::defaultProgramChange() {
  tables_.defaultProgramChange();
  columnsChanged(kPcRemapColumn, kPcRemapColumn, {Qt::DisplayRole, Qt::EditRole});
}

void PresetMatrixModel::setLockMask(quint8 mask) {
  if (mask == lockMask_) {
    return;
  }
  lockMask_ = mask;
  columnsChanged(0, kLoopColumns - 1, {Qt::BackgroundRole});
}

}  // namespace tarvik
