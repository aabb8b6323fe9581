// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "config/ChangeMarks.h"
#include "config/Configuration.h"
#include "config/DeviceBlocks.h"
#include "config/PresetRows.h"
#include "core/DeviceBackup.h"
#include "core/FirmwareBackup.h"
#include "core/FirmwareUpdate.h"
#include "core/HistoryRecorder.h"
#include "core/LinkTest.h"
#include "core/TestMessageSender.h"
#include "firmware/Flasher.h"
#include "firmware/UpdateServer.h"
#include "link/RestoreCheck.h"
#include "link/TransferCare.h"
#include "midi/MidiPorts.h"
#include "midi/PortWatcher.h"

namespace tarvik {

class DeviceLink;
class FramePacer;
class ServerFile;
class SetupLibrary;
class TrafficTap;
struct SetList;

// Everything that talks to the Tarvik, wired once: the configuration and what it is measured
// against, the link over the port lists, the transfer machine on the link's replies, the flash,
// the firmware download and update check, the full backup's download and the verified restore,
// and the watcher that follows ports coming and going. The window and tarvik-cli each create
// one and only show what it reports; tests and benchmarks drive the program through it, and
// reach its parts through CoreParts.
//
// Every call and signal is on the owner's thread. The port lists must outlive the core.
class ConfiguratorCore : public QObject {
  Q_OBJECT
 public:
  // Without an update server, fetches wait until one is adopted (see LateUpdateServer); the
  // core owns the server for its whole life, as the fetches it starts refer to it.
  explicit ConfiguratorCore(MidiPorts& ports, std::unique_ptr<UpdateServer> updateServer = {},
                            QObject* parent = nullptr);
  ~ConfiguratorCore() override;
  ConfiguratorCore(const ConfiguratorCore&) = delete;
  ConfiguratorCore& operator=(const ConfiguratorCore&) = delete;

  // The version of both front ends, and the firmware version they expect on the device.
  static const QString& version() { return TransferMachine::softwareVersion; }

  Configuration& configuration() { return configuration_; }
  const Configuration& configuration() const { return configuration_; }
  // What the configuration differs in from the device and from the last file.
  const ChangeMarks& marks() const { return marks_; }
  // A file or the library now holds these (see ChangeMarks::fileHolds).
  void fileHolds(const ConfigBytes& bytes, const std::optional<PresetNames>& names = std::nullopt,
                 const std::optional<LoopLabels>& labels = std::nullopt) {
    marks_.fileHolds(bytes, names, labels);
  }
  // Puts a setup, a snapshot or a file into the editors as one change: the tables through the
  // clamps a download applies, the settings when `bytes` has them, the names when given (else
  // the editors keep theirs), the labels when given and not empty. With `kept`, a file or the
  // library holds what was put in, as fileHolds() says. Nothing is asked and nothing is sent.
  void open(const ConfigBytes& bytes, const std::optional<PresetNames>& names,
            const std::optional<LoopLabels>& labels, bool kept);
  // Puts the parts of `bytes` (RestoreParts::merge) over what the editors hold, as one change:
  // the presets taken with their `names`, and the loops' `labels` when given and not empty.
  // Nothing is sent; the change marks then show the rows that came out different. `parts`
  // have been checked against the source (RestoreParts::refusal). Refused (false) while busy.
  bool takeParts(const ConfigBytes& bytes, const PresetNames& names,
                 const std::optional<LoopLabels>& labels, const RestoreParts& parts);
  // The blocks as the device sent them in its last download, before the editors' clamps.
  const DeviceBlocks& deviceBlocks() const { return deviceBlocks_; }
  // The backup file of the last whole download (deviceBlocks() complete()), with the loops'
  // `labels` besides.
  DeviceBackup deviceBackup(const LoopLabels& labels = {}) const {
    return DeviceBackup::of(deviceBlocks_, labels);
  }

