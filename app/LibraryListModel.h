// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

#include "library/Setup.h"

namespace tarvik {

// A list of the Library window, one row a summary in the order given. The setups (the store's
// order: by name) show the name, the last change in local time and the note; the device history
// (newest first) the time in local time and the event. Only the rows in view are ever formatted,
// so ten thousand setups cost no more than a screenful.
template <class Summary>
class LibraryListModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  // Resets the model only when the rows differ from those it holds, so that a refresh that
  // finds nothing new keeps the view's scroll position and selection.
  void setRows(QList<Summary> rows) {
    if (rows == rows_) return;
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
  }
  const QList<Summary>& rows() const { return rows_; }
  // The row of the setup of that name, or of the snapshot of that id; -1 when there is none.
  template <class Key>
  int rowOf(const Key& key) const {
    for (int row = 0; row < rows_.size(); ++row) {
      if (keyOf(rows_[row]) == key) return row;
    }
    return -1;
  }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(headings().size());
  }
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override {
    if (!index.isValid() || index.row() >= rows_.size()) return {};
    return cell(rows_[index.row()], index.column(), role);
  }
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return headings().value(section);
  }

 private:
  static const QString& keyOf(const SetupSummary& setup) { return setup.name; }
  static qint64 keyOf(const SnapshotSummary& snapshot) { return snapshot.id; }
  static QStringList headings();
  static QVariant cell(const Summary& summary, int column, int role);

  QList<Summary> rows_;
};

enum SetupColumn { kSetupName, kSetupChanged, kSetupNote };
enum SnapshotColumn { kSnapshotTime, kSnapshotEvent };
using SetupListModel = LibraryListModel<SetupSummary>;
using SnapshotListModel = LibraryListModel<SnapshotSummary>;

template <>
QStringList SetupListModel::headings();
template <>
QVariant SetupListModel::cell(const SetupSummary& setup, int column, int role);
template <>
QStringList SnapshotListModel::headings();
template <>
QVariant SnapshotListModel::cell(const SnapshotSummary& snapshot, int column, int role);

}  // namespace tarvik
