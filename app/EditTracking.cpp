// SPDX-License-Identifier: MIT
#include "app/EditTracking.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QTabWidget>
#include <QToolButton>
#include <QWidget>

#include "app/Dialogs.h"

namespace tarvik {

EditTracking::EditTracking(Dialogs& dialogs, QWidget& window, ConfiguratorCore& core,
                           std::function<bool()> saveTables, QObject* parent)
    : QObject(parent),
      dialogs_(dialogs),
      window_(window),
      saveTables_(std::move(saveTables)),
      core_(core),
      history_(core.configuration()) {
  // The four replies of a download make one step; a download that ends early keeps what came.
  connect(&core_, &ConfiguratorCore::deviceIdentified, this,
          [this](const QString&, bool compatible) {
            if (compatible) history_.beginStep(tr("read configuration from Tarvik"));
          });
  // A restore's read-back asks for no identify (this restore made one), yet it is as much a
  // reading of the device as a connect's download.
  connect(&core_, &ConfiguratorCore::restoreStageChanged, this, [this](RestoreCheck::Stage stage) {
    if (stage == RestoreCheck::Stage::Verifying) {
      history_.beginStep(tr("read configuration from Tarvik"));
    }
  });
  const auto downloadEnded = [this](Chain chain) {
    if (chain == Chain::Connect) history_.endStep();
  };
  connect(&core_, &ConfiguratorCore::transferFinished, this, downloadEnded);
  connect(&core_, &ConfiguratorCore::transferAborted, this, downloadEnded);
  connect(&core_.marks(), &ChangeMarks::unsavedChanged, &window_, &QWidget::setWindowModified);

  undo_ = new QAction(tr("Undo"), &window_);
  undo_->setObjectName(QStringLiteral("undoAction"));
  undo_->setShortcuts(QKeySequence::Undo);
  redo_ = new QAction(tr("Redo"), &window_);
  redo_->setObjectName(QStringLiteral("redoAction"));
  // Both habits: Ctrl+Shift+Z and Ctrl+Y, whatever the platform's own choice.
  redo_->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  for (QAction* action : {undo_, redo_}) {
    action->setShortcutContext(Qt::WindowShortcut);
    window_.addAction(action);
  }
  connect(undo_, &QAction::triggered, &history_, &EditHistory::undo);
  connect(redo_, &QAction::triggered, &history_, &EditHistory::redo);
  QUndoStack& stack = history_.stack();
  connect(&stack, &QUndoStack::indexChanged, this, &EditTracking::showUndoState);
  connect(&stack, &QUndoStack::canUndoChanged, this, &EditTracking::showUndoState);
  connect(&stack, &QUndoStack::canRedoChanged, this, &EditTracking::showUndoState);
  showUndoState();
}

EditTracking::~EditTracking() {
  // The history's stack reports its clearing on the way out, after the members above it.
  history_.stack().disconnect(this);
}

void EditTracking::addButtons(QTabWidget& tabs) {
  auto* corner = new QWidget(&tabs);
  auto* row = new QHBoxLayout(corner);
  row->setContentsMargins(0, 0, 2, 0);
  row->setSpacing(2);
  // Each button shows its action's caption, whether it may be used and what it would undo. Not
  // through setDefaultAction: a button that carries its action lays itself out anew at every
  // change of it, which made each submit, which locks and unlocks the buttons, twice as slow.
  for (QAction* action : {undo_, redo_}) {
    auto* button = new QToolButton(corner);
    button->setObjectName(action == undo_ ? QStringLiteral("undoButton")
                                          : QStringLiteral("redoButton"));
    button->setText(action->text());
    connect(button, &QToolButton::clicked, action, &QAction::trigger);
    const auto follow = [button, action] {
      button->setEnabled(action->isEnabled());
      button->setToolTip(action->toolTip());
    };
    connect(action, &QAction::changed, button, follow);
    follow();
    button->setAutoRaise(true);
    row->addWidget(button);
  }
  tabs.setCornerWidget(corner, Qt::TopRightCorner);
}

void EditTracking::setLocked(bool locked) {
  if (locked == locked_) return;
  locked_ = locked;
  showUndoState();
}

void EditTracking::showUndoState() {
  const QUndoStack& stack = history_.stack();
  undo_->setEnabled(!locked_ && stack.canUndo());
  redo_->setEnabled(!locked_ && stack.canRedo());
  undo_->setToolTip(stack.canUndo() ? tr("Undo %1").arg(stack.undoText()) : QString());
  redo_->setToolTip(stack.canRedo() ? tr("Redo %1").arg(stack.redoText()) : QString());
}

void EditTracking::open(const QString& stepText, const ConfigBytes& bytes,
                        const std::optional<PresetNames>& names,
                        const std::optional<LoopLabels>& labels, bool kept) {
  history_.beginStep(stepText);
  core_.open(bytes, names, labels, kept);
  history_.endStep();
  Q_EMIT opened();
}

bool EditTracking::mayDiscard(const QString& beforeWhat) {
  if (!core_.marks().unsaved()) return true;
  const QString text = tr("The configuration holds changes that are neither on the Tarvik nor "
                          "saved in a file. Save the tables %1?")
                           .arg(beforeWhat);
  switch (dialogs_.askToSave(&window_, window_.windowTitle().remove(QStringLiteral("[*]")), text)) {
    case Dialogs::SaveAnswer::Save:
      return saveTables_();
    case Dialogs::SaveAnswer::Discard:
      return true;
    case Dialogs::SaveAnswer::Cancel:
      break;
  }
  return false;
}

}  // namespace tarvik