  // The transfers; each is refused (false, nothing sent) while busy(). The connect identifies
  // the device and, with the program's firmware, reads its four blocks into the editors (with
  // `keepEditors`, only into deviceBlocks()); the submits send the settings or the three tables.
  bool connectDevice(bool keepEditors = false);
  bool submitConfig() { return machine_.startSubmitConfig(); }
  bool submitPresets() { return machine_.startSubmitPresets(); }
  // A connect with its download as one outcome (fullDownloadFinished), as a backup reads.
  bool startFullDownload() { return fullDownload_.start(); }
  // The verified restore (RestoreCheck::start); restoreProblem() says why the last one failed.
  bool restore(const PresetTables& tables, const std::optional<FullBackup::Settings>& settings,
               const PresetNames& names = {}, const LoopLabels& labels = {}) {
    return restoreCheck_.start(tables, settings, names, labels);
  }
  // The same restore of only some parts of `source` over what the device holds
  // (RestoreCheck::startPartial); `parts` have been checked against the source
  // (RestoreParts::refusal).
  bool restoreParts(const ConfigBytes& source, const PresetNames& names,
                    const RestoreParts& parts) {
    return restoreCheck_.startPartial(source, names, parts);
  }
  RestoreCheck::Problem restoreProblem() const { return restoreCheck_.problem(); }
  // How many tries the last restore took (RestoreCheck::tries).
  int restoreTries() const { return restoreCheck_.tries(); }
  // The link test (LinkTest) over the open ports: `count` identifies, one after the other.
  // Refused (false, nothing sent) while busy, without ports or for a count outside
  // LinkTest::kMinCount..kMaxCount; it ends with linkTested or linkTestFailed.
  bool testLink(int count = LinkTest::kDefaultCount);
  // Replies came that the program did not ask for: another program is talking to the device
  // (TransferMachine::unaskedReply), and unaskedRepliesText() says so.
  bool heardUnaskedReplies() const { return machine_.unaskedReplies() > 0; }
  static QString unaskedRepliesText() { return tarvik::unaskedRepliesText(); }

  // The firmware update (FirmwareUpdate): the image, given or downloaded from the update server
  // and checked, then the setup kept (FirmwareBackup), then the flash. Refused (false, nothing
  // reported) while busy or while an update runs. What is kept, and where, stays until a
  // download after a written flash has compared the device with it (awaiting that).
  bool updateFirmware(FirmwareUpdate::Plan plan);
  // The change log from the update server.
  void checkForUpdate();
  const std::optional<FirmwareBackup::Kept>& keptSetup() const { return firmwareBackup_.kept(); }
  QString keptSetupWhere() const { return firmwareBackup_.whereText(); }
  bool awaitingCheckAfterFlash() const { return firmwareBackup_.awaitingCheck(); }
  // A flash may have left the device in its bootloader: it cannot be read for a backup then.
  bool deviceMayBeInBootloader() const { return firmwareBackup_.deviceMayBeInBootloader(); }
  // Takes the device through its bootloader with `image`. cancelFlash() tells the bootloader
  // to leave; false while the device writes its flash (nothing may disturb it) or none runs.
  void flash(const FirmwareImage& image) {
    if (!linkTest_.running()) flasher_.start(image);
  }
  bool flashRunning() const { return flasher_.running(); }
  bool cancelFlash() { return flasher_.cancel(); }

