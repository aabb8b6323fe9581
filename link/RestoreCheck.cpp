// SPDX-License-Identifier: MIT
#include "link/RestoreCheck.h"

#include "config/DeviceBlocks.h"
#include "link/DeviceLink.h"

namespace tarvik {
namespace {

constexpr std::size_t slot(Block block) { return static_cast<std::size_t>(block); }

// The order in which blocks are compared, and so the one whose difference is reported first.
constexpr std::array<Block, 4> kBlocks = {Block::Presets, Block::CcMap, Block::PcRemap,
                                          Block::Record};

std::optional<Block> blockOfDownloadReply(std::uint8_t code) {
  switch (static_cast<Command>(code)) {
    case Command::DownloadPresets:
      return Block::Presets;
    case Command::DownloadConfig:
      return Block::Record;
    case Command::DownloadCcMap:
      return Block::CcMap;
    case Command::DownloadPcRemap:
      return Block::PcRemap;
    default:
      return std::nullopt;
  }
}

// The machine names the step that was under way, in the user's language; each submit step
// carries one block.
std::optional<Block> blockOfActivity(const QString& activity) {
  using Step = TransferMachine::Step;
  if (activity == activityText(Step::SubmittingPresets)) return Block::Presets;
  if (activity == activityText(Step::SubmittingCcMap)) return Block::CcMap;
  if (activity == activityText(Step::SubmittingPcRemap)) return Block::PcRemap;
  if (activity == activityText(Step::SubmittingConfig)) return Block::Record;
  return std::nullopt;
}

}  // namespace

RestoreCheck::RestoreCheck(DeviceLink& link, TransferMachine& machine, Configuration& configuration,
                           QObject* parent)
    : QObject(parent), machine_(machine), configuration_(configuration), download_(machine) {
  qRegisterMetaType<tarvik::RestoreCheck::Stage>();
  connect(&link, &DeviceLink::sysExReceived, this, &RestoreCheck::onFrame);
  connect(&download_, &FullDownload::finished, this, &RestoreCheck::onDownloadFinished);
  connect(&machine_, &TransferMachine::chainFinished, this, &RestoreCheck::onChainFinished);
  connect(&machine_, &TransferMachine::chainAborted, this, &RestoreCheck::onChainAborted);
  connect(&machine_, &TransferMachine::refused, this, [this](Block block, std::uint8_t status) {
    if (stage_ != Stage::SubmittingTables && stage_ != Stage::SubmittingSettings) return;
    fail(Problem::Refused, block,
         tr("Tarvik did not store the %1 (status %2)").arg(blockName(block), hexByte(status)));
  });
}

QString RestoreCheck::differenceText(const Difference& difference) {
  const QString where = difference.block == Block::Record
                            ? tr("%1 (byte %2)")
                                  .arg(QLatin1String(FullBackup::kSettingKeys[difference.index]))
                                  .arg(difference.index)
                            : tr("row %1").arg(difference.index + 1);
  return tr("%1 differ from %2 on: device %3, file %4")
      .arg(blockName(difference.block), where, hexByte(difference.device),
           hexByte(difference.file));
}

bool RestoreCheck::start(const PresetTables& tables,
                         const std::optional<FullBackup::Settings>& settings,
                         const PresetNames& names, const LoopLabels& labels) {
  if (running() || machine_.chainRunning() || machine_.flashOwnsLink()) return false;
  tables_ = tables;
  settings_ = settings;
  names_ = names;
  labels_ = labels;
  problem_ = Problem::None;
  failedBlock_.reset();
  difference_.reset();
  device_ = {};
  verifyChainDone_ = false;
  ++generation_;
  setStage(Stage::Identifying);
  if (!download_.start()) {
    setStage(Stage::Idle);
    return false;
  }
  return true;
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

void RestoreCheck::advance() {
  switch (stage_) {
    case Stage::Idle:
    case Stage::Verifying:
      return;
    case Stage::Identifying:
      // The identify's download has just filled the configuration with the device's contents;
      // now it takes the file's, which the submits read.
      takeFile();
      setStage(Stage::SubmittingTables);
      if (!machine_.startSubmitPresets()) fail(Problem::Busy, std::nullopt, tr("the link is busy"));
      return;
    case Stage::SubmittingTables:
      if (settings_) {
        setStage(Stage::SubmittingSettings);
        if (!machine_.startSubmitConfig())
          fail(Problem::Busy, std::nullopt, tr("the link is busy"));
        return;
      }
      [[fallthrough]];
    case Stage::SubmittingSettings:
      setStage(Stage::Verifying);
      if (!download_.start()) fail(Problem::Busy, std::nullopt, tr("the link is busy"));
      return;
  }
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
  verifyChainDone_ = true;
  compareWhenComplete();
}

void RestoreCheck::onChainFinished(Chain chain) {
  if ((stage_ == Stage::SubmittingTables && chain == Chain::SubmitPresets) ||
      (stage_ == Stage::SubmittingSettings && chain == Chain::SubmitConfig)) {
    // A refusal of this chain is reported right after this signal, before the queued step.
    advanceLater();
  }
}

void RestoreCheck::onChainAborted(Chain chain, ChainAbort why, const QString& activity,
                                  const QString& detail) {
  if ((stage_ == Stage::SubmittingTables && chain == Chain::SubmitPresets) ||
      (stage_ == Stage::SubmittingSettings && chain == Chain::SubmitConfig)) {
    fail(Problem::Aborted, blockOfActivity(activity), chainAbortText(why, activity, detail));
  }
}

void RestoreCheck::onFrame(int, const std::vector<std::uint8_t>& frame) {
  if (stage_ != Stage::Verifying) return;
  const std::optional<Reply> reply = parseReply(frame);
  if (!reply) return;
  const std::optional<Block> block = blockOfDownloadReply(reply->code);
  if (!block) return;
  device_[slot(*block)] = QByteArray(reinterpret_cast<const char*>(reply->items.data()),
                                     static_cast<qsizetype>(reply->items.size()));
  // The machine may have seen this frame first and already ended its chain.
  compareWhenComplete();
}

void RestoreCheck::compareWhenComplete() {
  if (stage_ != Stage::Verifying || !verifyChainDone_) return;
  for (const Block block : kBlocks) {
    // Whichever of the machine and this object sees the last reply first waits for the other.
    if (!fileBytes(block).isEmpty() && !device_[slot(block)]) return;
  }
  for (const Block block : kBlocks) {
    const QByteArray file = fileBytes(block);
    if (file.isEmpty()) continue;
    const QByteArray& device = *device_[slot(block)];
    for (int i = 0; i < file.size(); ++i) {
      if (i >= device.size() || device[i] != file.at(i)) {
        Difference difference;
        difference.block = block;
        difference.index = i;
        difference.device = i < device.size() ? static_cast<std::uint8_t>(device[i]) : 0;
        difference.file = static_cast<std::uint8_t>(file.at(i));
        difference_ = difference;
        fail(Problem::Differs, block, differenceText(difference));
        return;
      }
    }
  }
  succeed();
}

QByteArray RestoreCheck::fileBytes(Block block) const {
  switch (block) {
    case Block::Presets:
      return bytesOf(tables_.presetPayload());
    case Block::CcMap:
      return bytesOf(tables_.ccMapPayload());
    case Block::PcRemap:
      return bytesOf(tables_.pcRemapPayload());
    case Block::Record:
      break;
  }
  return settings_ ? bytesOf(*settings_) : QByteArray();
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
  Q_EMIT finished(true, settings_ ? tr("Tarvik holds the file's presets, CC map, PC remap table "
                                       "and settings")
                                  : tr("Tarvik holds the file's presets, CC map and PC remap "
                                       "table; its settings were left as they were"));
}

}  // namespace tarvik
