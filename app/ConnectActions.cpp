// SPDX-License-Identifier: MIT
#include "app/ConnectActions.h"

#include <QListWidget>

#include "app/CarefulRetry.h"
#include "app/Dialogs.h"
#include "app/EditTracking.h"
#include "app/ErrorBoxes.h"
#include "app/FullBackupActions.h"
#include "app/MidiTab.h"
#include "app/RememberedState.h"
#include "app/TForm1.h"
#include "core/ConfiguratorCore.h"

namespace tarvik {

ConnectActions::ConnectActions(Dialogs& dialogs, QWidget& owner, ConfiguratorCore& core,
                               EditTracking& edits, FullBackupActions& fullBackup,
                               CarefulRetry& careful, MidiTab& midi, ErrorBoxes& boxes, Log log)
    : dialogs_(dialogs),
      owner_(owner),
      core_(core),
      edits_(edits),
      fullBackup_(fullBackup),
      careful_(careful),
      midi_(midi),
      boxes_(boxes),
      log_(std::move(log)) {
  QObject::connect(&core_, &ConfiguratorCore::linkTested, &owner_,
                   [this](const LinkTestReport& report) {
                     log_(report.countsLine());
                     log_(report.roundTripLine());
                     if (const auto pace = report.paceToTry(core_.transferCare().paceMs)) {
                       log_(TForm1::tr("%1 of %2 replies lost: try a \"Transfer pace\" of %3 ms")
                                .arg(report.lost())
                                .arg(report.sent)
                                .arg(*pace));
                     }
                   });
  QObject::connect(&core_, &ConfiguratorCore::linkTestFailed, &owner_, log_);
}

std::optional<std::pair<int, int>> ConnectActions::choosePorts() {
  const int input = MidiTab::selectedPort(*midi_.inputs);
  const int output = MidiTab::selectedPort(*midi_.outputs);
  if (input < 0) {
    dialogs_.error(&owner_, TForm1::tr("Information"),
                   TForm1::tr("Please select a Midi Input Device!"));
    return std::nullopt;
  }
  if (output < 0) {
    dialogs_.error(&owner_, TForm1::tr("Information"),
                   TForm1::tr("Please select a Midi Output Device!"));
    return std::nullopt;
  }
  return std::pair{input, output};
}

bool ConnectActions::openPorts(int input, int output) {
  try {
    core_.openPorts(input, output);
  } catch (const TMidiError& error) {
    boxes_.midiFailure(TForm1::displayTitle(), QString::fromLocal8Bit(error.what()));
    return false;
  }
  portsOpened_ = true;  // the ports are open even if the first send fails
  return true;
}

void ConnectActions::connect() {
  const std::optional<std::pair<int, int>> ports = choosePorts();
  if (!ports) return;
  const auto [input, output] = *ports;
  if (core_.busy() || locked_) return;
  Dialogs::ConnectChoice choice = Dialogs::ConnectChoice::Replace;
  if (openedWork_) {
    choice = dialogs_.askConnectChoice(
        &owner_, TForm1::displayTitle(),
        TForm1::tr("The editors hold what was opened while no Tarvik was connected. Send it to "
                   "Tarvik (verified), keep it and read Tarvik only for Compare, or replace it "
                   "with Tarvik's configuration?"));
    if (choice == Dialogs::ConnectChoice::Cancel) return;
  }
  if (choice == Dialogs::ConnectChoice::Replace &&
      !edits_.mayDiscard(TForm1::tr("before reading the configuration from Tarvik"))) {
    return;
  }
  if (!openPorts(input, output)) return;
  if (remembered_ != nullptr) {
    remembered_->setPorts(midi_.inputs->item(input)->text(), midi_.outputs->item(output)->text());
  }
  careful_.start([this, choice] {
    // The opened work stays what it is until this connect has done what the answer asked for:
    // a send that failed, or a connect that found nothing, asks again next time.
    if (openedWork_) {
      answering_ = choice == Dialogs::ConnectChoice::Send ? Answering::Send : Answering::Read;
    }
    if (choice == Dialogs::ConnectChoice::Send) {
      fullBackup_.sendEditors();
      return core_.busy();
    }
    const bool keep = choice == Dialogs::ConnectChoice::Keep;
    if (keep) {
      log_(TForm1::tr("The editors are kept; Tarvik's configuration is read for Compare only."));
    }
    if (core_.connectDevice(keep)) return true;
    connectEnded(false);
    return false;
  });
}

void ConnectActions::testLink() {
  const std::optional<std::pair<int, int>> ports = choosePorts();
  if (!ports || core_.busy()) return;
  if (!openPorts(ports->first, ports->second)) return;
  if (core_.testLink()) {
    log_(TForm1::tr("Testing the link: %1 identifies, one after the other...")
             .arg(LinkTest::kDefaultCount));
  }
}

void ConnectActions::connectEnded(bool succeeded) {
  // A send is settled by its restore's end: its own identify and read-back are connects too.
  if (answering_ == Answering::Read) settleOpenedWork(succeeded);
}

void ConnectActions::restoreEnded(bool succeeded) {
  if (answering_ == Answering::Send) settleOpenedWork(succeeded);
}

void ConnectActions::settleOpenedWork(bool succeeded) {
  if (std::exchange(answering_, Answering::Nothing) == Answering::Nothing) return;
  if (succeeded) openedWork_ = false;
}

}  // namespace tarvik
