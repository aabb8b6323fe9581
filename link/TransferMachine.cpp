// SPDX-License-Identifier: MIT
#include "link/TransferMachine.h"

#include <utility>

namespace tarvik {

namespace {

constexpr std::size_t index(ChainButton button) { return static_cast<std::size_t>(button); }

bool inDownloadTables(TransferMachine::Step step) {
  using Step = TransferMachine::Step;
  return step == Step::DownloadingPresets || step == Step::DownloadingConfig ||
         step == Step::DownloadingCcMap || step == Step::DownloadingPcRemap;
}

bool inSubmitPresets(TransferMachine::Step step) {
  using Step = TransferMachine::Step;
  return step == Step::SubmittingPresets || step == Step::SubmittingCcMap ||
         step == Step::SubmittingPcRemap;
}

// Completes "no reply from Tarvik while ..." in the log line and the box of the watchdog.
QString stalledActivity(TransferMachine::Step step) {
  using Step = TransferMachine::Step;
  switch (step) {
    case Step::Identifying:
      return QStringLiteral("identifying");
    case Step::DownloadingPresets:
      return QStringLiteral("downloading presets");
    case Step::DownloadingConfig:
      return QStringLiteral("downloading config");
    case Step::DownloadingCcMap:
      return QStringLiteral("downloading control changes");
    case Step::DownloadingPcRemap:
      return QStringLiteral("downloading program change remap table");
    case Step::SubmittingConfig:
      return QStringLiteral("submitting config");
    case Step::SubmittingPresets:
      return QStringLiteral("submitting presets");
    case Step::SubmittingCcMap:
      return QStringLiteral("submitting control changes");
    case Step::SubmittingPcRemap:
      return QStringLiteral("submitting program change remap table");
    case Step::Idle:
      break;
  }
  return QStringLiteral("waiting");
}

// The chain a reply belongs to; nothing for the bootloader's replies.
std::optional<ChainButton> chainOfReply(std::uint8_t code) {
  switch (static_cast<Command>(code)) {
    case Command::Identify:
    case Command::DownloadPresets:
    case Command::DownloadConfig:
    case Command::DownloadCcMap:
    case Command::DownloadPcRemap:
      return ChainButton::Connect;
    case Command::SubmitConfig:
      return ChainButton::SubmitConfig;
    case Command::SubmitPresets:
    case Command::SubmitCcMap:
    case Command::SubmitPcRemap:
      return ChainButton::SubmitPresets;
    default:
      return std::nullopt;
  }
}

std::optional<ChainButton> chainOfStep(TransferMachine::Step step) {
  using Step = TransferMachine::Step;
  switch (step) {
    case Step::Identifying:
      return ChainButton::Connect;
    case Step::SubmittingConfig:
      return ChainButton::SubmitConfig;
    default:
      if (inDownloadTables(step)) return ChainButton::Connect;
      if (inSubmitPresets(step)) return ChainButton::SubmitPresets;
      return std::nullopt;
  }
}

bool isBootloaderReply(std::uint8_t code) {
  const auto command = static_cast<Command>(code);
  return command == Command::EnterBootloader || command == Command::UploadFlashPage ||
         command == Command::WriteRamToFlash;
}

QString statusText(std::uint8_t status) {
  return QStringLiteral("0x%1").arg(QStringLiteral("%1").arg(status, 2, 16, QLatin1Char('0')).toUpper());
}

QString notStoredLine(const QString& block, std::uint8_t status) {
  return QStringLiteral("Tarvik did not store the %1 (status %2)").arg(block, statusText(status));
}

const QString kWarningCaption = QStringLiteral("Warning");

// A page read-back cut short: the complete nibble pairs before the closing byte. The flash then
// sees a read-back that cannot match and gives the page up as unverified, instead of waiting
// for a reply that already came.
std::optional<Reply> shortPageReadBack(std::span<const std::uint8_t> frame) {
  if (frame.size() < 2 || frame[0] != 0xF0 ||
      frame[1] != static_cast<std::uint8_t>(Command::UploadFlashPage)) {
    return std::nullopt;
  }
  Reply reply;
  reply.code = frame[1];
  reply.frameLength = frame.size();
  const int complete = frame.size() >= 3 ? static_cast<int>((frame.size() - 3) / 2) : 0;
  for (int i = 0; i < complete && i < kFlashPageSize; ++i) {
    reply.items.push_back(DecodeItem(frame, i));
  }
  return reply;
}

template <std::size_t N>
std::span<const std::uint8_t, N> fixedItems(const Reply& reply) {
  // parseReply hands out exactly itemsRead(code) items, which is N for every caller here.
  return std::span<const std::uint8_t, N>(reply.items.data(), N);
}

}  // namespace

TransferMachine::TransferMachine(LinkPort& link, TransferView& view, ConfigEditors& editors,
                                 QObject* parent)
    : QObject(parent), link_(link), view_(view), editors_(editors) {
  // Children of the machine, so the window finds its Timer1 by name like any other control.
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

void TransferMachine::setConnectTimeout(int ms) { timer1_.setInterval(ms); }

void TransferMachine::setReplyWatchdog(int ms) { watchdog_.setInterval(ms); }

bool TransferMachine::canStartChain() const {
  return !chainRunning() && !view_.linkReservedElsewhere();
}

void TransferMachine::beginChain(ChainButton chain) {
  abortedChains_[index(chain)] = false;
  if (chain == ChainButton::SubmitPresets) {
    presetsRefusal_.reset();
  }
}

bool TransferMachine::startConnect() {
  if (!canStartChain()) {
    return false;
  }
  beginChain(ChainButton::Connect);
  holdButton(ChainButton::Connect);
  view_.setBusyCursor(true);
  // Until the device has answered once, only the connect time-out watches the wait.
  setStep(Step::Identifying);
  try {
    sendCommand(link_, Command::Identify);
  } catch (...) {
    abortChain();
    throw;
  }
  timer1_.start();
  return true;
}

bool TransferMachine::startSubmitConfig() {
  if (!canStartChain()) {
    return false;
  }
  beginChain(ChainButton::SubmitConfig);
  holdButton(ChainButton::SubmitConfig);
  view_.setBusyCursor(true);
  view_.addLog(QStringLiteral("submit config"));
  const auto record = editors_.configRecord();
  sendAndAwait(Step::SubmittingConfig, Command::SubmitConfig, record);
  return true;
}

bool TransferMachine::startSubmitPresets() {
  if (!canStartChain()) {
    return false;
  }
  beginChain(ChainButton::SubmitPresets);
  holdButton(ChainButton::SubmitPresets);
  view_.setBusyCursor(true);
  view_.addLog(QStringLiteral("submit presets"));
  const auto presets = editors_.presetPayload();
  sendAndAwait(Step::SubmittingPresets, Command::SubmitPresets, presets);
  return true;
}

void TransferMachine::DoSysExData(std::span<const std::uint8_t> frame) {
  std::optional<Reply> reply = parseReply(frame);
  if (!reply && view_.linkReservedElsewhere()) {
    reply = shortPageReadBack(frame);
  }
  if (!reply || dropped(*reply)) {
    return;
  }
  onReply(*reply);
}

bool TransferMachine::dropped(const Reply& reply) {
  if (view_.linkReservedElsewhere() && !isBootloaderReply(reply.code)) {
    view_.addLog(QStringLiteral("reply %1 from Tarvik ignored while the firmware is flashed")
                     .arg(reply.code));
    return true;
  }
  const std::optional<ChainButton> chain = chainOfReply(reply.code);
  if (chain && abortedChains_[index(*chain)]) {
    view_.addLog(QStringLiteral("late reply %1 from Tarvik after the transfer was aborted - "
                                "ignored")
                     .arg(reply.code));
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
      view_.addLog(QStringLiteral("128 presets complete"));
      editors_.applyPresets(fixedItems<kTableSize>(reply));
      view_.addLog(QStringLiteral("download config..."));
      sendAndAwait(Step::DownloadingConfig, Command::DownloadConfig);
      return;

    case Command::DownloadConfig:
      editors_.applyConfigRecord(fixedItems<kConfigRecordSize>(reply));
      // The count comes from the frame length, so a longer frame reports more than it applies.
      view_.addLog(QString::number(itemCount(reply.frameLength)) +
                   QStringLiteral(" config items found"));
      view_.addLog(QStringLiteral("download control changes..."));
      sendAndAwait(Step::DownloadingCcMap, Command::DownloadCcMap);
      return;

    case Command::DownloadCcMap:
      view_.addLog(QStringLiteral("control changes complete"));
      editors_.applyCcMap(fixedItems<kTableSize>(reply));
      view_.addLog(QStringLiteral("download programm change remap table..."));
      sendAndAwait(Step::DownloadingPcRemap, Command::DownloadPcRemap);
      return;

    case Command::DownloadPcRemap:
      view_.addLog(QStringLiteral("download programm change remap table complete"));
      editors_.applyPcRemap(fixedItems<kTableSize>(reply));
      finishIf(inDownloadTables(step_));
      releaseButton(ChainButton::Connect, true);
      view_.setBusyCursor(false);
      return;

    case Command::SubmitConfig: {
      const std::uint8_t status = reply.items[0];
      const QString refused = notStoredLine(QStringLiteral("advanced settings"), status);
      view_.addLog(status == kStatusSuccess ? QStringLiteral("transmission successful") : refused);
      finishIf(step_ == Step::SubmittingConfig);
      releaseButton(ChainButton::SubmitConfig, true);
      view_.setBusyCursor(false);
      if (status != kStatusSuccess) {
        view_.showWarning(kWarningCaption, refused + QStringLiteral(". Please submit again."));
      }
      return;
    }

    case Command::SubmitPresets: {
      const std::uint8_t status = reply.items[0];
      if (status == kStatusSuccess) {
        view_.addLog(QStringLiteral("transmission successful"));
      } else {
        // The device still expects the two tables, so they go out; the end of the chain must
        // not call the whole submit a success.
        view_.addLog(notStoredLine(QStringLiteral("presets"), status));
        presetsRefusal_ = status;
      }
      view_.addLog(QStringLiteral("submit control changes"));
      const auto ccMap = editors_.ccMapPayload();
      sendAndAwait(Step::SubmittingCcMap, Command::SubmitCcMap, ccMap);
      return;
    }

    case Command::SubmitCcMap: {
      view_.addLog(QStringLiteral("submit programm change remap table"));
      const auto pcRemap = editors_.pcRemapPayload();
      sendAndAwait(Step::SubmittingPcRemap, Command::SubmitPcRemap, pcRemap);
      return;
    }

    case Command::SubmitPcRemap: {
      const std::optional<std::uint8_t> refusal = std::exchange(presetsRefusal_, std::nullopt);
      if (!refusal) {
        view_.addLog(QStringLiteral("transmission successful"));
      }
      finishIf(inSubmitPresets(step_));
      releaseButton(ChainButton::SubmitPresets, true);
      view_.setBusyCursor(false);
      if (refusal) {
        view_.showWarning(kWarningCaption,
                          notStoredLine(QStringLiteral("presets"), *refusal) +
                              QStringLiteral(". The control changes and the program change "
                                             "remap table were sent; please submit again."));
      }
      return;
    }

    case Command::EnterBootloader:
      bootloaderFlag_.store(true, std::memory_order_release);
      Q_EMIT bootloaderReply();
      return;

    case Command::UploadFlashPage: {
      // The flash compares this text as soon as it sees the flag, so it is whole before that.
      QString readBack;
      readBack.reserve(2 * kFlashPageSize);
      for (std::uint8_t item : reply.items) {
        readBack +=
            QStringLiteral("%1").arg(static_cast<uint>(item), 2, 16, QLatin1Char('0')).toUpper();
      }
      pageReadBack_ = readBack;
      bootloaderFlag_.store(true, std::memory_order_release);
      Q_EMIT bootloaderReply();
      return;
    }

    case Command::WriteRamToFlash:
      // Only the flash sends the command this answers, and the flash holds the link while it
      // runs, so no chain step is pending here.
      view_.setTabVisible(TabSheet::Presets, false);
      view_.setTabVisible(TabSheet::Advanced, false);
      view_.setTabVisible(TabSheet::Firmware, false);
      view_.setTabVisible(TabSheet::TestController, false);
      view_.addLog(QStringLiteral("Firmware update successful! Reboot Tarvik..."));
      view_.appendRawLogLine(QString());
      view_.appendRawLogLine(QString());
      view_.setBusyCursor(false);
      Q_EMIT flashWritten();
      return;

    case Command::LeaveBootloader:
      return;  // parseReply never lets this one through
  }
}

void TransferMachine::onIdentify(const Reply& reply) {
  timer1_.stop();
  // The device is woken up by a burst of identifies; only the seventh answer is looked at.
  if (identifyCount_ <= 5) {
    ++identifyCount_;
    sendAndAwait(Step::Identifying, Command::Identify);
    return;
  }

  const QString version =
      QString::number(reply.items[0]) + QLatin1Char('.') + QString::number(reply.items[1]);
  view_.setCurrentVersion(version);
  const QString found = QStringLiteral("Tarvik found! Firmware-Version: ") + version;

  if (view_.currentVersion() == softwareVersion) {
    view_.setTabVisible(TabSheet::Presets, true);
    view_.setTabVisible(TabSheet::Advanced, true);
    view_.setTabVisible(TabSheet::Firmware, true);
    view_.setTabVisible(TabSheet::TestController, true);
    view_.addLog(found);
    view_.addLog(QStringLiteral("download presets..."));
    sendAndAwait(Step::DownloadingPresets, Command::DownloadPresets);
    return;
  }

  // Nothing more is asked of a device with other firmware. The connect button stays off for
  // good (only the firmware tab is offered), but the wait itself is over, so the cursor comes
  // back. The state is settled before the box, whose event loop may deliver further replies.
  finishIf(step_ == Step::Identifying || inDownloadTables(step_));
  releaseButton(ChainButton::Connect, false);
  if (!chainRunning()) {
    view_.setBusyCursor(false);
  }
  view_.showError(QStringLiteral("Error"),
                  QStringLiteral("Your Tarvik Version does not match to this software! Please "
                                 "Update Firmware or Software!"));
  view_.addLog(found);
  view_.setTabVisible(TabSheet::Firmware, true);
}

void TransferMachine::Timer1Timer() {
  timer1_.stop();
  releaseButton(ChainButton::Connect, true);
  view_.setBusyCursor(false);
  setStep(Step::Idle);
  view_.showError(QStringLiteral("Timeout!"), QStringLiteral("No Tarvik found :("));
}

void TransferMachine::watchdogFired() {
  if (!chainRunning()) {
    return;
  }
  const QString activity = stalledActivity(step_);
  view_.addLog(QStringLiteral("no reply from Tarvik while ") + activity +
               QStringLiteral(" - transfer aborted"));
  // Settled before the modal box: a reply arriving while it is open is handled as usual.
  abortChain();
  view_.showError(QStringLiteral("Error"),
                  QStringLiteral("The Tarvik did not answer while ") + activity +
                      QStringLiteral(". The transfer was aborted; please check the MIDI "
                                     "connection and try again."));
}

void TransferMachine::sendAndAwait(Step next, Command command,
                                   std::span<const std::uint8_t> payload) {
  setStep(next);
  try {
    sendCommand(link_, command, payload);
  } catch (...) {
    // The rest of the command never went out, so no reply will come to move the chain on.
    abortChain();
    throw;
  }
  watchdog_.start();
}

void TransferMachine::finishIf(bool stepBelongsToChain) {
  if (stepBelongsToChain) {
    setStep(Step::Idle);
  }
}

void TransferMachine::abortChain() {
  if (const std::optional<ChainButton> chain = chainOfStep(step_)) {
    abortedChains_[index(*chain)] = true;
  }
  timer1_.stop();
  setStep(Step::Idle);
  for (ChainButton button :
       {ChainButton::Connect, ChainButton::SubmitConfig, ChainButton::SubmitPresets}) {
    if (heldButtons_[index(button)]) {
      releaseButton(button, true);
    }
  }
  view_.setBusyCursor(false);
}

void TransferMachine::holdButton(ChainButton button) {
  heldButtons_[index(button)] = true;
  view_.setButtonEnabled(button, false);
}

void TransferMachine::releaseButton(ChainButton button, bool enable) {
  heldButtons_[index(button)] = false;
  if (enable) {
    view_.setButtonEnabled(button, true);
  }
}

void TransferMachine::setStep(Step step) {
  if (step == Step::Idle) {
    watchdog_.stop();
  }
  if (step == step_) {
    return;
  }
  const bool wasRunning = chainRunning();
  step_ = step;
  if (wasRunning != chainRunning()) {
    Q_EMIT chainRunningChanged(chainRunning());
  }
}

}  // namespace tarvik
