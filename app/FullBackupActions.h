// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "config/ConfigBytes.h"
#include "core/ConfiguratorCore.h"

class QWidget;

namespace tarvik {

struct BackupContents;
class CarefulRetry;
class Dialogs;
class EditTracking;

// The window's "Back up everything..." and "Restore everything...": the command line's backup
// and verified restore, with the file chosen through the dialogs and the outcome in the event
// log. The device must have been connected (the link is open).
//
// A failure gets an error box only where the window shows none of its own: a connect time-out,
// other firmware, a chain's give-up and a refused block already raise the window's boxes, so
// here they are only logged.
class FullBackupActions : public QObject {
  Q_OBJECT
 public:
  using Log = std::function<void(const QString&)>;

  // Both actions replace the configuration: they ask `edits` before unsaved work goes, and a
  // backup written or a file restored becomes the last saved or loaded file. Every transfer
  // starts through `retry`, so that a careful try can start it again.
  FullBackupActions(Dialogs& dialogs, QWidget* owner, ConfiguratorCore& core, EditTracking& edits,
                    CarefulRetry& retry, Log log, QObject* parent = nullptr);

  // Asks for the file; ignored while the link is busy.
  void backUp();
  void restore();
  // The verified restore of contents the program holds (a setup of the library, a snapshot of
  // the device history) rather than of a file; `what` names them in the log ("the setup
  // \"Live\""). Asks before unsaved work goes, as restore() does; ignored while the link is busy.
  // A setup's names come along into the editors; without names the editors keep theirs.
  void restoreContents(const QString& what, const ConfigBytes& bytes,
                       const std::optional<PresetNames>& names = std::nullopt,
                       const LoopLabels& labels = {});
  // The verified restore of what the editors hold, as they are: nothing is asked, and they
  // stay what they were measured against (they are not saved by being sent).
  void sendEditors();

 Q_SIGNALS:
  void runningChanged(bool running);
  void finished(bool ok);

 private:
  // Starts the verified restore; the contents become what the last file holds, as their bytes
  // stand, so that the marks measure the editors against them. Contents without names (a
  // snapshot) leave the editors' names, and what the marks measure them against, as they are.
  void startRestore(const PresetTables& tables, const std::optional<FullBackup::Settings>& settings,
                    const std::optional<PresetNames>& names, const LoopLabels& labels);
  bool startBackup(const QString& path);
  void onDownloaded(bool ok, const QString& text);
  void onRestored(bool ok, const QString& text);
  // A log line for every value the backup could not keep as Tarvik holds it, and one box.
  void reportChanges(const BackupContents& backup);
  void error(const QString& text);

  Dialogs& dialogs_;
  QWidget* owner_;
  ConfiguratorCore& core_;
  Log log_;
  EditTracking& edits_;
  CarefulRetry& retry_;
  QString path_;
  // The core's download is shared (the backup before a flash uses it too): only the one
  // started here writes path_.
  bool backingUp_ = false;
};

}  // namespace tarvik
