// SPDX-License-Identifier: MIT
#include "app/SnapshotListModel.h"

#include "app/LibraryTime.h"

namespace tarvik {

void SnapshotListModel::setSnapshots(QList<SnapshotSummary> snapshots) {
  if (snapshots == snapshots_) return;
  beginResetModel();
  snapshots_ = std::move(snapshots);
  endResetModel();
}

int SnapshotListModel::rowOf(qint64 id) const {
  for (int row = 0; row < snapshots_.size(); ++row) {
    if (snapshots_[row].id == id) return row;
  }
  return -1;
}

QString SnapshotListModel::eventText(const QString& event) {
  if (event == QLatin1String("download")) return tr("read from Tarvik");
  if (event == QLatin1String("submit")) return tr("sent to Tarvik");
  if (event == QLatin1String("restore")) return tr("restored, verified");
  if (event == QLatin1String("unverified restore")) return tr("restored, not verified");
  // An event of a newer program: its own word.
  return event;
}

int SnapshotListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(snapshots_.size());
}

int SnapshotListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant SnapshotListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= snapshots_.size() || role != Qt::DisplayRole) return {};
  const SnapshotSummary& snapshot = snapshots_[index.row()];
  switch (index.column()) {
    case kTime:
      return LibraryTime::text(snapshot.time);
    case kEvent:
      return eventText(snapshot.event);
    default:
      return {};
  }
}

QVariant SnapshotListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case kTime:
      return tr("Time");
    case kEvent:
      return tr("Event");
    default:
      return {};
  }
}

}  // namespace tarvik
