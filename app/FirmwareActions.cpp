// SPDX-License-Identifier: MIT
#include "app/FirmwareActions.h"

#include <QCheckBox>
#include <exception>

#include "app/Dialogs.h"
#include "app/EditTracking.h"
#include "app/FullBackupActions.h"
#include "app/TForm1.h"
#include "app/TablesFile.h"
#include "firmware/ui/FirmwareTab.h"

namespace tarvik {

FirmwareActions::FirmwareActions(Dialogs& dialogs, QWidget& owner, ConfiguratorCore& core,
                                 EditTracking& edits, FullBackupActions& fullBackup, Window window,
                                 QObject* parent)
    : QObject(parent),
      dialogs_(dialogs),
      owner_(owner),
      core_(core),
      edits_(edits),
      fullBackup_(fullBackup),
      window_(std::move(window)) {
  using Update = FirmwareUpdate;
  const auto enableFlash = [this] { window_.tab().setFlashButtonEnabled(true); };
  connect(&core_, &ConfiguratorCore::firmwareDownloadFailed, this, [this](const QString& text) {
    window_.tab().setFlashButtonEnabled(true);
    window_.reportError(text);
  });
  connect(&core_, &ConfiguratorCore::firmwareRefused, this, &FirmwareActions::onRefused);
  connect(&core_, &ConfiguratorCore::firmwareBackingUp, this, [this](const QString& version) {
    window_.log(TForm1::tr("Backing up the setup before firmware %1...").arg(version));
  });
  connect(
      &core_, &ConfiguratorCore::backedUpBeforeFlash, this, [this](bool ok, const QString& text) {
        window_.log(
            ok ? TForm1::tr("The setup from before the firmware update is kept as %1.").arg(text)
               : TForm1::tr("No backup of the setup before the firmware update: %1").arg(text));
      });
  connect(&core_, &ConfiguratorCore::firmwareFlashing, this,
          [this](const FirmwareImage&, Update::Backup backup) {
            if (backup != Update::Backup::InBootloader) return;
            window_.log(
                TForm1::tr("Tarvik may still be in its bootloader and cannot be read: the "
                           "firmware is flashed without a backup of the setup."));
          });
  connect(&core_, &ConfiguratorCore::firmwareUpdateStopped, this, enableFlash);
  connect(&core_, &ConfiguratorCore::flashProgress, this,
          [this](int done, int count) { window_.tab().setProgress(done, count); });
  connect(&core_, &ConfiguratorCore::flashFinished, this, &FirmwareActions::onFlashFinished);
  // Queued: the restore it may offer starts once the download's chain has ended everywhere.
  connect(&core_, &ConfiguratorCore::comparedAfterFlash, this,
          &FirmwareActions::onComparedAfterFlash, Qt::QueuedConnection);
}

void FirmwareActions::flash() {
  if (core_.busy()) return;
  if (!dialogs_.confirm(&owner_, Flasher::confirmCaption(), Flasher::confirmText())) return;
  // The backup's download replaces the editors, as any download does.
  if (!core_.deviceMayBeInBootloader() &&
      !edits_.mayDiscard(TForm1::tr("before the backup reads the configuration from Tarvik"))) {
    return;
  }
  FirmwareTab& tab = window_.tab();
  FirmwareUpdate::Plan plan;
  plan.version = tab.latestVersion();
  plan.ready = [this](bool backingUp) { return ready(backingUp); };
  plan.flashWithoutBackup = [this](const QString& why) {
    return dialogs_.confirm(
        &owner_, TForm1::tr("Warning"),
        TForm1::tr("The setup could not be backed up before the firmware update: "
                   "%1\n\nFlash without backup?")
            .arg(why));
  };
  if (core_.updateFirmware(std::move(plan))) tab.setFlashButtonEnabled(false);
}

std::optional<QString> FirmwareActions::ready(bool backingUp) {
  if (!backingUp || !window_.tab().backupFileBox()->isChecked()) return QString();
  const QString file = dialogs_.saveFileName(&owner_, TablesFile::filter(), TablesFile::suffix);
  if (file.isEmpty()) return std::nullopt;
  return file;
}

void FirmwareActions::onRefused(const FirmwareImage& image) {
  window_.tab().setFlashButtonEnabled(true);
  if (image.problem() == FirmwareImage::Problem::DigestMismatch) {
    dialogs_.error(&owner_, TForm1::tr("Error"), image.errorText());
  } else {
    window_.reportError(image.errorText());
  }
}

void FirmwareActions::onFlashFinished(FlashEnd end, const QString& detail) {
  FirmwareTab& tab = window_.tab();
  tab.hideProgress();
  // After a confirmed write the button stays off until the next connect and update check. Said
  // both ways: an update check that ended during the flash has decided too, and the flash's
  // decision must be the last before the link is free again.
  tab.setFlashButtonEnabled(end != FlashEnd::Flashed);
  window_.showControls();
  switch (end) {
    case FlashEnd::Flashed:
    case FlashEnd::VerifyFailed:
    case FlashEnd::Canceled:
      return;
    case FlashEnd::NoReply:
    case FlashEnd::WriteUnconfirmed:
      dialogs_.error(&owner_, TForm1::tr("Timeout!"), detail);
      return;
    case FlashEnd::SendFailed:
      window_.reportError(detail);
      return;
    case FlashEnd::PortGone:
      dialogs_.error(&owner_, TForm1::tr("Error"),
                     TForm1::tr("The MIDI port %1 vanished during the firmware update. Tarvik may "
                                "still be in its bootloader: connect again and flash the "
                                "firmware once more.")
                         .arg(detail));
      return;
  }
}

void FirmwareActions::onComparedAfterFlash(const QStringList& differences) {
  const std::optional<FirmwareBackup::Kept>& kept = core_.keptSetup();
  if (!kept) return;
  if (differences.isEmpty()) {
    window_.log(TForm1::tr("After the firmware update Tarvik holds the setup from before it."));
    return;
  }
  window_.log(
      TForm1::tr("After the firmware update Tarvik differs from the setup before it in %n "
                 "byte(s).",
                 nullptr, static_cast<int>(differences.size())));
  // A box of its own size: a reset configuration differs in hundreds of bytes.
  constexpr int kShown = 12;
  QStringList shown = differences.mid(0, kShown);
  if (differences.size() > kShown)
    shown << TForm1::tr("... and %1 more").arg(differences.size() - kShown);
  if (!dialogs_.confirm(
          &owner_, TForm1::tr("Firmware update"),
          TForm1::tr(
              "After the firmware update Tarvik holds another setup than before it:\n\n%1\n\n"
              "Send the setup from before the update (%2) back to Tarvik, verified?")
              .arg(shown.join(QLatin1Char('\n')), core_.keptSetupWhere()))) {
    return;
  }
  try {
    fullBackup_.restoreContents(TForm1::tr("the setup from before firmware %1").arg(kept->version),
                                kept->bytes);
  } catch (const std::exception& error) {
    window_.reportError(QString::fromLocal8Bit(error.what()));
  }
}

}  // namespace tarvik
