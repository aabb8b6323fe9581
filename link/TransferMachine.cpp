// SPDX-License-Identifier: MIT
#include "link/TransferMachine.h"

#include <QPointer>
#include <algorithm>
#include <exception>
#include <iterator>
#include <utility>

#include "config/DeviceBlocks.h"

namespace tarvik {

namespace {

constexpr std::size_t index(Chain chain) { return static_cast<std::size_t>(chain); }

// The connect's downloads, asked for in this order once the device is identified: each reply
// is applied and reported, then the next block is asked for. The lines are the machine's own
// (tr in TransferMachine).
struct Download {
  Command command;
  TransferMachine::Step step;
  Block block;
  // Null for the record, whose apply takes a span of another size.
  void (Configuration::*applyTable)(std::span<const std::uint8_t, kTableSize>);
  const char* askLine;
  const char* doneLine;
};
constexpr Download kDownloads[] = {
    {Command::DownloadPresets, TransferMachine::Step::DownloadingPresets, Block::Presets,
     &Configuration::applyPresets,
     QT_TRANSLATE_NOOP("tarvik::TransferMachine", "download presets..."),
     QT_TRANSLATE_NOOP("tarvik::TransferMachine", "128 presets complete")},
    {Command::DownloadConfig, TransferMachine::Step::DownloadingConfig, Block::Record, nullptr,
     QT_TRANSLATE_NOOP("tarvik::TransferMachine", "download config..."),
     QT_TRANSLATE_NOOP("tarvik::TransferMachine", "%1 config items found")},
    {Command::DownloadCcMap, TransferMachine::Step::DownloadingCcMap, Block::CcMap,
     &Configuration::applyCcMap,
     QT_TRANSLATE_NOOP("tarvik::TransferMachine", "download control changes..."),
     QT_TRANSLATE_NOOP("tarvik::TransferMachine", "control changes complete")},
    {Command::DownloadPcRemap, TransferMachine::Step::DownloadingPcRemap, Block::PcRemap,
     &Configuration::applyPcRemap,
     QT_TRANSLATE_NOOP("tarvik::TransferMachine", "download programm change remap table..."),
     QT_TRANSLATE_NOOP("tarvik::TransferMachine", "download programm change remap table complete")},
};

bool inDownloadTables(TransferMachine::Step step) {
  return std::any_of(std::begin(kDownloads), std::end(kDownloads),
                     [step](const Download& download) { return download.step == step; });
}

bool inSubmitPresets(TransferMachine::Step step) {
  using Step = TransferMachine::Step;
  return step == Step::SubmittingPresets || step == Step::SubmittingCcMap ||
         step == Step::SubmittingPcRemap;
}

// The chain a reply belongs to; nothing for the bootloader's replies.
std::optional<Chain> chainOfReply(std::uint8_t code) {
  switch (static_cast<Command>(code)) {
    case Command::Identify:
    case Command::DownloadPresets:
    case Command::DownloadConfig:
    case Command::DownloadCcMap:
    case Command::DownloadPcRemap:
      return Chain::Connect;
    case Command::SubmitConfig:
      return Chain::SubmitConfig;
    case Command::SubmitPresets:
    case Command::SubmitCcMap:
    case Command::SubmitPcRemap:
      return Chain::SubmitPresets;
    default:
      return std::nullopt;
  }
}

std::optional<Chain> chainOfStep(TransferMachine::Step step) {
  using Step = TransferMachine::Step;
  if (step == Step::Identifying || inDownloadTables(step)) return Chain::Connect;
  if (step == Step::SubmittingConfig) return Chain::SubmitConfig;
  if (inSubmitPresets(step)) return Chain::SubmitPresets;
  return std::nullopt;
}

bool isBootloaderReply(std::uint8_t code) {
  const auto command = static_cast<Command>(code);
  return command == Command::EnterBootloader || command == Command::UploadFlashPage ||
         command == Command::WriteRamToFlash;
}

QString statusText(std::uint8_t status) {
  return QStringLiteral("0x") + QStringLiteral("%1").arg(status, 2, 16, QLatin1Char('0')).toUpper();
}

QString notStoredLine(const QString& block, std::uint8_t status) {
  return TransferMachine::tr("Tarvik did not store the %1 (status %2)")
      .arg(block, statusText(status));
}

template <std::size_t N>
std::span<const std::uint8_t, N> fixedItems(const Reply& reply) {
  // parseReply hands out exactly itemsRead(code) items, which is N for every caller here.
  return std::span<const std::uint8_t, N>(reply.items.data(), N);
}

// The names the machine's lines give the blocks it submits.
QString advancedSettingsName() { return TransferMachine::tr("advanced settings"); }
QString presetsName() { return TransferMachine::tr("presets"); }

}  // namespace

QString activityText(TransferMachine::Step step) {
  // In the order of Step.
  static constexpr const char* kActivities[] = {
      QT_TRANSLATE_NOOP("tarvik::TransferMachine", "waiting"),
      QT_TRANSLATE_NOOP("tarvik::TransferMachine", "identifying"),
      QT_TRANSLATE_NOOP("tarvik::TransferMachine", "downloading presets"),
      QT_TRANSLATE_NOOP("tarvik::TransferMachine", "downloading config"),
      QT_TRANSLATE_NOOP("tarvik::TransferMachine", "downloading control changes"),
      QT_TRANSLATE_NOOP("tarvik::TransferMachine", "downloading program change remap table"),
      QT_TRANSLATE_NOOP("tarvik::TransferMachine", "submitting config"),
      QT_TRANSLATE_NOOP("tarvik::TransferMachine", "submitting presets"),
      QT_TRANSLATE_NOOP("tarvik::TransferMachine", "submitting control changes"),
      QT_TRANSLATE_NOOP("tarvik::TransferMachine", "submitting program change remap table"),
  };
  return TransferMachine::tr(kActivities[static_cast<std::size_t>(step)]);
}

QString unaskedRepliesText() {
  return TransferMachine::tr(
      "replies came from Tarvik that this program did not ask for (another program is talking "
      "to Tarvik); what Tarvik holds may have changed");
}

QString refusalText(Block block, std::uint8_t status) {
  switch (block) {
    case Block::Record:
      return TransferMachine::tr("%1. Please submit again.")
          .arg(notStoredLine(advancedSettingsName(), status));
    case Block::Presets:
      return TransferMachine::tr(
                 "%1. The control changes and the program change remap table "
                 "were sent; please submit again.")
          .arg(notStoredLine(presetsName(), status));
    case Block::CcMap:
    case Block::PcRemap:
      break;
  }
  return notStoredLine(TransferMachine::tr("tables"), status) + QLatin1Char('.');
}

TransferMachine::TransferMachine(LinkPort& link, Configuration& configuration, QObject* parent)
    : QObject(parent), link_(link), configuration_(configuration) {
  qRegisterMetaType<tarvik::Chain>();
  qRegisterMetaType<tarvik::ChainAbort>();
  timer1_.setParent(this);
  watchdog_.setParent(this);
  timer1_.setObjectName(QStringLiteral("Timer1"));
  timer1_.setSingleShot(true);
  timer1_.setInterval(kConnectTimeoutMs);
  connect(&timer1_, &QTimer::timeout, this, &TransferMachine::Timer1Timer);

  watchdog_.setObjectName(QStringLiteral("replyWatchdog"));
  watchdog_.setSingleShot(true);
  watchdog_.setInterval(kReplyWatchdogMs);
  connect(&watchdog_, &QTimer::timeout, this, &TransferMachine::watchdogFired);
}

void TransferMachine::setConnectTimeout(int ms) {
  connectTimeoutMs_ = ms;
  timer1_.setInterval(ms);
}

void TransferMachine::setReplyWatchdog(int ms) {
  replyWatchdogMs_ = ms;
  watchdog_.setInterval(ms);
}

int TransferMachine::replyWaitMs(Command command) const {
  return replyWatchdogMs_ + commandFrames(command) * care_.paceMs;
}

void TransferMachine::armWatchdog(int ms) {
  if (watchdogClock_) {
    watchdogClock_->start(ms, [this] { watchdogFired(); });
  } else {
    watchdog_.start(ms);
  }
}

void TransferMachine::stopWatchdog() {
  watchdog_.stop();
  if (watchdogClock_) watchdogClock_->stop();
}

bool TransferMachine::beginChain(Chain chain) {
  if (chainRunning() || flashOwnsLink_ || linkTestOwnsLink_) return false;
  abortedChains_[index(chain)] = false;
  lostReply_ = false;
  if (chain == Chain::SubmitPresets) presetsRefusal_.reset();
  return true;
}

template <std::size_t N>
void TransferMachine::submit(const QString& line, Step next, Command command, QByteArray& sent,
                             const std::array<std::uint8_t, N>& payload) {
  log(line);
  sent = bytesOf(payload);
  sendAndAwait(next, command, payload);
}

bool TransferMachine::startConnect(Reach reach) {
  if (!beginChain(Chain::Connect)) return false;
  reach_ = reach;
  if (reach == Reach::Blocks) {
    askForDownload(0);
    return true;
  }
  // Until the device has answered once, only the connect time-out watches the wait.
  setStep(Step::Identifying);
  sendFirstIdentify();
  return true;
}

void TransferMachine::sendFirstIdentify() {
  try {
    awaited_ = static_cast<std::uint8_t>(Command::Identify);
    sendCommand(link_, Command::Identify);
  } catch (const std::exception& error) {
    abortChain(ChainAbort::SendFailed, QString::fromLocal8Bit(error.what()));
    return;
  }
  timer1_.start(connectTimeoutMs_ + commandFrames(Command::Identify) * care_.paceMs);
}

bool TransferMachine::startSubmitConfig() {
  if (!beginChain(Chain::SubmitConfig)) return false;
  submit(tr("submit config"), Step::SubmittingConfig, Command::SubmitConfig, sentRecord_,
         configuration_.recordBytes());
  return true;
}

bool TransferMachine::startSubmitPresets() {
  if (!beginChain(Chain::SubmitPresets)) return false;
  submit(tr("submit presets"), Step::SubmittingPresets, Command::SubmitPresets, sentPresets_,
         configuration_.presetPayload());
  return true;
}

void TransferMachine::DoSysExData(std::span<const std::uint8_t> frame) {
  const std::optional<Reply> reply = parseReply(frame);
  // The flash hears the bootloader's replies itself, whether or not it runs.
  if (!reply || isBootloaderReply(reply->code) || dropped(*reply)) return;
  const bool asked = awaited_ == reply->code;
  if (!asked && lateAnswers_ > 0 && reply->code == retriedCode_) {
    --lateAnswers_;
    log(tr("late reply %1 from Tarvik to an earlier try - ignored").arg(reply->code));
    return;
  }
  if (asked) {
    awaited_.reset();
  } else {
    ++unaskedReplies_;
  }
  onReply(*reply);
  if (!asked) Q_EMIT unaskedReply(reply->code);
}

bool TransferMachine::dropped(const Reply& reply) {
  if (flashOwnsLink_) {
    log(tr("reply %1 from Tarvik ignored while the firmware is flashed").arg(reply.code));
    return true;
  }
  if (linkTestOwnsLink_) {
    if (reply.code != static_cast<std::uint8_t>(Command::Identify))
      log(tr("reply %1 from Tarvik ignored while the link is tested").arg(reply.code));
    return true;
  }
  const std::optional<Chain> chain = chainOfReply(reply.code);
  if (chain && abortedChains_[index(*chain)]) {
    log(tr("late reply %1 from Tarvik after the transfer was aborted - ignored").arg(reply.code));
    return true;
  }
  return false;
}

void TransferMachine::onReply(const Reply& reply) {
  switch (static_cast<Command>(reply.code)) {
    case Command::Identify:
      onIdentify(reply);
      return;

    case Command::DownloadPresets:
    case Command::DownloadConfig:
    case Command::DownloadCcMap:
    case Command::DownloadPcRemap:
      onDownloaded(reply);
      return;

    case Command::SubmitConfig: {
      const std::uint8_t status = reply.items[0];
      if (status == kStatusSuccess) {
        log(tr("transmission successful"));
        confirm(Block::Record, sentRecord_);
      } else {
        log(notStoredLine(advancedSettingsName(), status));
      }
      finishIf(step_ == Step::SubmittingConfig);
      Q_EMIT chainFinished(Chain::SubmitConfig);
      if (status != kStatusSuccess) Q_EMIT refused(Block::Record, status);
      return;
    }

    case Command::SubmitPresets: {
      const std::uint8_t status = reply.items[0];
      if (status == kStatusSuccess) {
        log(tr("transmission successful"));
        confirm(Block::Presets, sentPresets_);
      } else {
        // The device still expects the two tables, so they go out; the end of the chain must
        // not call the whole submit a success.
        log(notStoredLine(presetsName(), status));
        presetsRefusal_ = status;
      }
      submit(tr("submit control changes"), Step::SubmittingCcMap, Command::SubmitCcMap, sentCcMap_,
             configuration_.ccMapPayload());
      return;
    }

    case Command::SubmitCcMap:
      submit(tr("submit programm change remap table"), Step::SubmittingPcRemap,
             Command::SubmitPcRemap, sentPcRemap_, configuration_.pcRemapPayload());
      return;

    case Command::SubmitPcRemap: {
      const std::optional<std::uint8_t> refusal = std::exchange(presetsRefusal_, std::nullopt);
      if (!refusal) log(tr("transmission successful"));
      // Reply 19 carries no status; it confirms the two tables that went out before it.
      confirm(Block::CcMap, sentCcMap_);
      confirm(Block::PcRemap, sentPcRemap_);
      finishIf(inSubmitPresets(step_));
      Q_EMIT chainFinished(Chain::SubmitPresets);
      if (refusal) Q_EMIT refused(Block::Presets, *refusal);
      return;
    }

    case Command::EnterBootloader:
    case Command::UploadFlashPage:
    case Command::WriteRamToFlash:
    case Command::LeaveBootloader:
      return;  // the flash's replies never get here (DoSysExData), nor does parseReply pass 16
  }
}

void TransferMachine::confirm(Block block, const QByteArray& sent) {
  if (sent.isEmpty()) return;
  if (!doubtful_) {
    Q_EMIT stored(block, sent);
    return;
  }
  // A command before this one lost frames or its answer: the device may have taken the start of
  // this send as the rest of that one, stored a mix of the two and answered it as this.
  log(tr("Tarvik confirmed the %1, but a command before went unanswered: what it holds is known "
         "once it is read again (connect)")
          .arg(blockName(block)));
}

void TransferMachine::askForDownload(std::size_t index) {
  log(tr(kDownloads[index].askLine));
  sendAndAwait(kDownloads[index].step, kDownloads[index].command);
}

void TransferMachine::onDownloaded(const Reply& reply) {
  const auto* download = std::find_if(
      std::begin(kDownloads), std::end(kDownloads),
      [&reply](const Download& d) { return static_cast<std::uint8_t>(d.command) == reply.code; });
  if (download->applyTable == nullptr) {
    if (!keepConfiguration_) configuration_.applyRecord(fixedItems<kConfigRecordSize>(reply));
    // The count comes from the frame length, so a longer frame reports more than it applies.
    log(tr(download->doneLine).arg(itemCount(reply.frameLength)));
    Q_EMIT received(download->block, bytesOf(fixedItems<kConfigRecordSize>(reply)));
  } else {
    log(tr(download->doneLine));
    if (!keepConfiguration_) (configuration_.*download->applyTable)(fixedItems<kTableSize>(reply));
    Q_EMIT received(download->block, bytesOf(fixedItems<kTableSize>(reply)));
  }
  const auto next = static_cast<std::size_t>(download - std::begin(kDownloads)) + 1;
  if (next < std::size(kDownloads)) {
    askForDownload(next);
    return;
  }
  // Every command of the chain was answered in its order: the device reads commands in step with
  // the program again.
  doubtful_ = false;
  finishIf(inDownloadTables(step_));
  Q_EMIT chainFinished(Chain::Connect);
}

void TransferMachine::onIdentify(const Reply& reply) {
  timer1_.stop();
  // The device is woken up by a burst of identifies; only the seventh answer is looked at.
  if (identifyCount_ <= 5) {
    ++identifyCount_;
    sendAndAwait(Step::Identifying, Command::Identify);
    return;
  }

  deviceVersion_ =
      QString::number(reply.items[0]) + QLatin1Char('.') + QString::number(reply.items[1]);
  const QString found = tr("Tarvik found! Firmware-Version: %1").arg(deviceVersion_);

  if (deviceVersion_ == softwareVersion) {
    Q_EMIT identified(deviceVersion_, true);
    log(found);
    if (reach_ != Reach::Identify) {
      askForDownload(0);
      return;
    }
    finishIf(step_ == Step::Identifying);
    Q_EMIT chainFinished(Chain::Connect);
    return;
  }

  // Nothing more is asked of a device with other firmware. The state is settled before the
  // report, whose handler may show a modal box that delivers further replies.
  finishIf(step_ == Step::Identifying || inDownloadTables(step_));
  Q_EMIT identified(deviceVersion_, false);
  log(found);
}

void TransferMachine::Timer1Timer() {
  timer1_.stop();
  doubtful_ = true;
  // Nothing answered at all: no Tarvik there (another port, a device switched off), which no
  // pace mends.
  lostReply_ = false;
  setStep(Step::Idle);
  Q_EMIT connectTimedOut();
}

void TransferMachine::watchdogFired() {
  if (!chainRunning()) return;
  doubtful_ = true;
  if (tries_ < care_.tries()) {
    sendAgain();
    return;
  }
  log(tr("no reply from Tarvik while %1 - transfer aborted").arg(activityText(step_)));
  abortChain(ChainAbort::NoReply, {});
}

bool TransferMachine::sendAgain() {
  ++tries_;
  log(tr("%1: no reply, try %2 of %3")
          .arg(QLatin1String(commandName(lastCommand_)))
          .arg(tries_)
          .arg(care_.tries()));
  const auto code = static_cast<std::uint8_t>(lastCommand_);
  if (retriedCode_ != code) {
    retriedCode_ = code;
    lateAnswers_ = 0;
  }
  // The try before may have been heard and its answer lost or slow: the device then answers
  // twice.
  ++lateAnswers_;
  Q_EMIT retried(lastCommand_);
  return sendAwaited();
}

bool TransferMachine::sendAwaited() {
  try {
    awaited_ = static_cast<std::uint8_t>(lastCommand_);
    sendCommand(link_, lastCommand_, lastPayload_);
  } catch (const std::exception& error) {
    doubtful_ = true;
    // The rest of the command never went out, so no reply will come to move the chain on.
    abortChain(ChainAbort::SendFailed, QString::fromLocal8Bit(error.what()));
    return false;
  }
  armWatchdog(replyWaitMs(lastCommand_));
  return true;
}

void TransferMachine::abortForFailedSend(const QString& error) {
  doubtful_ = true;
  if (chainRunning()) abortChain(ChainAbort::SendFailed, error);
}

void TransferMachine::abortForLostPort(const QString& portName) {
  if (!chainRunning()) return;
  log(tr("MIDI port %1 vanished while %2 - transfer aborted").arg(portName, activityText(step_)));
  abortChain(ChainAbort::PortGone, portName);
}

bool TransferMachine::sendAndAwait(Step next, Command command,
                                   std::span<const std::uint8_t> payload) {
  setStep(next);
  lastCommand_ = command;
  lastPayload_.assign(payload.begin(), payload.end());
  tries_ = 1;
  return sendAwaited();
}

void TransferMachine::finishIf(bool stepBelongsToChain) {
  if (stepBelongsToChain) setStep(Step::Idle);
}

void TransferMachine::abortChain(ChainAbort why, const QString& detail) {
  const std::optional<Chain> chain = chainOfStep(step_);
  const QString activity = activityText(step_);
  abortedStep_ = step_;
  lostReply_ = why == ChainAbort::NoReply;
  if (chain) abortedChains_[index(*chain)] = true;
  timer1_.stop();
  // Settled before the report: a box shown for it may deliver further replies.
  setStep(Step::Idle);
  if (chain) Q_EMIT chainAborted(*chain, why, activity, detail);
}

void TransferMachine::setStep(Step step) {
  if (step == Step::Idle) stopWatchdog();
  if (step == step_) return;
  const bool wasRunning = chainRunning();
  step_ = step;
  if (!chainRunning()) keepConfiguration_ = false;
  if (wasRunning != chainRunning()) Q_EMIT chainRunningChanged(chainRunning());
}

}  // namespace tarvik
