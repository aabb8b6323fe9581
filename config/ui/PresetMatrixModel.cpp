// SPDX-License-Identifier: MIT
#include "config/ui/PresetMatrixModel.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include "config/ChangeMarks.h"
#include "config/ui/SelectorItems.h"

namespace tarvik {
namespace {

QString itemText(const QStringList& items, int index) {
  return index >= 0 && index < items.size() ? items[index] : QString();
}

// A changed value is tinted amber; in the interlock group's red columns a deeper orange, which
// stays apart from both the red and the plain tint.
// Built once: a repaint asks for them for every visible cell.
const QBrush& changedTint() {
  static const QBrush brush(QColor(255, 224, 130));
  return brush;
}
const QBrush& changedInterlockTint() {
  static const QBrush brush(QColor(255, 150, 40));
  return brush;
}
const QBrush& interlockRed() {
  static const QBrush brush(QColor(Qt::red));
  return brush;
}
const QVariant& boldFont() {
  static const QVariant font = [] {
    QFont bold;
    bold.setBold(true);
    return QVariant(bold);
  }();
  return font;
}

}  // namespace

PresetMatrixModel::PresetMatrixModel(Configuration& configuration, QObject* parent)
    : QAbstractTableModel(parent),
      configuration_(configuration),
      lockMask_(configuration.record().lockMask) {
  connect(&configuration_, &Configuration::changed, this, &PresetMatrixModel::onChanged);
}

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
  if (role == ChangedRole) {
    return changed(row, column);
  }
  if (column < kLoopColumns) {
    const bool interlock = (lockMask_ >> column) & 1U;
    switch (role) {
      case Qt::CheckStateRole:
        return tables().loopOn(row, column) ? Qt::Checked : Qt::Unchecked;
      case Qt::BackgroundRole:
        if (changed(row, column)) {
          return interlock ? changedInterlockTint() : changedTint();
        }
        if (interlock) {
          return interlockRed();
        }
        return {};
      default:
        return {};
    }
  }
  const int selected = column == kCcColumn ? tables().cc(row) : tables().pcRemap(row);
  switch (role) {
    case Qt::DisplayRole:
      return itemText(column == kCcColumn ? SelectorItems::loops() : SelectorItems::programs(),
                      selected);
    case Qt::EditRole:
      return selected;
    case Qt::BackgroundRole:
      return changed(row, column) ? QVariant(changedTint()) : QVariant();
    case Qt::FontRole:
      return changed(row, column) ? boldFont() : QVariant();
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
    return tr("LOOP%1").arg(section + 1);
  }
  if (section == kCcColumn) {
    return tr("Controll Change (IAM over Midi)");
  }
  if (section == kPcRemapColumn) {
    return tr("Programm Change Output");
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
  if (!editable_ || !checkIndex(index, CheckIndexOption::IndexIsValid)) {
    return false;
  }
  const int row = index.row();
  const int column = index.column();
  if (column < kLoopColumns) {
    if (role != Qt::CheckStateRole) {
      return false;
    }
    const bool wantOn = value.value<Qt::CheckState>() == Qt::Checked;
    if (wantOn != tables().loopOn(row, column)) {
      configuration_.clickLoop(row, column);
    }
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
    configuration_.chooseCc(row, selected);
  } else {
    configuration_.choosePcRemap(row, selected);
  }
  return true;
}

void PresetMatrixModel::setChangeMarks(const ChangeMarks* marks) {
  if (marks_ != nullptr) disconnect(marks_, nullptr, this, nullptr);
  marks_ = marks;
  if (marks_ != nullptr) {
    connect(marks_, &ChangeMarks::marksChanged, this, &PresetMatrixModel::onMarksChanged);
  }
  Q_EMIT dataChanged(index(0, 0), index(PresetTables::kRows - 1, kColumns - 1),
                     {Qt::BackgroundRole, Qt::FontRole, ChangedRole});
}

bool PresetMatrixModel::changed(int row, int column) const {
  if (marks_ == nullptr) return false;
  if (column < kLoopColumns) return (marks_->difference(Block::Presets, row) >> column) & 1U;
  return marks_->difference(column == kCcColumn ? Block::CcMap : Block::PcRemap, row) != 0;
}

void PresetMatrixModel::onMarksChanged(Block block, int firstRow, int lastRow) {
  switch (block) {
    case Block::Presets:
      Q_EMIT dataChanged(index(firstRow, 0), index(lastRow, kLoopColumns - 1),
                         {Qt::BackgroundRole, ChangedRole});
      return;
    case Block::CcMap:
    case Block::PcRemap: {
      const int column = block == Block::CcMap ? kCcColumn : kPcRemapColumn;
      Q_EMIT dataChanged(index(firstRow, column), index(lastRow, column),
                         {Qt::BackgroundRole, Qt::FontRole, ChangedRole});
      return;
    }
    case Block::Record:
      return;
  }
}

void PresetMatrixModel::onChanged(Block block, int firstRow, int lastRow) {
  switch (block) {
    case Block::Presets:
      Q_EMIT dataChanged(index(firstRow, 0), index(lastRow, kLoopColumns - 1),
                         {Qt::CheckStateRole});
      return;
    case Block::CcMap:
      Q_EMIT dataChanged(index(firstRow, kCcColumn), index(lastRow, kCcColumn),
                         {Qt::DisplayRole, Qt::EditRole});
      return;
    case Block::PcRemap:
      Q_EMIT dataChanged(index(firstRow, kPcRemapColumn), index(lastRow, kPcRemapColumn),
                         {Qt::DisplayRole, Qt::EditRole});
      return;
    case Block::Record: {
      const quint8 mask = configuration_.record().lockMask;
      if (mask == lockMask_) return;
      lockMask_ = mask;
      Q_EMIT dataChanged(index(0, 0), index(PresetTables::kRows - 1, kLoopColumns - 1),
                         {Qt::BackgroundRole});
      return;
    }
  }
}

}  // namespace tarvik
