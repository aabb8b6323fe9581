// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "config/Configuration.h"
#include "link/Framing.h"
#include "link/TransferCare.h"
#include "link/WaitClock.h"

namespace tarvik {

// The three chains of commands; each is started by one button of the window (or one command of
// the command line) and runs on the device's replies.
enum class Chain { Connect, SubmitConfig, SubmitPresets };

// Why a chain ended before its last reply.
enum class ChainAbort {
  NoReply,     // the reply watchdog gave up waiting
  SendFailed,  // the MIDI layer could not send; the text is its error
  PortGone,    // the link's port vanished
};

// The device's side of the conversation, step by step: connect and identify, the download
// chain and the two submit chains. Each reply makes the next command go out; replies are acted
// on whatever the current step (an unsolicited reply 5 still sends the CC map), with two
// exceptions: a reply of a chain that was given up is only logged as late, and while the flash
// owns the link every reply is only logged as ignored. The bootloader's replies (8, 9 and 17)
// are the flash's (Flasher::receiveFrame): the machine passes them over without a trace.
//
// A reply that answers no command the machine is waiting on is counted and reported as unasked
// (unaskedReply): the device answers every program that talks to it on the same port, so such a
// reply means that another program is sending it commands and may be changing what it holds.
//
// The machine reads what it sends from the configuration and writes what it receives into it.
// It reports outcomes and log lines; what they mean on screen or in a terminal is the front
// end's business. Every call comes on the owner's thread.
class TransferMachine : public QObject {
  Q_OBJECT
 public:
  static constexpr int kConnectTimeoutMs = 1000;
  // How long any later step of a chain waits for the device before it gives up.
  static constexpr int kReplyWatchdogMs = 3000;
  // The version of both front ends, and the firmware version they expect on the device.
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

  TransferMachine(LinkPort& link, Configuration& configuration, QObject* parent = nullptr);

  // Tests shorten the waits; the program never changes them.
  void setConnectTimeout(int ms);
  void setReplyWatchdog(int ms);
  // Tests drive the reply watchdog with a clock of their own (nullptr: the timer again).
  void setWatchdogClock(std::unique_ptr<WaitClock> clock) { watchdogClock_ = std::move(clock); }

  // The pace the link keeps between frames (FramePacer): every wait for a reply grows by it for
  // each frame of the command, so that a careful transfer is never given up for being slow.
  // The retries: a command whose reply does not come within its wait is sent again, up to that
  // many more times, each try a log line; the chain is given up only after the last. The
  // connect's first Identify keeps its own time-out without a retry: it asks whether anything
  // is there at all.
  void setCare(const TransferCare& care) { care_ = care; }
  const TransferCare& care() const { return care_; }
  // How long the machine waits for the reply to `command` at the current pace.
  int replyWaitMs(Command command) const;
  // A paced frame could not go out (FramePacer::sendFailed): a running chain ends as a failed
  // send.
  void abortForFailedSend(const QString& error);

  // Starting a chain is refused (false, nothing touched) while a chain runs or the flash owns
  // the link, so that two chains never interleave their commands. A send failure ends the
  // chain at once (chainAborted with SendFailed); the start still returns true then.
  // startConnect sends Identify and arms the connect time-out; the identify burst counts from
  // resetIdentifyCount(), which ConfiguratorCore::connectDevice and FullDownload::start call first.
  // With Reach::Identify the chain ends with the identify burst (chainFinished(Connect) once the
  // device has the program's firmware), as a restore needs before it writes; with Reach::Blocks
  // it is the four downloads alone, for a device this transfer identified already (a restore's
  // read-back), whose burst would only repeat what is known.
  enum class Reach { Everything, Identify, Blocks };
  bool startConnect(Reach reach = Reach::Everything);
  void resetIdentifyCount() { identifyCount_ = 0; }
  bool startSubmitConfig();
  bool startSubmitPresets();

