// SPDX-License-Identifier: MIT
#pragma once

#include <QStyledItemDelegate>

namespace tarvik {

// Edits a preset's name in the matrix with a line edit that cannot hold what can never be a
// name: at most PresetNames::kMaxLength characters, no control characters. Spaces at either end
// are let through while typing; the rename drops them.
class PresetNameDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
};

}  // namespace tarvik
