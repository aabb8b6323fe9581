// SPDX-License-Identifier: MIT
#include "app/CcLearnActions.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "app/Dialogs.h"
#include "config/ui/EditHistory.h"
#include "config/ui/PresetMatrixTab.h"
#include "core/CcLearn.h"
#include "core/ConfiguratorCore.h"

namespace tarvik {

CcLearnActions::CcLearnActions(Dialogs& dialogs, QWidget& window, ConfiguratorCore& core,
                               EditHistory& history, PresetMatrixTab& presets, Log log,
                               QObject* parent)
    : QObject(parent),
      dialogs_(dialogs),
      window_(window),
      core_(core),
      history_(history),
      presets_(presets),
      log_(std::move(log)),
      learn_(new CcLearn(core, this)) {
  learn_->setObjectName(QStringLiteral("ccLearn"));
  presets_.setCcLearnAvailable([this] { return learn_->available(); });
  connect(&presets_, &PresetMatrixTab::ccLearnRequested, this,
          [this](int loop) { learnFor(loop); });
  connect(&presets_, &PresetMatrixTab::ccEntryLearnRequested, this,
          [this] { learnFor(std::nullopt); });
  // Queued: the message arrives inside the input's hand-over, where no box may wait.
  connect(learn_, &CcLearn::learned, this, &CcLearnActions::onLearned, Qt::QueuedConnection);
  connect(learn_, &CcLearn::timedOut, this, [this] {
    closeDialog();
    log_(tr("CC learn: no control change came within %1 seconds; nothing was changed.")
             .arg(CcLearn::kWaitMs / 1000));
    Q_EMIT ended();
  });
}

void CcLearnActions::learnFor(std::optional<int> loop) {
  if (!learn_->start()) return;
  loop_ = loop;
  const QString channel = core_.configuration().record().omniMode
                              ? tr("on any MIDI channel (omni mode)")
                              : tr("on MIDI channel %1").arg(core_.deviceChannel() + 1);
  const QString wanted = loop ? tr("Step on the switch that should switch %1.")
                                    .arg(core_.configuration().labels().item(*loop))
                              : tr("Step on the switch whose loop you want to choose.");
  openDialog(tr("%1\nWaiting up to %2 seconds for a control change %3.")
                 .arg(wanted)
                 .arg(CcLearn::kWaitMs / 1000)
                 .arg(channel));
}

void CcLearnActions::openDialog(const QString& text) {
  closeDialog();
  auto* dialog = new QDialog(&window_);
  dialog->setObjectName(QStringLiteral("ccLearnDialog"));
  dialog->setWindowTitle(tr("CC learn"));
  auto* layout = new QVBoxLayout(dialog);
  auto* label = new QLabel(text, dialog);
  label->setWordWrap(true);
  layout->addWidget(label);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, dialog);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  // Cancel, Esc or the title bar's close: the wait ends with nothing changed.
  connect(dialog, &QDialog::rejected, this, [this] {
    if (!learn_->waiting()) return;
    learn_->cancel();
    closeDialog();
    Q_EMIT ended();
  });
  dialog_ = dialog;
  // Window-modal without an event loop of its own: the input keeps arriving meanwhile.
  dialog->open();
}

void CcLearnActions::closeDialog() {
  if (!dialog_) return;
  QDialog* dialog = dialog_.data();
  dialog_.clear();
  dialog->hide();
  dialog->deleteLater();
}

void CcLearnActions::onLearned(int controller) {
  closeDialog();
  if (loop_) {
    assign(controller, *loop_);
  } else {
    presets_.showCcEntry(controller);
    log_(tr("CC learn: CC %1 came in; its entry is selected.").arg(controller));
  }
  Q_EMIT ended();
}

void CcLearnActions::assign(int controller, int loop) {
  Configuration& configuration = core_.configuration();
  const LoopLabels& labels = configuration.labels();
  // The dialog kept the window from a transfer, but one may have begun without it.
  if (core_.busy()) {
    log_(tr("CC learn: CC %1 came in while Tarvik was being read or written; nothing was "
            "changed.")
             .arg(controller));
    return;
  }
  const int entry = configuration.tables().cc(controller);
  if (entry == loop + 1) {
    log_(tr("CC learn: CC %1 switches %2 already.").arg(controller).arg(labels.item(loop)));
    return;
  }
  if (entry >= 1 && entry < PresetTables::kCcItems &&
      !dialogs_.confirm(&window_, tr("CC learn"),
                        tr("CC %1 switches %2 now. Let it switch %3 instead?")
                            .arg(controller)
                            .arg(labels.item(entry - 1), labels.item(loop)))) {
    return;
  }
  history_.beginStep(tr("Learn CC %1 for LOOP %2").arg(controller).arg(loop + 1));
  configuration.chooseCc(controller, loop + 1);
  history_.endStep();
  log_(tr("CC learn: CC %1 now switches %2.").arg(controller).arg(labels.item(loop)));
}

}  // namespace tarvik
