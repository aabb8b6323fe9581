// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractTableModel>
#include <QList>

#include "library/Setup.h"

namespace tarvik {

// The device history of the Library window, one snapshot a row in the order given (the
// history's: newest first): the time in local time and the event.
class SnapshotListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { kTime, kEvent, kColumns };

  using QAbstractTableModel::QAbstractTableModel;

  // Resets the model only when the snapshots differ from those it holds.
  void setSnapshots(QList<SnapshotSummary> snapshots);
  const QList<SnapshotSummary>& snapshots() const { return snapshots_; }
  int rowOf(qint64 id) const;
  // The event as the list shows it ("download" -> "read from Tarvik").
  static QString eventText(const QString& event);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  QList<SnapshotSummary> snapshots_;
};

}  // namespace tarvik
