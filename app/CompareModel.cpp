// SPDX-License-Identifier: MIT
#include "app/CompareModel.h"

#include <QFont>

#include "app/DifferenceTexts.h"

namespace tarvik {

void CompareModel::setDifferences(const QList<Difference>& differences) {
  beginResetModel();
  differences_ = differences;
  groups_.clear();
  for (int i = 0; i < differences_.size(); ++i) {
    const Difference& difference = differences_[i];
    if (groups_.isEmpty() || groups_.last().block != difference.block ||
        groups_.last().loopLabels != difference.loopLabel) {
      groups_.append({difference.block, difference.loopLabel, i, 0});
    }
    ++groups_.last().count;
  }
  endResetModel();
}

void CompareModel::setSideTitles(const QString& left, const QString& right) {
  if (left == leftTitle_ && right == rightTitle_) return;
  leftTitle_ = left;
  rightTitle_ = right;
  Q_EMIT headerDataChanged(Qt::Horizontal, kLeftColumn, kRightColumn);
}

QModelIndex CompareModel::index(int row, int column, const QModelIndex& parent) const {
  if (column < 0 || column >= kColumnCount || row < 0) return {};
  if (!parent.isValid())
    return row < groups_.size() ? createIndex(row, column, kGroupId) : QModelIndex();
  if (parent.internalId() != kGroupId || row >= groups_[parent.row()].count) return {};
  return createIndex(row, column, quintptr(parent.row()) + 1);
}

QModelIndex CompareModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == kGroupId) return {};
  return createIndex(int(child.internalId() - 1), 0, kGroupId);
}

int CompareModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return int(groups_.size());
  if (parent.internalId() != kGroupId || parent.column() != 0) return 0;
  return groups_[parent.row()].count;
}

int CompareModel::columnCount(const QModelIndex&) const { return kColumnCount; }

QVariant CompareModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (index.internalId() == kGroupId) {
    const Group& group = groups_[index.row()];
    if (role == Qt::DisplayRole && index.column() == kRowColumn) {
      const QString title =
          group.loopLabels ? DifferenceTexts::loopLabelsTitle() : blockTitle(group.block);
      return tr("%1 (%2)").arg(title).arg(group.count);
    }
    if (role == Qt::FontRole) {
      QFont bold;
      bold.setBold(true);
      return bold;
    }
    return {};
  }
  if (role != Qt::DisplayRole) return {};
  const Group& group = groups_[int(index.internalId() - 1)];
  const Difference& difference = differences_[group.first + index.row()];
  switch (index.column()) {
    case kRowColumn:
      return DifferenceTexts::rowLabel(difference);
    case kLeftColumn:
      return DifferenceTexts::sideText(difference, false, leftLabels_);
    case kRightColumn:
      return DifferenceTexts::sideText(difference, true, rightLabels_);
    default:
      return {};
  }
}

QVariant CompareModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
    return QAbstractItemModel::headerData(section, orientation, role);
  }
  switch (section) {
    case kRowColumn:
      return tr("Row");
    case kLeftColumn:
      return leftTitle_;
    case kRightColumn:
      return rightTitle_;
    default:
      return {};
  }
}

}  // namespace tarvik
