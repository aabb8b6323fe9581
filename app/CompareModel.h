// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractItemModel>
#include <QList>

#include "config/ConfigDiff.h"

namespace tarvik {

// The differences of a comparison as a tree: a row per block that differs ("Presets (3)"), its
// differing rows under it, each with the row's label and both sides' values (DifferenceTexts).
// A new comparison resets the model once, and texts are made only for the rows a view asks
// for, so following each edit costs no more than the comparison itself.
class CompareModel : public QAbstractItemModel {
  Q_OBJECT
 public:
  enum Column { kRowColumn, kLeftColumn, kRightColumn, kColumnCount };

  explicit CompareModel(QObject* parent = nullptr) : QAbstractItemModel(parent) {}

  // The differences in ConfigDiff's order, block by block.
  void setDifferences(const QList<Difference>& differences);
  // What the two value columns are headed with.
  void setSideTitles(const QString& left, const QString& right);
  // The loops' labels each value column names the loops with.
  void setSideLabels(const LoopLabels& left, const LoopLabels& right) {
    leftLabels_ = left;
    rightLabels_ = right;
  }
  const QList<Difference>& differences() const { return differences_; }

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  struct Group {
    Block block;
    bool loopLabels;
    int first;  // index of its first difference
    int count;
  };
  // A group's row has id 0; a difference's row the number of its group + 1.
  static constexpr quintptr kGroupId = 0;

  QList<Difference> differences_;
  QList<Group> groups_;
  QString leftTitle_;
  QString rightTitle_;
  LoopLabels leftLabels_;
  LoopLabels rightLabels_;
};

}  // namespace tarvik
