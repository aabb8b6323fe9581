// SPDX-License-Identifier: MIT
#include "app/SetupListModel.h"

#include "app/LibraryTime.h"

namespace tarvik {

void SetupListModel::setSetups(QList<SetupSummary> setups) {
  if (setups == setups_) return;
  beginResetModel();
  setups_ = std::move(setups);
  endResetModel();
}

int SetupListModel::rowOf(const QString& name) const {
  for (int row = 0; row < setups_.size(); ++row) {
    if (setups_[row].name == name) return row;
  }
  return -1;
}

int SetupListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(setups_.size());
}

int SetupListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant SetupListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= setups_.size()) return {};
  const SetupSummary& setup = setups_[index.row()];
  if (role == Qt::ToolTipRole && index.column() == kNote && !setup.note.isEmpty()) {
    return setup.note;
  }
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case kName:
      return setup.name;
    case kChanged:
      return LibraryTime::text(setup.changed);
    case kNote:
      // A note may hold line breaks; the row shows its first line, the tooltip all of it.
      return setup.note.section(QLatin1Char('\n'), 0, 0);
    default:
      return {};
  }
}

QVariant SetupListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case kName:
      return tr("Name");
    case kChanged:
      return tr("Last change");
    case kNote:
      return tr("Note");
    default:
      return {};
  }
}

}  // namespace tarvik
