// SPDX-License-Identifier: MIT
#include "config/ui/PresetRowActions.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>

#include "config/PresetClipboard.h"
#include "config/ui/EditHistory.h"
#include "config/ui/PresetMatrixModel.h"

namespace tarvik {

PresetRowActions::PresetRowActions(PresetMatrixModel& model, QTableView& view, QObject* parent)
    : QObject(parent), model_(model), view_(view) {
  add("copyRowsAction", tr("Copy presets"), QKeySequence::keyBindings(QKeySequence::Copy),
      &PresetRowActions::copy);
  add("cutRowsAction", tr("Cut presets"), QKeySequence::keyBindings(QKeySequence::Cut),
      &PresetRowActions::cut);
  add("pasteRowsAction", tr("Paste presets"), QKeySequence::keyBindings(QKeySequence::Paste),
      &PresetRowActions::paste);
  add("duplicateRowsAction", tr("Duplicate presets"), {QKeySequence(Qt::CTRL | Qt::Key_D)},
      &PresetRowActions::duplicate);
  add("swapRowsAction", tr("Swap two presets"), {}, &PresetRowActions::swap);
  add("moveRowsUpAction", tr("Move presets up"), {QKeySequence(Qt::ALT | Qt::Key_Up)},
      &PresetRowActions::moveUp);
  add("moveRowsDownAction", tr("Move presets down"), {QKeySequence(Qt::ALT | Qt::Key_Down)},
      &PresetRowActions::moveDown);
  add("insertRowAction", tr("Insert empty preset"), {QKeySequence(Qt::Key_Insert)},
      &PresetRowActions::insertEmpty);

  // A row number dragged elsewhere moves the preset; the header's own order stays the rows'
  // order, so that row n is always labelled n.
  // A press on a row number selects the preset (Shift and Ctrl extend) before any drag.
  QHeaderView* rows = view_.verticalHeader();
  rows->setSectionsClickable(true);
  rows->setHighlightSections(true);
  rows->setSectionsMovable(true);
  connect(rows, &QHeaderView::sectionMoved, this, &PresetRowActions::onHeaderMoved);
}

QAction* PresetRowActions::add(const char* name, const QString& text,
                               const QList<QKeySequence>& keys, void (PresetRowActions::*act)()) {
  auto* action = new QAction(text, &view_);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcuts(keys);
  // Only while the grid itself has the focus: an open name or selector editor keeps its own
  // copy, paste and arrow keys.
  action->setShortcutContext(Qt::WidgetShortcut);
  connect(action, &QAction::triggered, this, act);
  view_.addAction(action);
  actions_ << action;
  return action;
}

QAction* PresetRowActions::action(const QString& objectName) const {
  const auto found = std::find_if(actions_.begin(), actions_.end(),
                                  [&](const QAction* a) { return a->objectName() == objectName; });
  return found == actions_.end() ? nullptr : *found;
}

void PresetRowActions::setEditable(bool editable) {
  for (QAction* a : actions_) {
    if (a->objectName() != QLatin1String("copyRowsAction")) a->setEnabled(editable);
  }
}

PresetRows PresetRowActions::presets() const {
  const Configuration& configuration = model_.configuration();
  return {configuration.tables(), configuration.names()};
}

PresetRows::Rows PresetRowActions::selectedRows() const {
  PresetRows::Rows rows;
  if (const QItemSelectionModel* selection = view_.selectionModel()) {
    for (const QModelIndex& index : selection->selectedIndexes()) rows.push_back(index.row());
  }
  if (rows.empty() && view_.currentIndex().isValid()) rows.push_back(view_.currentIndex().row());
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

void PresetRowActions::select(const PresetRows::Rows& rows) {
  QItemSelectionModel* selection = view_.selectionModel();
  if (selection == nullptr || rows.empty()) return;
  const int column = std::max(view_.currentIndex().column(), 0);
  QItemSelection chosen;
  for (int row : rows) chosen.select(model_.index(row, 0), model_.index(row, column));
  selection->setCurrentIndex(model_.index(rows.front(), column), QItemSelectionModel::NoUpdate);
  selection->select(chosen, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QByteArray PresetRowActions::copyText() const {
  const PresetRows::Rows rows = selectedRows();
  return rows.empty() ? QByteArray() : PresetClipboard::text(presets(), rows);
}

QString PresetRowActions::pasteText(const QByteArray& text) {
  const PresetRows::Rows rows = selectedRows();
  if (!model_.editable() || rows.empty()) return {};
  const PresetClipboard::Read read = PresetClipboard::read(text);
  if (!read.problem.isEmpty()) {
    const QString why = tr("The clipboard holds no presets to paste: %1.").arg(read.problem);
    Q_EMIT problemChanged(why);
    return why;
  }
  rearrange(tr("paste presets"),
            [&](PresetRows& presets) { return presets.paste(rows.front(), read.rows); });
  return {};
}

void PresetRowActions::copy() {
  const QByteArray text = copyText();
  if (!text.isEmpty()) QApplication::clipboard()->setText(QString::fromUtf8(text));
}

void PresetRowActions::rearrange(const QString& step,
                                 const std::function<PresetRows::Rows(PresetRows&)>& act) {
  if (!model_.editable()) return;
  PresetRows changed = presets();
  const PresetRows::Rows placed = act(changed);
  if (placed.empty()) return;
  Configuration& configuration = model_.configuration();
  if (interlockPlaced_) changed.interlock(placed, configuration.record().lockMask);
  if (history_ != nullptr) history_->beginStep(step);
  {
    const Configuration::CallScope call(configuration);
    configuration.setTables(changed.tables());
    configuration.setNames(changed.names());
  }
  if (history_ != nullptr) history_->endStep();
  select(placed);
  Q_EMIT problemChanged({});
}

void PresetRowActions::cut() {
  const PresetRows::Rows rows = selectedRows();
  if (!model_.editable() || rows.empty()) return;
  copy();
  rearrange(tr("cut presets"), [&rows](PresetRows& presets) {
    presets.remove(rows);
    return PresetRows::Rows{rows.front()};
  });
}

void PresetRowActions::paste() { pasteText(QApplication::clipboard()->text().toUtf8()); }

void PresetRowActions::duplicate() {
  rearrange(tr("duplicate presets"),
            [this](PresetRows& presets) { return presets.duplicate(selectedRows()); });
}

void PresetRowActions::swap() {
  const PresetRows::Rows rows = selectedRows();
  if (rows.size() != 2) return;
  rearrange(tr("swap presets"),
            [&rows](PresetRows& presets) { return presets.swap(rows.front(), rows.back()); });
}

void PresetRowActions::moveUp() {
  rearrange(tr("move presets"),
            [this](PresetRows& presets) { return presets.moveUp(selectedRows()); });
}

void PresetRowActions::moveDown() {
  rearrange(tr("move presets"),
            [this](PresetRows& presets) { return presets.moveDown(selectedRows()); });
}

void PresetRowActions::insertEmpty() {
  const PresetRows::Rows rows = selectedRows();
  if (rows.empty()) return;
  rearrange(tr("insert an empty preset"),
            [&rows](PresetRows& presets) { return presets.insertEmpty(rows.front()); });
}

void PresetRowActions::dragRow(int from, int to) {
  rearrange(tr("move presets"), [=](PresetRows& presets) { return presets.move(from, to); });
}

void PresetRowActions::onHeaderMoved(int logical, int oldVisual, int newVisual) {
  if (resettingHeader_) return;
  resettingHeader_ = true;
  view_.verticalHeader()->moveSection(newVisual, oldVisual);
  resettingHeader_ = false;
  dragRow(logical, newVisual);
}

}  // namespace tarvik