  // The reply dispatcher: one received SysEx message.
  void DoSysExData(std::span<const std::uint8_t> frame);
  void receiveFrame(int /*port*/, const std::vector<std::uint8_t>& frame) { DoSysExData(frame); }

  // The link's port has vanished: a running chain ends at once.
  void abortForLostPort(const QString& portName);

  // While the flash owns the link, no chain starts and the configuration replies are ignored.
  void setFlashOwnsLink(bool owns) { flashOwnsLink_ = owns; }
  // The next download chain reports its blocks (received) but leaves the configuration as it
  // is: the editors keep what the user opened, and the device's blocks serve the comparison.
  // Holds until that chain ends, however it ends.
  void keepConfigurationOnNextDownload() { keepConfiguration_ = true; }
  bool flashOwnsLink() const { return flashOwnsLink_; }
  // While the link test owns the link, no chain starts and the Identify replies are the test's:
  // the machine passes them over without a trace. Any other reply is only logged as ignored.
  void setLinkTestOwnsLink(bool owns) { linkTestOwnsLink_ = owns; }

  Step step() const { return step_; }
  // The step the last chainAborted() interrupted (its `activity` is this step's text).
  Step abortedStep() const { return abortedStep_; }
  bool chainRunning() const { return step_ != Step::Idle; }
  int identifyCount() const { return identifyCount_; }
  // The last chain ended because a reply did not come in time, after every try. Not when the
  // connect's first Identify found nothing to answer it.
  bool lostReply() const { return lostReply_; }
  // How many replies came that the machine had not asked for, since it was made.
  int unaskedReplies() const { return unaskedReplies_; }
  QString deviceVersion() const { return deviceVersion_; }
  QTimer& connectTimer() { return timer1_; }
  QTimer& replyWatchdog() { return watchdog_; }

 Q_SIGNALS:
  void logLine(const QString& line);
  // A chain started or ended (by its last reply, a give-up or the connect time-out).
  void chainRunningChanged(bool running);
  // The identify reply that is acted on: the device's version text, and whether it is the
  // program's own (only then does the download chain start).
  void identified(const QString& version, bool compatible);
  // Nothing answered the first Identify within the connect time-out.
  void connectTimedOut();
  // A downloaded block is in the configuration; `bytes` are its items as the device sent them,
  // before the configuration's clamps.
  void received(tarvik::Block block, const QByteArray& bytes);
  // The device confirmed storing a block: status 0xFF, or reply 19 for the CC map and the PC
  // remap table, which carry no status. `sent` is exactly what went out for it. Not after a
  // command went unanswered since the last whole download: the confirmation may be a mix's then,
  // and only a log line says so.
  void stored(tarvik::Block block, const QByteArray& sent);
  // The device answered a submit with another status than 0xFF. Reported when the chain that
  // carried it has ended, after chainFinished.
  void refused(tarvik::Block block, std::uint8_t status);
  // The chain's last reply came (18, 4 or 19), whatever the statuses said.
  void chainFinished(tarvik::Chain chain);
  // The chain ended before its last reply; `activity` says what was under way ("submitting
  // presets") and `detail` the MIDI layer's error for a failed send or the port's name.
  void chainAborted(tarvik::Chain chain, tarvik::ChainAbort why, const QString& activity,
                    const QString& detail);
  // A reply came that answers no command the machine waits on (with response code `code`).
  // Reported once the machine has acted on it, as it acts on any reply.
  void unaskedReply(int code);
  // A command went out again after its wait ran out (`line` is what was logged).
  void retried(tarvik::Command command);

