// SPDX-License-Identifier: MIT
#include "app/EventLogMenu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QListWidget>

#include "app/EventLog.h"
#include "app/PlainTextExport.h"

namespace tarvik {

EventLogMenu::EventLogMenu(QListWidget& list, Dialogs& dialogs, QWidget* owner)
    : QObject(&list),
      list_(list),
      dialogs_(dialogs),
      owner_(owner),
      copy_(new QAction(tr("Copy"), &list)),
      save_(new QAction(tr("Save log..."), &list)),
      clear_(new QAction(tr("Clear"), &list)) {
  copy_->setShortcut(QKeySequence::Copy);
  copy_->setShortcutContext(Qt::WidgetShortcut);
  // The list shows its actions as its context menu, so no code of ours runs until one is chosen.
  list_.setContextMenuPolicy(Qt::ActionsContextMenu);
  list_.addActions({copy_, save_, clear_});
  connect(copy_, &QAction::triggered, this, &EventLogMenu::copySelected);
  connect(save_, &QAction::triggered, this, &EventLogMenu::saveAll);
  connect(clear_, &QAction::triggered, &list_, &QListWidget::clear);
}

void EventLogMenu::copySelected() {
  QStringList lines;
  for (int row = 0; row < list_.count(); ++row) {
    if (list_.item(row)->isSelected()) lines << EventLog::textOf(*list_.item(row));
  }
  if (!lines.isEmpty()) QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
}

void EventLogMenu::saveAll() {
  QStringList lines;
  lines.reserve(list_.count());
  for (int row = 0; row < list_.count(); ++row) lines << EventLog::textOf(*list_.item(row));
  exportPlainText(dialogs_, owner_, lines);
}

}  // namespace tarvik
