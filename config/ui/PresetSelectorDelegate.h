// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

namespace tarvik {

// Edits a selector cell of the preset matrix with a drop-down list. The model holds the
// selected item index (-1: none); a choice is written back at once, whether it was made in the
// list or with the arrow keys on the closed editor. The editor lives only as long as the edit:
// once its list has closed (a choice, Escape, a click elsewhere) it closes too, so that no
// editor is left over a cell to take the arrow keys or the wheel meant for the grid.
class PresetSelectorDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  PresetSelectorDelegate(QStringList items, QObject* parent = nullptr);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;

  const QStringList& items() const { return items_; }
  // For an editor opened from now on.
  void setItems(const QStringList& items) { items_ = items; }

 private:
  QStringList items_;
};

}  // namespace tarvik
