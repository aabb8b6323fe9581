// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "config/PresetRows.h"

class QAction;
class QTableView;

namespace tarvik {

class EditHistory;
class PresetMatrixModel;

// The matrix's acts on whole presets: copy, cut, paste, duplicate, swap, move up and down
// (also by dragging a row number) and insert an empty row, on the selected rows. Each act
// reaches the configuration as one change, so the history makes one undo step of it and the
// marks see it; none runs while the model takes no edits, except copying.
class PresetRowActions : public QObject {
  Q_OBJECT
 public:
  PresetRowActions(PresetMatrixModel& model, QTableView& view, QObject* parent = nullptr);

  // In menu order, for the view's context menu; each with its shortcut on the view.
  QList<QAction*> actions() const { return actions_; }
  QAction* action(const QString& objectName) const;

  // Whether the rows an act places (moved, swapped, pasted, duplicated) follow the interlock
  // rule; off, they arrive exactly as they were.
  void setInterlockPlaced(bool on) { interlockPlaced_ = on; }
  // Names each act's undo step after the act ("move presets"); without a history the step takes
  // the name of what changed.
  void setHistory(EditHistory* history) { history_ = history; }
  // Follows the model's editable state: off, only copying stays.
  void setEditable(bool editable);

  PresetRows::Rows selectedRows() const;
  // The selected rows as clipboard text, and the clipboard's text over the selection.
  QByteArray copyText() const;
  // Writes the rows `text` holds from the first selected row on; a refused text changes
  // nothing and returns why.
  QString pasteText(const QByteArray& text);

  void copy();
  void cut();
  void paste();
  void duplicate();
  // Exactly two rows must be selected.
  void swap();
  void moveUp();
  void moveDown();
  void insertEmpty();
  // A row number dragged from row `from` to row `to`.
  void dragRow(int from, int to);

 Q_SIGNALS:
  // A paste was refused, or a paste or another act succeeded (an empty text).
  void problemChanged(const QString& problem);

 private:
  QAction* add(const char* name, const QString& text, const QList<QKeySequence>& keys,
               void (PresetRowActions::*act)());
  PresetRows presets() const;
  // While the model takes edits: `act` on the present rows, which then go into the
  // configuration as one change named `step` when it placed any; those are selected.
  void rearrange(const QString& step, const std::function<PresetRows::Rows(PresetRows&)>& act);
  void select(const PresetRows::Rows& rows);
  void onHeaderMoved(int logical, int oldVisual, int newVisual);

  PresetMatrixModel& model_;
  QTableView& view_;
  QList<QAction*> actions_;
  EditHistory* history_ = nullptr;
  bool interlockPlaced_ = false;
  bool resettingHeader_ = false;
};

}  // namespace tarvik
