// SPDX-License-Identifier: MIT
#include "config/ui/PresetSelectorDelegate.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QPointer>

#include <functional>

namespace tarvik {
namespace {

// Calls back when the watched window hides. The list of a combo box is a window of its own,
// and hiding it is the one thing every way of leaving the list has in common.
class HideWatcher : public QObject {
 public:
  HideWatcher(QWidget* watched, std::function<void()> hidden)
      : QObject(watched), hidden_(std::move(hidden)) {
    watched->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Hide) hidden_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> hidden_;
};

}  // namespace

PresetSelectorDelegate::PresetSelectorDelegate(QStringList items, QObject* parent)
    : QStyledItemDelegate(parent), items_(std::move(items)) {}

QWidget* PresetSelectorDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                              const QModelIndex&) const {
  auto* combo = new QComboBox(parent);
  combo->addItems(items_);
  auto* self = const_cast<PresetSelectorDelegate*>(this);
  connect(combo, &QComboBox::activated, self, [self, combo] { Q_EMIT self->commitData(combo); });
  // The list hides before it reports the choice, and a closed editor's data is no longer
  // committed; so the editor closes only once the choice has been handled.
  QPointer<QComboBox> guarded(combo);
  new HideWatcher(combo->view()->window(), [self, guarded] {
    QMetaObject::invokeMethod(
        self,
        [self, guarded] {
          if (guarded) Q_EMIT self->closeEditor(guarded);
        },
        Qt::QueuedConnection);
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
