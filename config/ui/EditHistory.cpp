// SPDX-License-Identifier: MIT
#include "config/ui/EditHistory.h"

#include <QCoreApplication>
#include <QUndoCommand>
#include <utility>

namespace tarvik {
namespace {

// A change that has already happened when it is recorded: its first redo, which the stack runs
// on push, has nothing to do.
class SnapshotStep : public QUndoCommand {
 public:
  SnapshotStep(EditHistory& history, EditHistory::Snapshot before, EditHistory::Snapshot after,
               const QString& text)
      : QUndoCommand(text),
        history_(history),
        before_(std::move(before)),
        after_(std::move(after)) {}

  void undo() override { history_.restore(before_); }
  void redo() override {
    if (std::exchange(pushed_, false)) return;
    history_.restore(after_);
  }

 private:
  EditHistory& history_;
  EditHistory::Snapshot before_;
  EditHistory::Snapshot after_;
  bool pushed_ = true;
};

QString editText(const std::array<bool, 4>& touched, bool namesTouched, bool labelsTouched) {
  static const char* const kNames[] = {QT_TRANSLATE_NOOP("EditHistory", "presets"),
                                       QT_TRANSLATE_NOOP("EditHistory", "control changes"),
                                       QT_TRANSLATE_NOOP("EditHistory", "program change remap"),
                                       QT_TRANSLATE_NOOP("EditHistory", "settings")};
  QStringList names;
  for (std::size_t i = 0; i < touched.size(); ++i) {
    if (touched[i]) names << QCoreApplication::translate("EditHistory", kNames[i]);
  }
  if (namesTouched) names << QCoreApplication::translate("EditHistory", "preset names");
  if (labelsTouched) names << QCoreApplication::translate("EditHistory", "loop names");
  return QCoreApplication::translate("EditHistory", "edit %1")
      .arg(names.join(QStringLiteral(", ")));
}

}  // namespace

EditHistory::EditHistory(Configuration& configuration, QObject* parent)
    : QObject(parent), configuration_(configuration), seen_(current()) {
  stack_.setUndoLimit(kUndoSteps);
  connect(&configuration_, &Configuration::changed, this, [this](Block block) {
    if (!restoring_) touched_[static_cast<std::size_t>(block)] = true;
  });
  connect(&configuration_, &Configuration::namesChanged, this, [this] {
    if (!restoring_) namesTouched_ = true;
  });
  connect(&configuration_, &Configuration::labelsChanged, this, [this] {
    if (!restoring_) labelsTouched_ = true;
  });
  connect(&configuration_, &Configuration::changeFinished, this, &EditHistory::onChangeFinished);
}

EditHistory::Snapshot EditHistory::current() const {
  return {configuration_.tables(), configuration_.record(), configuration_.names(),
          configuration_.labels()};
}

void EditHistory::beginStep(const QString& text) {
  if (stepOpen_) return;
  stepOpen_ = true;
  stepText_ = text;
}

void EditHistory::endStep() {
  if (!stepOpen_) return;
  stepOpen_ = false;
  record(seen_, stepText_);
}

void EditHistory::onChangeFinished() {
  if (restoring_ || stepOpen_) return;
  record(seen_, editText(touched_, namesTouched_, labelsTouched_));
}

void EditHistory::record(Snapshot before, const QString& text) {
  Snapshot after = current();
  touched_ = {};
  namesTouched_ = false;
  labelsTouched_ = false;
  if (after == before) return;
  seen_ = after;
  stack_.push(new SnapshotStep(*this, std::move(before), std::move(after), text));
}

void EditHistory::restore(const Snapshot& snapshot) {
  const bool wasRestoring = std::exchange(restoring_, true);
  configuration_.setTables(snapshot.tables);
  configuration_.setRecord(snapshot.record);
  configuration_.setNames(snapshot.names);
  configuration_.setLabels(snapshot.labels);
  restoring_ = wasRestoring;
  seen_ = snapshot;
}

}  // namespace tarvik
