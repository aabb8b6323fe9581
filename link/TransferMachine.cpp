// SPDX-License-Identifier: MIT
#include "link/TransferMachine.h"

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

bool TransferMachine::startConnect() {
  if (!canStartChain()) {
    return false;
  }
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
  holdButton(ChainButton::SubmitPresets);
  view_.setBusyCursor(true);
  view_.addLog(QStringLiteral("submit presets"));
  const auto presets = editors_.presetPayload();
  sendAndAwait(Step::SubmittingPresets, Command::SubmitPresets, presets);
  return true;
}

void TransferMachine::DoSysExData(std::span<const std::uint8_t> frame) {
  const std::optional<Reply> reply = parseReply(frame);
  if (!reply) {
    return;
  }
  onReply(*reply);
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

    case Command::SubmitConfig:
      if (reply.items[0] == kStatusSuccess) {
        view_.addLog(QStringLiteral("transmission successful"));
      }
      finishIf(step_ == Step::SubmittingConfig);
      releaseButton(ChainButton::SubmitConfig, true);
      view_.setBusyCursor(false);
      return;

    case Command::SubmitPresets: {
      if (reply.items[0] == kStatusSuccess) {
        view_.addLog(QStringLiteral("transmission successful"));
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

    case Command::SubmitPcRemap:
      view_.addLog(QStringLiteral("transmission successful"));
      finishIf(inSubmitPresets(step_));
      releaseButton(ChainButton::SubmitPresets, true);
      view_.setBusyCursor(false);
      return;

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
