// SPDX-License-Identifier: MIT
#include "link/RestoreCheck.h"

namespace tarvik {
namespace {

// The block a submit step carries.
std::optional<Block> blockOfStep(TransferMachine::Step step) {
  using Step = TransferMachine::Step;
  switch (step) {
    case Step::SubmittingPresets:
      return Block::Presets;
    case Step::SubmittingCcMap:
      return Block::CcMap;
    case Step::SubmittingPcRemap:
      return Block::PcRemap;
    case Step::SubmittingConfig:
      return Block::Record;
    default:
      return std::nullopt;
  }
}

}  // namespace

RestoreCheck::RestoreCheck(TransferMachine& machine, Configuration& configuration, QObject* parent)
    : QObject(parent), machine_(machine), configuration_(configuration), download_(machine) {
  qRegisterMetaType<tarvik::RestoreCheck::Stage>();
  connect(&machine_, &TransferMachine::received, this,
          [this](Block block, const QByteArray& bytes) {
            if (stage_ == Stage::Identifying) before_.set(block, bytes);
            if (stage_ == Stage::Verifying) device_.set(block, bytes);
          });
  connect(&download_, &FullDownload::finished, this, &RestoreCheck::onDownloadFinished);
  connect(&machine_, &TransferMachine::chainFinished, this, &RestoreCheck::onChainFinished);
  connect(&machine_, &TransferMachine::chainAborted, this, &RestoreCheck::onChainAborted);
  connect(&machine_, &TransferMachine::unaskedReply, this, [this] {
    if (running()) failedForUnaskedReplies();
  });
  connect(&machine_, &TransferMachine::retried, this, [this] {
    if (running()) ++tries_;
  });
  connect(&machine_, &TransferMachine::refused, this, [this](Block block, std::uint8_t status) {
    if (stage_ != Stage::SubmittingTables && stage_ != Stage::SubmittingSettings) return;
    fail(Problem::Refused, block,
         tr("Tarvik did not store the %1 (status %2)").arg(blockName(block), hexByte(status)));
  });
}

QString RestoreCheck::whereText(const Difference& difference) {
  return difference.block == Block::Record
             ? tr("%1 (byte %2)")
                   .arg(QLatin1String(FullBackup::kSettingKeys[difference.row]))
                   .arg(difference.row)
             : tr("row %1").arg(difference.row + 1);
}

QString RestoreCheck::differenceText(const Difference& difference) {
  return tr("%1 differ from %2 on: device %3, file %4")
      .arg(blockName(difference.block), whereText(difference), hexByte(difference.after),
           hexByte(difference.before));
}

bool RestoreCheck::start(const PresetTables& tables,
                         const std::optional<FullBackup::Settings>& settings,
                         const PresetNames& names, const LoopLabels& labels) {
  if (running() || machine_.chainRunning() || machine_.flashOwnsLink()) return false;
  tables_ = tables;
  settings_ = settings;
  names_ = names;
  labels_ = labels;
  partial_.reset();
  sendTables_ = true;
  expected_ = {tables_.presetPayload(), tables_.ccMapPayload(), tables_.pcRemapPayload(),
               settings_};
  return begin();
}

bool RestoreCheck::startPartial(const ConfigBytes& source, const PresetNames& names,
                                const RestoreParts& parts) {
  if (running() || machine_.chainRunning() || machine_.flashOwnsLink()) return false;
  partial_ = Partial{source, names, parts};
  labels_ = {};
  return begin();
}

bool RestoreCheck::begin() {
  problem_ = Problem::None;
  failedBlock_.reset();
  difference_.reset();
  device_ = {};
  before_ = {};
  tries_ = 1;
  blockRetries_ = 0;
  ++generation_;
  unaskedAtStart_ = machine_.unaskedReplies();
  setStage(Stage::Identifying);
  // Only a partial restore needs what the device holds before it writes: the parts go over it.
  if (!download_.start(partial_ ? TransferMachine::Reach::Everything
                                : TransferMachine::Reach::Identify)) {
    setStage(Stage::Idle);
    return false;
  }
  return true;
}

void RestoreCheck::mergeOverDevice() {
  const ConfigBytes held = ConfigBytes::raw(before_);
  const ConfigBytes merged =
      partial_->parts.merge(ConfigBytes::fromDevice(before_), partial_->source);
  tables_ = merged.tables();
  names_ = partial_->parts.mergeNames(configuration_.names(), partial_->names);
  sendTables_ = merged.presets != held.presets || merged.ccMap != held.ccMap ||
                merged.pcRemap != held.pcRemap;
  settings_.reset();
  // The device's own settings stay untouched unless they were asked for: sending them back in
  // the editors' form could change a value the device keeps otherwise.
  if (partial_->parts.has(RestoreParts::Kind::Settings) && merged.settings != held.settings)
    settings_ = merged.settings;
  // What was not sent must read back as the device held it, to the byte.
  expected_ = sendTables_ ? merged : held;
  expected_.settings = settings_ ? merged.settings : held.settings;
}

void RestoreCheck::advanceLater() {
  QMetaObject::invokeMethod(
      this,
      [this, generation = generation_] {
        if (generation == generation_) advance();
      },
      Qt::QueuedConnection);
}

void RestoreCheck::takeFile() {
  // One change, so that the editors' history holds the restore as one step.
  const Configuration::CallScope change(configuration_);
  configuration_.setTables(tables_);
  if (settings_) {
    ConfigRecord record;
    record.apply(*settings_);
    configuration_.setRecord(record);
  }
  configuration_.setNames(names_);
  if (!labels_.isEmpty()) configuration_.setLabels(labels_);
}

bool RestoreCheck::failedForUnaskedReplies() {
  if (machine_.unaskedReplies() == unaskedAtStart_) return false;
  fail(Problem::Interfered, std::nullopt, unaskedRepliesText());
  return true;
}

void RestoreCheck::advance() {
  if (running() && failedForUnaskedReplies()) return;
  bool started = true;
  switch (stage_) {
    case Stage::Idle:
    case Stage::Verifying:
      return;
    case Stage::Identifying:
      // The device has the program's firmware (and for a partial restore its contents are in the
      // configuration); now the configuration takes the file's, which the submits read.
      if (partial_) mergeOverDevice();
      takeFile();
      submitTables_ = sendTables_;
      submitSettings_ = settings_.has_value();
      if (submitTables_) {
        setStage(Stage::SubmittingTables);
        started = machine_.startSubmitPresets();
        break;
      }
      [[fallthrough]];
    case Stage::SubmittingTables:
      if (submitSettings_) {
        setStage(Stage::SubmittingSettings);
        started = machine_.startSubmitConfig();
        break;
      }
      [[fallthrough]];
    case Stage::SubmittingSettings:
      setStage(Stage::Verifying);
      // The device was identified at this restore's start: another burst would tell nothing new.
      started = download_.start(TransferMachine::Reach::Blocks);
      break;
  }
  if (!started) fail(Problem::Busy, std::nullopt, tr("the link is busy"));
}

bool RestoreCheck::awaits(Chain chain) const {
  return (stage_ == Stage::SubmittingTables && chain == Chain::SubmitPresets) ||
         (stage_ == Stage::SubmittingSettings && chain == Chain::SubmitConfig);
}

void RestoreCheck::onDownloadFinished(bool ok, const QString& text) {
  if (stage_ != Stage::Identifying && stage_ != Stage::Verifying) return;
  if (!ok) {
    const Problem problem =
        download_.problem() == FullDownload::Problem::NotFound        ? Problem::NotFound
        : download_.problem() == FullDownload::Problem::WrongFirmware ? Problem::WrongFirmware
                                                                      : Problem::Aborted;
    fail(problem, std::nullopt, text);
    return;
  }
  if (stage_ == Stage::Identifying) {
    advanceLater();
    return;
  }
  // The machine hands over each reply before it ends its chain: all four blocks are in.
  compare();
}

void RestoreCheck::onChainFinished(Chain chain) {
  // A refusal of this chain is reported right after this signal, before the queued step.
  if (awaits(chain)) advanceLater();
}

void RestoreCheck::onChainAborted(Chain chain, ChainAbort why, const QString& activity,
                                  const QString& detail) {
  if (awaits(chain))
    fail(Problem::Aborted, blockOfStep(machine_.abortedStep()),
         chainAbortText(why, activity, detail));
}

void RestoreCheck::compare() {
  // The read-back may hold another program's replies: they prove nothing about this restore.
  if (failedForUnaskedReplies()) return;
  // The file as it went out, against the device's bytes as they came back.
  const DiffSide file{expected_, {}, {}};
  const QList<Difference> differences =
      ConfigDiff::compare(file, {ConfigBytes::raw(device_), {}, {}});
  if (differences.isEmpty()) {
    succeed();
    return;
  }
  if (submitAgain(differences)) return;
  difference_ = differences.constFirst();
  fail(Problem::Differs, difference_->block, differenceText(*difference_));
}

bool RestoreCheck::submitAgain(const QList<Difference>& differences) {
  if (blockRetries_ >= machine_.care().retries) return false;
  bool tables = false;
  bool settings = false;
  for (const Difference& difference : differences)
    (difference.block == Block::Record ? settings : tables) = true;
  // Only what this restore sent may be sent again: a block it left alone reads back different
  // because something else changed the device.
  submitTables_ = tables && sendTables_;
  submitSettings_ = settings && settings_.has_value();
  if (!submitTables_ && !submitSettings_) return false;
  ++blockRetries_;
  ++tries_;
  const Difference& first = differences.constFirst();
  Q_EMIT logLine(tr("%1 differ from %2 on after the submit, try %3 of %4")
                     .arg(blockName(first.block), whereText(first))
                     .arg(blockRetries_ + 1)
                     .arg(machine_.care().tries()));
  device_ = {};
  // From the machine's chainFinished: the next chain starts once it has unwound.
  QMetaObject::invokeMethod(
      this,
      [this, generation = generation_] {
        if (generation != generation_ || !running()) return;
        // The read-back put the device's blocks into the configuration; the submit reads it.
        takeFile();
        setStage(submitTables_ ? Stage::SubmittingTables : Stage::SubmittingSettings);
        const bool started =
            submitTables_ ? machine_.startSubmitPresets() : machine_.startSubmitConfig();
        if (!started) fail(Problem::Busy, std::nullopt, tr("the link is busy"));
      },
      Qt::QueuedConnection);
  return true;
}

void RestoreCheck::setStage(Stage stage) {
  if (stage == stage_) return;
  stage_ = stage;
  Q_EMIT stageChanged(stage);
}

void RestoreCheck::fail(Problem problem, std::optional<Block> block, const QString& text) {
  problem_ = problem;
  failedBlock_ = block;
  setStage(Stage::Idle);
  Q_EMIT finished(false, text);
}

void RestoreCheck::succeed() {
  setStage(Stage::Idle);
  if (partial_) {
    Q_EMIT finished(true, !sendTables_ && !settings_
                              ? tr("Tarvik held the parts already; nothing was sent")
                          : !settings_   ? tr("Tarvik holds the parts over what it held; its "
                                                "settings were left as they were")
                          : !sendTables_ ? tr("Tarvik holds the parts over what it held; its "
                                              "tables were left as they were")
                                         : tr("Tarvik holds the parts over what it held"));
    return;
  }
  Q_EMIT finished(true, settings_ ? tr("Tarvik holds the file's presets, CC map, PC remap table "
                                       "and settings")
                                  : tr("Tarvik holds the file's presets, CC map and PC remap "
                                       "table; its settings were left as they were"));
}

}  // namespace tarvik
