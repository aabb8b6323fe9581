// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractTableModel>
#include <QList>

#include "library/Setup.h"

namespace tarvik {

// The setups of the Library window, one a row in the order given (the store's: by name): the
// name, the last change in local time and the note. Only the rows in view are ever formatted,
// so ten thousand setups cost no more than a screenful.
class SetupListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { kName, kChanged, kNote, kColumns };

  using QAbstractTableModel::QAbstractTableModel;

  // Resets the model only when the setups differ from those it holds, so that a refresh that
  // finds nothing new keeps the view's scroll position and selection.
  void setSetups(QList<SetupSummary> setups);
  const QList<SetupSummary>& setups() const { return setups_; }
  // The row of the setup of that name; -1 when there is none.
  int rowOf(const QString& name) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  QList<SetupSummary> setups_;
};

}  // namespace tarvik