 private:
  void Timer1Timer();
  void sendFirstIdentify();
  void watchdogFired();
  void armWatchdog(int ms);
  void stopWatchdog();
  // The command that waits for its reply, sent once more.
  bool sendAgain();
  // Sends lastCommand_ and arms the watchdog for its reply; false (the chain aborted) when the
  // send failed.
  bool sendAwaited();
  void setStep(Step step);
  void onIdentify(const Reply& reply);
  void onReply(const Reply& reply);
  // Sends the command that a chain waits on the answer to, then arms the watchdog for it.
  // False when the send failed (the chain is aborted then).
  bool sendAndAwait(Step next, Command command, std::span<const std::uint8_t> payload = {});
  // The connect's downloads, in their table's order (see TransferMachine.cpp).
  void askForDownload(std::size_t index);
  void onDownloaded(const Reply& reply);
  // The chain's last reply came: step Idle unless another chain's step is pending.
  void finishIf(bool stepBelongsToChain);
  void abortChain(ChainAbort why, const QString& detail);
  // False (nothing touched) while a chain runs or the flash owns the link.
  bool beginChain(Chain chain);
  // Logs `line`, keeps what goes out (`sent`, for the confirmation) and sends it.
  template <std::size_t N>
  void submit(const QString& line, Step next, Command command, QByteArray& sent,
              const std::array<std::uint8_t, N>& payload);
  bool dropped(const Reply& reply);
  // Reports `block` stored, unless the confirmation may be a mix's (doubtful_).
  void confirm(Block block, const QByteArray& sent);
  void log(const QString& line) { Q_EMIT logLine(line); }

  LinkPort& link_;
  Configuration& configuration_;
  QTimer timer1_;
  QTimer watchdog_;
  Step step_ = Step::Idle;
  Step abortedStep_ = Step::Idle;
  int identifyCount_ = 0;
  // The response code of the command sent last, until its reply comes: one command at a time
  // waits for its answer, so any other reply was asked for by someone else. It outlives a
  // time-out or an abort, so that the late answer to it is not taken for another program's.
  std::optional<std::uint8_t> awaited_;
  int unaskedReplies_ = 0;
  // What the awaited command was and which try of it is under way, for a retry.
  Command lastCommand_ = Command::Identify;
  std::vector<std::uint8_t> lastPayload_;
  int tries_ = 0;
  // Answers that earlier tries of the command of this code may still bring: each is taken as a
  // late reply and ignored, not as another program's.
  std::uint8_t retriedCode_ = 0;
  int lateAnswers_ = 0;
  TransferCare care_;
  bool lostReply_ = false;
  // A command lost frames or its answer since the device last answered a whole download: its
  // parser may hold the start of that command, which the next send completes, so a confirmation
  // says nothing of what it stored until it has been read again.
  bool doubtful_ = false;
  std::unique_ptr<WaitClock> watchdogClock_;
  // The waits at a pace of 0; QTimer::start(ms) would overwrite an interval.
  int connectTimeoutMs_ = kConnectTimeoutMs;
  int replyWatchdogMs_ = kReplyWatchdogMs;
  // Counts connects, so that a link that carries only after a newer connect began (or the
  // chain ended) sends nothing for the old one.
  QString deviceVersion_;
  bool flashOwnsLink_ = false;
  bool linkTestOwnsLink_ = false;
  bool keepConfiguration_ = false;
  // How far the running connect goes.
  Reach reach_ = Reach::Everything;
  // Chains that were given up; indexed by Chain. Their late replies must not send the rest of
  // an abandoned chain.
  std::array<bool, 3> abortedChains_{};
  // A refused SubmitPresets, reported when its chain ends.
  std::optional<std::uint8_t> presetsRefusal_;
  // What went out for each block since its chain started; a confirmation refers to these.
  QByteArray sentRecord_;
  QByteArray sentPresets_;
  QByteArray sentCcMap_;
  QByteArray sentPcRemap_;
};

// What to tell the user when the device did not store a block: names the block, its status,
// and what was sent all the same.
QString refusalText(Block block, std::uint8_t status);

// What to tell the user when replies came that the program did not ask for.
QString unaskedRepliesText();

// What `step` is doing, in the user's language ("submitting presets"): the activity that
// chainAborted() reports and that completes "no reply from Tarvik while ...".
QString activityText(TransferMachine::Step step);

}  // namespace tarvik

Q_DECLARE_METATYPE(tarvik::Chain)
Q_DECLARE_METATYPE(tarvik::ChainAbort)