  // The ports the lists hold now, in their order (row i is port i). Raise TMidiError when a
  // list cannot be enumerated.
  std::vector<std::string> inputNames();
  std::vector<std::string> outputNames();
  // Makes the link the handler of every input list the ports hold, now and after the
  // platform's service arrives, so that short messages arrive (shortMessageReceived) on every
  // input opened from now on.
  void listen();
  // Opens the input and output at these rows as the link's pair (see DeviceLink::open), or
  // closes the link's pair. Raise TMidiError.
  void openPorts(int input, int output);
  void closePorts();
  bool portsOpen() const;
  // For the details of a MIDI failure: the MIDI system the ports are reached through ("Jack",
  // "ALSA"; empty while none is), and the names of the link's input and output as the lists
  // showed them when they were opened (empty without a pair).
  QString midiSystemName() const;
  std::pair<QString, QString> linkPortNames() const;
  // Opens the input at `row` alone, listening to it and sending nothing (the monitor), and
  // closes it again. Raise TMidiError.
  void openInput(int row);
  void closeInput(int row);
  // Some input is open, the link's or a monitor's: shortMessageReceived can arrive.
  bool inputOpen() const;
  // The test controller's message to output `port`, opened when it is closed; a port opened
  // just now is waited for and found again by name (testMessageFailed says when that fails).
  // Raises TMidiError when the port cannot be opened or the message not sent now.
  void sendTestMessage(int port, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
  // Every message sent or received goes to `tap` as well; nullptr detaches it.
  void setTrafficTap(TrafficTap* tap);

  // How carefully every transfer talks to the device from its next command on: the smallest gap
  // between two frames sent and how many more tries a command or a block gets (TransferCare).
  // Values outside TransferCare's ranges are clamped into them.
  void setTransferCare(const TransferCare& care);
  TransferCare transferCare() const { return care_; }
  // The next transfer that starts (a connect, submit, backup, restore, flash or link test) runs
  // with TransferCare::careful(); once it has ended, however it ended, the care set before holds
  // again.
  void carefulOnce();
  // The last transfer that ended failed because the device did not answer a command within its
  // time-out, after every try: a slower pace and more tries may get it through.
  bool lastTransferLostReplies() const {
    return lastTransferWasFlash_ ? flasher_.lostReply() : machine_.lostReply();
  }

  // Looks for ports that came or went now, and from now on every few moments.
  void rescanPorts() { portWatcher_.rescan(); }
  void watchPorts() { portWatcher_.start(); }

  // The library whose device history records what the device holds after each download,
  // confirmed submit and restore that reached it (HistoryRecorder); nullptr for none. The library
  // must outlive the core or be detached first. A snapshot that cannot be written is a
  // logLine(), never a failed transfer.
  void setLibrary(SetupLibrary* library) { history_.setLibrary(library); }
  SetupLibrary* library() const { return history_.library(); }

  // Something owns the link (a chain, a backup or restore, the firmware download or the
  // flash): nothing else may talk to the device, and nothing may edit the configuration that
  // is being sent or read.
  bool busy() const;

  // A device with the program's firmware answered the last connect, and the link still has
  // its ports: what may be sent to it besides the transfers.
  bool connected() const { return connected_; }
  // Switches the device to the preset of matrix row `row` (0..127, labelled row + 1): the
  // program change that selects it goes to the link's output on the configuration's MIDI
  // channel, and a logLine() says which preset was played. Refused (false) while not connected,
  // while busy or for a row outside the matrix. Raises TMidiError when the send fails.
  bool playPreset(int row);
  // The MIDI channel (0..15) that playPreset() sends on: the configured one, also in omni mode,
  // where the device would take any; channel 1 for a record without one.
  std::uint8_t deviceChannel() const;

  // A set in song order in the editors (SetArrangement). What arranging `setList` would change:
  // the rows to list, and ask about, before arrangeSet() overwrites them.
  PresetRows::Rows setArrangementOverwrites(const SetList& setList) const;
  // Puts the songs' presets at presets 1, 2, 3 ... as one change of the configuration, so that
  // an edit history takes it as one step. Refused (false) while busy: the configuration may be
  // on its way to or from the device.
  bool arrangeSet(const SetList& setList);

 Q_SIGNALS:
  // A line of the transfer machine or the flash, for the event log or --verbose.
  void logLine(const QString& line);
  // busy() may have changed.
  void busyChanged(bool busy);
  // The watcher found ports gone or new; the lists have changed already. The link follows its
  // ports right after the receivers, so a transfer that lost its port ends (and its front end's
  // error box runs the event loop) only once they have shown the new lists.
  void portsChanged(const tarvik::MidiPorts::Change& change);
  // The attached library's device history gained a snapshot: lists of it are out of date.
  void historyRecorded(const QString& event);
  // connected() may have changed.
  void connectedChanged(bool connected);
  // A program change arrived on an open input: the matrix row of the preset it selects.
  void programChangeReceived(int row);
  // playPreset() sent the program change that selects matrix row `row`.
  void presetPlayed(int row);
  // Any short message that arrived on an open input.
  void shortMessageReceived(int port, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
  // A look at the ports failed; the next one tries again.
  void portRescanFailed(const QString& text);
  // A test message that waited for its port could not be sent.
  void testMessageFailed(const QString& text);

  // What the transfer machine reports of any connect (the window's, a backup's, a restore's)
  // and submit: the identify acted on, no answer to the first one, a chain's last reply, a chain
  // given up, and a block the device did not store (after its chain's end).
  void deviceIdentified(const QString& version, bool compatible);
  void connectTimedOut();
  void transferFinished(tarvik::Chain chain);
  void transferAborted(tarvik::Chain chain, tarvik::ChainAbort why, const QString& activity,
                       const QString& detail);
  void blockRefused(tarvik::Block block, std::uint8_t status);
  // startFullDownload()'s identify, before it goes on or ends, and its outcome; the restore's
  // stage and outcome; the flash's pages verified, its end and the device's word that it wrote.
  void fullDownloadIdentified(const QString& version, bool compatible);
  void fullDownloadFinished(bool ok, const QString& text);
  void restoreStageChanged(tarvik::RestoreCheck::Stage stage);
  void linkTested(const tarvik::LinkTestReport& report);
  void linkTestFailed(const QString& text);
  void restoreFinished(bool ok, const QString& text);
  void flashProgress(int done, int count);
  void flashFinished(tarvik::FlashEnd end, const QString& detail);
  void flashWritten();
  // The backup before a flash, and the first download after a written one against it; what
  // the update server's firmware download and update check bring.
  void backedUpBeforeFlash(bool ok, const QString& text);
  void comparedAfterFlash(const QStringList& differences);
  // The steps of updateFirmware(), as FirmwareUpdate reports them; a download that failed
  // ends the update too.
  void firmwareDownloadFailed(const QString& errorText);
  void firmwareRefused(const tarvik::FirmwareImage& image);
  void firmwareBackingUp(const QString& version);
  void firmwareFlashing(const tarvik::FirmwareImage& image, tarvik::FirmwareUpdate::Backup backup);
  void firmwareUpdateStopped(tarvik::FirmwareUpdate::Stop why, const QString& text);
  void updateCheckRunningChanged(bool running);
  void updateChecked(const QByteArray& changeLog);
  void updateCheckFailed(const QString& errorText);

 private:
  friend struct CoreParts;

  void reportBusy();
  void applyCare(const TransferCare& care);
  void setConnected(bool connected);

  MidiPorts& ports_;
  Configuration configuration_;
  ChangeMarks marks_;
  DeviceBlocks deviceBlocks_;
  std::unique_ptr<DeviceLink> link_;
  // Everything for the device goes through it (sendShort aside), so that the care's pace holds.
  std::unique_ptr<FramePacer> pacer_;
  TransferMachine machine_;
  Flasher flasher_;
  // Before the two that fetch from it: their requests go first.
  std::unique_ptr<UpdateServer> updateServer_;
  std::unique_ptr<ServerFile> firmwareDownload_;
  std::unique_ptr<ServerFile> updateCheck_;
  FullDownload fullDownload_;
  RestoreCheck restoreCheck_;
  PortWatcher portWatcher_;
  HistoryRecorder history_;
  FirmwareBackup firmwareBackup_;
  FirmwareUpdate firmwareUpdate_;
  TestMessageSender testSender_;
  LinkTest linkTest_;
  TransferCare care_;
  // The care set before a carefulOnce(), until the careful transfer has ended.
  std::optional<TransferCare> careAfterCareful_;
  // The careful transfer has begun (busy() was true since carefulOnce()).
  bool carefulStarted_ = false;
  // Which of the two the last transfer was, for lastTransferLostReplies().
  bool lastTransferWasFlash_ = false;
  bool connected_ = false;
};

}  // namespace tarvik
