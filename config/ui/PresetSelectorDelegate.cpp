// SPDX-License-Identifier: MIT
#include "config/ui/PresetSelectorDelegate.h"

#include <QComboBox>

namespace tarvik {

PresetSelectorDelegate::PresetSelectorDelegate(QStringList items, QObject* parent)
    : QStyledItemDelegate(parent), items_(std::move(items)) {}

QWidget* PresetSelectorDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                              const QModelIndex&) const {
  auto* combo = new QComboBox(parent);
  combo->addItems(items_);
  auto* self = const_cast<PresetSelectorDelegate*>(this);
  connect(combo, &QComboBox::activated, self, [self, combo] {
    Q_EMIT self->commitData(combo);
    Q_EMIT self->closeEditor(combo);
  });
  return combo;
}

void PresetSelectorDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* combo = static_cast<QComboBox*>(editor);
  const int selected = index.data(Qt::EditRole).toInt();
  combo->setCurrentIndex(selected >= 0 && selected < combo->count() ? selected : -1);
}

void PresetSelectorDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                          const QModelIndex& index) const {
  model->setData(index, static_cast<QComboBox*>(editor)->currentIndex(), Qt::EditRole);
}

void PresetSelectorDelegate::updateEditorGeometry(QWidget* editor,
                                                  const QStyleOptionViewItem& option,
                                                  const QModelIndex&) const {
  editor->setGeometry(option.rect);
}

}  // namespace tarvik
