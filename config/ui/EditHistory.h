// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>

#include "config/Configuration.h"

namespace tarvik {

// The undo history of the configuration. Every change the configuration reports finished (a
// user's click or setting, "Deselect all", a file load) becomes one step; a step opened with
// beginStep() gathers every change until endStep(), so a download that arrives in four
// replies is one step too.
//
// A step holds the whole configuration before and after it (about 9 KB with the names), so undo
// and redo put back exactly what was there through the configuration's exact setters: the
// editing rules (interlock, mute versus momentary) never run again. At that size the history
// keeps only the newest kUndoSteps steps; an evening of clicking would otherwise hold tens of
// megabytes.
class EditHistory : public QObject {
  Q_OBJECT
 public:
  static constexpr int kUndoSteps = 100;

  struct Snapshot {
    PresetTables tables;
    ConfigRecord record;
    PresetNames names;
    LoopLabels labels = {};
    bool operator==(const Snapshot&) const = default;
  };

  explicit EditHistory(Configuration& configuration, QObject* parent = nullptr);

  QUndoStack& stack() { return stack_; }
  // Ignored while a step is open: a download still arriving would land on top of it.
  void undo() {
    if (!stepOpen_) stack_.undo();
  }
  void redo() {
    if (!stepOpen_) stack_.redo();
  }

  // Opening a step while one is open keeps the first; ending none does nothing.
  void beginStep(const QString& text);
  void endStep();

  // Puts the configuration in the snapshot's state without recording a step.
  void restore(const Snapshot& snapshot);

 private:
  Snapshot current() const;
  void onChangeFinished();
  void record(Snapshot before, const QString& text);

  Configuration& configuration_;
  QUndoStack stack_;
  // The configuration as the history last saw it: the "before" of the next step.
  Snapshot seen_;
  bool restoring_ = false;
  bool stepOpen_ = false;
  QString stepText_;
  // Blocks changed since seen_, for the name of the next step.
  std::array<bool, 4> touched_{};
  bool namesTouched_ = false;
  bool labelsTouched_ = false;
};

}  // namespace tarvik
