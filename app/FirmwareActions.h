// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

#include "core/ConfiguratorCore.h"

class QWidget;

namespace tarvik {

class Dialogs;
class EditTracking;
class FirmwareTab;
class FullBackupActions;

// The window's firmware update: "Flash" on the firmware tab runs the core's update
// (ConfiguratorCore::updateFirmware) with the window's questions, log lines and boxes, and
// after a written flash the first download is compared with the setup from before it, which
// the user may send back.
class FirmwareActions : public QObject {
  Q_OBJECT
 public:
  using Log = std::function<void(const QString&)>;
  // What the window lends it: the firmware tab (built on first use), its error box for a
  // plain error, and its look at which controls may be used, called once a flash has ended.
  struct Window {
    std::function<FirmwareTab&()> tab;
    Log log;
    std::function<void(const QString&)> reportError;
    std::function<void()> showControls;
  };

  // All must outlive this.
  FirmwareActions(Dialogs& dialogs, QWidget& owner, ConfiguratorCore& core, EditTracking& edits,
                  FullBackupActions& fullBackup, Window window, QObject* parent = nullptr);

  // Asks before the flash and before unsaved work goes; ignored while the link is busy.
  void flash();

 private:
  // The backup file the firmware tab asks for, "" for none; nullopt when the user cancelled.
  std::optional<QString> ready(bool backingUp);
  void onRefused(const FirmwareImage& image);
  void onFlashFinished(FlashEnd end, const QString& detail);
  void onComparedAfterFlash(const QStringList& differences);

  Dialogs& dialogs_;
  QWidget& owner_;
  ConfiguratorCore& core_;
  EditTracking& edits_;
  FullBackupActions& fullBackup_;
  Window window_;
};

}  // namespace tarvik
