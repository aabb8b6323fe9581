// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "config/ConfigDiff.h"
#include "config/DeviceBlocks.h"
#include "config/FullBackup.h"
#include "config/RestoreParts.h"
#include "link/FullDownload.h"

namespace tarvik {

// A restore that is only called done when the device holds what the file holds: identify,
// submit the three tables and (when there are settings) the record, download all four blocks
// again and compare them byte for byte with the file's. The file is the measure, not what went
// out: whatever changed the configuration while the restore ran, a device that does not hold the
// file fails the restore.
//
// The comparison reads the bytes of the device's download replies as the machine hands them over,
// not the configuration they are applied to: applying a reply clamps and drops values (a CC
// entry outside the selector's items reads as "no selection"), so a device that kept something
// else could look the same through it. The identify before the submits keeps a device with
// other firmware from being written to.
//
// A reply that the machine did not ask for, while the restore runs, ends it as failed: another
// program is talking to the device, so neither what was sent nor what is read back can be
// trusted to be this restore's. The device may have been written all the same.
//
// Both front ends use it; the chains run on the machine's signals, each next step queued so
// that a refusal reported just after its chain's end is seen before anything else is sent.
class RestoreCheck : public QObject {
  Q_OBJECT
 public:
  enum class Stage { Idle, Identifying, SubmittingTables, SubmittingSettings, Verifying };
  enum class Problem { None, Busy, NotFound, WrongFirmware, Aborted, Refused, Differs, Interfered };

  RestoreCheck(TransferMachine& machine, Configuration& configuration, QObject* parent = nullptr);

  // Replaces the configuration's tables (and record, with settings) and its preset names, all
  // as one change, once the device has been identified. The names never go to the device, nor
  // do the loops' labels, which replace the configuration's unless there are none.
  // False, with nothing sent, while the machine or a restore is busy.
  bool start(const PresetTables& tables, const std::optional<FullBackup::Settings>& settings,
             const PresetNames& names = {}, const LoopLabels& labels = {});
  // A partial restore: the parts of `source` over what the identify's download finds on the
  // device (RestoreParts::merge), into the configuration as one change, the names of the
  // presets taken with them. Only the chains whose blocks that changes are sent (the three
  // tables go out together, as their chain carries them); the read-back must then give the
  // merged blocks where something was sent and the device's own bytes where nothing was. A value
  // the editors cannot keep (BackupContents) outside the parts goes out as they keep it.
  bool startPartial(const ConfigBytes& source, const PresetNames& names, const RestoreParts& parts);
  bool running() const { return stage_ != Stage::Idle; }
  Stage stage() const { return stage_; }

  Problem problem() const { return problem_; }
  // The block that was refused, timed out while it was submitted, or differs.
  std::optional<Block> failedBlock() const { return failedBlock_; }
  // The first byte in which the device differs from the file: `before` is the file's, `after`
  // the device's.
  std::optional<Difference> difference() const { return difference_; }

  // How many tries the last restore took: 1, and one for every command sent again after its
  // reply did not come and every block submitted again after it read back different (up to the
  // machine's retries, TransferMachine::care()).
  int tries() const { return tries_; }

  // One line for a difference: the block, the first row (counted from 1, as the matrix shows
  // it) or byte, both values.
  static QString differenceText(const Difference& difference);
  // Where a difference begins: "row 5", or the setting and its byte.
  static QString whereText(const Difference& difference);

 Q_SIGNALS:
  // What the restore is doing now, for a log.
  void stageChanged(tarvik::RestoreCheck::Stage stage);
  // `text` is one line on what went wrong, or on success a line saying what was verified.
  void finished(bool ok, const QString& text);
  // A block read back different and is submitted again.
  void logLine(const QString& line);

 private:
  void advance();
  bool begin();
  // The parts over the device's blocks of the identify: what is sent and what is expected.
  void mergeOverDevice();
  // The file's contents into the configuration.
  void takeFile();
  void advanceLater();
  void onDownloadFinished(bool ok, const QString& text);
  // The submit chain the current stage waits for.
  bool awaits(Chain chain) const;
  void onChainFinished(Chain chain);
  void onChainAborted(Chain chain, ChainAbort why, const QString& activity, const QString& detail);
  void compare();
  // Submits again the blocks that read back different, when they were sent and tries are left.
  bool submitAgain(const QList<Difference>& differences);
  // True (and the restore failed) when replies came unasked since it started.
  bool failedForUnaskedReplies();
  void setStage(Stage stage);
  void fail(Problem problem, std::optional<Block> block, const QString& text);
  void succeed();

  TransferMachine& machine_;
  Configuration& configuration_;
  FullDownload download_;

  Stage stage_ = Stage::Idle;
  Problem problem_ = Problem::None;
  std::optional<Block> failedBlock_;
  std::optional<Difference> difference_;

  PresetTables tables_;
  std::optional<FullBackup::Settings> settings_;
  PresetNames names_;
  LoopLabels labels_;
  struct Partial {
    ConfigBytes source;
    PresetNames names;
    RestoreParts parts;
  };
  std::optional<Partial> partial_;
  bool sendTables_ = true;
  // What the submit stages send this time: everything the restore sends, then on a retry only
  // what read back different.
  bool submitTables_ = true;
  bool submitSettings_ = true;
  int tries_ = 1;
  int blockRetries_ = 0;
  // What the read-back must hold; for a full restore the file's blocks.
  ConfigBytes expected_;
  // What the identify's download brought, straight from the replies.
  DeviceBlocks before_;
  // What the verifying download brought, straight from the replies.
  DeviceBlocks device_;
  // Counts restores, so that a step queued by one that ended does not act on the next.
  int generation_ = 0;
  // The machine's count of unasked replies when this restore started.
  int unaskedAtStart_ = 0;
};

}  // namespace tarvik

Q_DECLARE_METATYPE(tarvik::RestoreCheck::Stage)
