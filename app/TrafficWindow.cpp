// SPDX-License-Identifier: MIT
#include "app/TrafficWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "app/Dialogs.h"
#include "app/NamedButton.h"
#include "tools/TrafficHistory.h"

namespace tarvik {

TrafficWindow::TrafficWindow(TrafficHistory& history, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window),
      history_(history),
      dialogs_(dialogs),
      list_(new QListView(this)),
      pause_(namedButton(this, "PauseButton", tr("Pause"))),
      clear_(namedButton(this, "ClearButton", tr("Clear"))),
      save_(namedButton(this, "SaveButton", tr("Save..."))),
      copy_(new QAction(tr("Copy"), list_)) {
  setObjectName(QStringLiteral("TrafficWindow"));
  setWindowTitle(tr("MIDI Traffic"));
  resize(720, 400);

  list_->setObjectName(QStringLiteral("TrafficList"));
  list_->setAccessibleName(tr("MIDI traffic"));
  list_->setModel(&model_);
  // Every row is one line of one font: the view lays out a long list without asking for rows it
  // does not show.
  list_->setUniformItemSizes(true);
  list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setContextMenuPolicy(Qt::ActionsContextMenu);
  copy_->setShortcut(QKeySequence::Copy);
  copy_->setShortcutContext(Qt::WidgetShortcut);
  list_->addAction(copy_);
  pause_->setCheckable(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(pause_);
  buttons->addWidget(clear_);
  buttons->addStretch();
  buttons->addWidget(save_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(buttons);

  connect(&model_, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
    const QScrollBar* bar = list_->verticalScrollBar();
    following_ = bar->value() == bar->maximum();
  });
  connect(&model_, &QAbstractItemModel::rowsInserted, this, [this] {
    if (following_) list_->scrollToBottom();
  });
  connect(copy_, &QAction::triggered, this, &TrafficWindow::copySelected);
  connect(pause_, &QPushButton::toggled, this, [this](bool on) { model_.setPaused(on); });
  connect(clear_, &QPushButton::clicked, &model_, &TrafficModel::clear);
  connect(save_, &QPushButton::clicked, this, [this] {
    model_.flush();
    exportPlainText(dialogs_, this, model_.fullLines());
  });
}

TrafficWindow::~TrafficWindow() { detach(); }

void TrafficWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (history_.forward() == &model_) return;  // shown again after being minimised
  history_.replay(
      seen_, [this](QTime time, TrafficDirection direction, std::span<const std::uint8_t> bytes) {
        model_.recordAt(time, direction, bytes.data(), bytes.size());
      });
  model_.flush();
  history_.setForward(&model_);
}

void TrafficWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  // A spontaneous hide is the window being minimised: it still wants the traffic.
  if (!event->spontaneous()) detach();
}

void TrafficWindow::detach() {
  if (history_.forward() != &model_) return;
  history_.setForward(nullptr);
  seen_ = history_.total();
}

void TrafficWindow::copySelected() {
  QModelIndexList rows = list_->selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end());
  QStringList lines;
  lines.reserve(rows.size());
  for (const QModelIndex& row : rows) lines << model_.fullLine(row.row());
  if (!lines.isEmpty()) QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
}

}  // namespace tarvik
