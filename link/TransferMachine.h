// SPDX-License-Identifier: MIT
#pragma once

#include "link/Framing.h"
#include "link/TransferView.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <span>

namespace tarvik {

// The device's side of the conversation, step by step: connect and identify, the download
// chain, the two submit chains and the bootloader replies the flash waits on. Each reply makes
// the next command go out; replies are acted on whatever the current step (an unsolicited reply
// 5 still sends the CC map), with two exceptions: a reply of a chain that the reply watchdog has
// given up is only logged as late, and while the flash owns the link only the bootloader's
// replies are acted on. Every call comes on the window's thread.
class TransferMachine : public QObject {
  Q_OBJECT
 public:
  static constexpr int kConnectTimeoutMs = 1000;
  // How long any later step of a chain waits for the device before it gives up.
  static constexpr int kReplyWatchdogMs = 3000;
  static inline const QString softwareVersion = QStringLiteral("1.9");

  enum class Step {
    Idle,
    Identifying,
    DownloadingPresets,
    DownloadingConfig,
    DownloadingCcMap,
    DownloadingPcRemap,
    SubmittingConfig,
    SubmittingPresets,
    SubmittingCcMap,
    SubmittingPcRemap,
  };

  TransferMachine(LinkPort& link, TransferView& view, ConfigEditors& editors,
                  QObject* parent = nullptr);

  // Tests shorten the waits; the program never changes them.
  void setConnectTimeout(int ms);
  void setReplyWatchdog(int ms);

  // Connect press after the port checks and the opening of the ports (the window does those):
  // disables Button1, busy cursor, sends Identify, arms the connect time-out.
  // The three starters refuse (return false, touch nothing) while a chain runs or the link is
  // reserved elsewhere, so that two chains never interleave their commands on the link. A send
  // error ends the chain (its button back, default cursor) and is rethrown.
  bool startConnect();
  void resetIdentifyCount() { identifyCount_ = 0; }
  // Opening steps of the submit chains (Button2Click, Button3Click).
  bool startSubmitConfig();
  bool startSubmitPresets();

  // The reply dispatcher: one received SysEx message.
  void DoSysExData(std::span<const std::uint8_t> frame);

  Step step() const { return step_; }
  // True while a chain waits for the device: nothing else may send then.
  bool chainRunning() const { return step_ != Step::Idle; }
  int identifyCount() const { return identifyCount_; }
  QTimer& connectTimer() { return timer1_; }
  QTimer& replyWatchdog() { return watchdog_; }

  // Shared with the flash.
  void clearBootloaderFlag() { bootloaderFlag_.store(false, std::memory_order_release); }
  bool bootloaderFlag() const { return bootloaderFlag_.load(std::memory_order_acquire); }
  QString pageReadBack() const { return pageReadBack_; }

 Q_SIGNALS:
  // A chain started or ended; the window recomputes which send controls are usable.
  void chainRunningChanged(bool running);
  // Reply 8 or 9 set the bootloader flag (reply 9 rebuilt the read-back text first).
  void bootloaderReply();
  // Reply 17: the device wrote the uploaded image to flash.
  void flashWritten();

 private:
  void Timer1Timer();
  void watchdogFired();
  void setStep(Step step);
  void onIdentify(const Reply& reply);
  void onReply(const Reply& reply);
  // Sends the command that a chain waits on the answer to, then arms the watchdog for it.
  void sendAndAwait(Step next, Command command, std::span<const std::uint8_t> payload = {});
  // The chain's last reply came: step Idle unless another chain's step is pending.
  void finishIf(bool stepBelongsToChain);
  // The chain cannot go on (silent device, send error): every button it holds comes back.
  void abortChain();
  void holdButton(ChainButton button);
  void releaseButton(ChainButton button, bool enable);
  bool canStartChain() const;
  // Clears what an earlier run of this chain left behind (a give-up, a refusal).
  void beginChain(ChainButton chain);
  // True (and logged) when the reply must not move anything: it belongs to a chain that was
  // given up, or the flash owns the link and the reply is not the bootloader's.
  bool dropped(const Reply& reply);

  LinkPort& link_;
  TransferView& view_;
  ConfigEditors& editors_;
  QTimer timer1_;
  QTimer watchdog_;
  Step step_ = Step::Idle;
  int identifyCount_ = 0;
  // Buttons disabled by a chain and not yet given back; indexed by ChainButton.
  std::array<bool, 3> heldButtons_{};
  // Chains the reply watchdog or a send failure gave up; indexed by ChainButton. Their late
  // replies must not send the rest of an abandoned chain.
  std::array<bool, 3> abortedChains_{};
  // The status of a refused SubmitPresets, until the end of its chain reports it.
  std::optional<std::uint8_t> presetsRefusal_;
  std::atomic<bool> bootloaderFlag_{false};
  QString pageReadBack_;
};

}  // namespace tarvik
