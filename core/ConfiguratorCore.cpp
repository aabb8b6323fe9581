// SPDX-License-Identifier: MIT
#include "core/ConfiguratorCore.h"

#include <algorithm>

#include "config/PresetTables.h"
#include "firmware/LateUpdateServer.h"
#include "firmware/ServerFile.h"
#include "library/SetArrangement.h"
#include "link/DeviceLink.h"
#include "link/FramePacer.h"

namespace tarvik {
namespace {

// The device switches to preset n when program n arrives on its channel (on any channel in
// omni mode). Program n travels as the data byte n - 1, as the test controller sends it, and
// preset n is matrix row n - 1: row and data byte are the same number.
constexpr std::uint8_t kProgramChange = 0xC0;

// The configured channel also in omni mode, where any channel would do; a record without a
// channel (no selection, or out of range) sends on channel 1.
std::uint8_t channelNibble(const ConfigRecord& record) {
  const int channel = record.midiChannel;
  return channel >= 0 && channel < ConfigRecord::kChannelItems ? static_cast<std::uint8_t>(channel)
                                                               : 0;
}

}  // namespace

ConfiguratorCore::ConfiguratorCore(MidiPorts& ports, std::unique_ptr<UpdateServer> updateServer,
                                   QObject* parent)
    : QObject(parent),
      ports_(ports),
      marks_(configuration_),
      link_(std::make_unique<DeviceLink>(ports)),
      pacer_(std::make_unique<FramePacer>(*link_)),
      machine_(*pacer_, configuration_),
      flasher_(*pacer_, machine_),
      updateServer_(updateServer ? std::move(updateServer) : std::make_unique<LateUpdateServer>()),
      firmwareDownload_(
          std::make_unique<ServerFile>(*updateServer_, QStringLiteral("firmware.txt"))),
      updateCheck_(std::make_unique<ServerFile>(*updateServer_, QStringLiteral("changelog.txt"))),
      fullDownload_(machine_),
      restoreCheck_(machine_, configuration_),
      portWatcher_(ports),
      history_(machine_, restoreCheck_),
      firmwareBackup_(fullDownload_, deviceBlocks_, [this] { return history_.library(); }),
      firmwareUpdate_(*firmwareDownload_, firmwareBackup_,
                      [this](const FirmwareImage& image) { flash(image); }),
      testSender_(ports_, *link_, [this](const QString& text) { Q_EMIT testMessageFailed(text); }),
      linkTest_(*pacer_) {
  using Core = ConfiguratorCore;
  connect(pacer_.get(), &FramePacer::sendFailed, this, [this](const QString& error) {
    flasher_.abortForFailedSend(error);
    machine_.abortForFailedSend(error);
  });
  connect(&machine_, &TransferMachine::chainRunningChanged, this, [this](bool running) {
    if (running) lastTransferWasFlash_ = false;
  });
  connect(&flasher_, &Flasher::runningChanged, this, [this](bool running) {
    if (running) lastTransferWasFlash_ = true;
  });
  connect(&restoreCheck_, &RestoreCheck::logLine, this, &Core::logLine);
  connect(link_.get(), &DeviceLink::sysExReceived, &machine_, &TransferMachine::receiveFrame);
  connect(link_.get(), &DeviceLink::sysExReceived, &flasher_, &Flasher::receiveFrame);
  connect(link_.get(), &DeviceLink::sysExReceived, &linkTest_, &LinkTest::receiveFrame);
  // Before anything hears the test's start: no chain may begin while it runs.
  connect(&linkTest_, &LinkTest::runningChanged, &machine_, &TransferMachine::setLinkTestOwnsLink);
  connect(link_.get(), &DeviceLink::shortReceived, this, &Core::shortMessageReceived);
  connect(&portWatcher_, &PortWatcher::rescanFailed, this, &Core::portRescanFailed);
  connect(link_.get(), &DeviceLink::shortReceived, this,
          [this](int, std::uint8_t status, std::uint8_t data1, std::uint8_t) {
            if ((status & 0xF0) == kProgramChange) Q_EMIT programChangeReceived(data1);
          });
  connect(&machine_, &TransferMachine::identified, this,
          [this](const QString&, bool compatible) { setConnected(compatible && link_->isOpen()); });
  connect(&machine_, &TransferMachine::connectTimedOut, this, [this] { setConnected(false); });
  // The device restarts after a flash and must be connected anew.
  connect(&flasher_, &Flasher::flashWritten, this, [this] { setConnected(false); });
  connect(link_.get(), &DeviceLink::portLost, this, [this](const QString& name) {
    setConnected(false);
    flasher_.abortForLostPort(name);
    linkTest_.abortForLostPort(name);
    machine_.abortForLostPort(name);
  });
  connect(&portWatcher_, &PortWatcher::portsChanged, this, [this](const MidiPorts::Change& change) {
    Q_EMIT portsChanged(change);
    link_->followRescan(change.inputs.newIndex, change.outputs.newIndex);
  });

  connect(&machine_, &TransferMachine::received, this,
          [this](Block block, const QByteArray& bytes) {
            deviceBlocks_.set(block, bytes);
            marks_.deviceReceived(block);
          });
  connect(&machine_, &TransferMachine::stored, &marks_, &ChangeMarks::deviceStored);
  // After the blocks are in deviceBlocks_: the comparison after a flash reads them.
  connect(&machine_, &TransferMachine::identified, &firmwareBackup_,
          &FirmwareBackup::deviceAnswered);
  connect(&machine_, &TransferMachine::chainFinished, this, [this](Chain chain) {
    if (chain == Chain::Connect && !restoreCheck_.running()) firmwareBackup_.deviceDownloaded();
  });
  connect(&flasher_, &Flasher::finished, this, [this](FlashEnd end) {
    firmwareBackup_.flashEnded(end == FlashEnd::Flashed,
                               end == FlashEnd::PortGone || end == FlashEnd::WriteUnconfirmed);
  });

  connect(&machine_, &TransferMachine::logLine, this, &Core::logLine);
  connect(&flasher_, &Flasher::logLine, this, &Core::logLine);
  connect(&history_, &HistoryRecorder::logLine, this, &Core::logLine);
  connect(&history_, &HistoryRecorder::recorded, this, &Core::historyRecorded);

  connect(&machine_, &TransferMachine::chainRunningChanged, this, &Core::reportBusy);
  connect(&machine_, &TransferMachine::chainFinished, this, &Core::reportBusy);
  connect(&flasher_, &Flasher::runningChanged, this, &Core::reportBusy);
  connect(firmwareDownload_.get(), &ServerFile::runningChanged, this, &Core::reportBusy);
  connect(&fullDownload_, &FullDownload::finished, this, &Core::reportBusy);
  connect(&firmwareBackup_, &FirmwareBackup::finished, this, &Core::reportBusy);
  connect(&restoreCheck_, &RestoreCheck::stageChanged, this, &Core::reportBusy);
  connect(&linkTest_, &LinkTest::runningChanged, this, &Core::reportBusy);

  // Last: the front ends hear of each outcome after the core has taken it in.
  connect(&machine_, &TransferMachine::identified, this, &Core::deviceIdentified);
  connect(&machine_, &TransferMachine::connectTimedOut, this, &Core::connectTimedOut);
  connect(&machine_, &TransferMachine::chainFinished, this, &Core::transferFinished);
  connect(&machine_, &TransferMachine::chainAborted, this, &Core::transferAborted);
  connect(&machine_, &TransferMachine::refused, this, &Core::blockRefused);
  connect(&fullDownload_, &FullDownload::identified, this, &Core::fullDownloadIdentified);
  connect(&fullDownload_, &FullDownload::finished, this, &Core::fullDownloadFinished);
  connect(&restoreCheck_, &RestoreCheck::stageChanged, this, &Core::restoreStageChanged);
  connect(&restoreCheck_, &RestoreCheck::finished, this, &Core::restoreFinished);
  connect(&linkTest_, &LinkTest::finished, this, &Core::linkTested);
  connect(&linkTest_, &LinkTest::failed, this, &Core::linkTestFailed);
  connect(&flasher_, &Flasher::progress, this, &Core::flashProgress);
  connect(&flasher_, &Flasher::finished, this, &Core::flashFinished);
  connect(&flasher_, &Flasher::flashWritten, this, &Core::flashWritten);
  connect(&firmwareBackup_, &FirmwareBackup::finished, this, &Core::backedUpBeforeFlash);
  connect(&firmwareBackup_, &FirmwareBackup::comparedAfterFlash, this, &Core::comparedAfterFlash);
  // The update has ended before the front ends hear that its download failed.
  connect(firmwareDownload_.get(), &ServerFile::failed, &firmwareUpdate_,
          &FirmwareUpdate::downloadFailed);
  connect(firmwareDownload_.get(), &ServerFile::failed, this, &Core::firmwareDownloadFailed);
  connect(firmwareDownload_.get(), &ServerFile::fetched, &firmwareUpdate_,
          &FirmwareUpdate::downloaded);
  // After the front ends heard of the backup: the flash it lets go ahead logs its own lines.
  connect(&firmwareBackup_, &FirmwareBackup::finished, &firmwareUpdate_, &FirmwareUpdate::backedUp);
  connect(&firmwareUpdate_, &FirmwareUpdate::refused, this, &Core::firmwareRefused);
  connect(&firmwareUpdate_, &FirmwareUpdate::backingUp, this, &Core::firmwareBackingUp);
  connect(&firmwareUpdate_, &FirmwareUpdate::flashing, this, &Core::firmwareFlashing);
  connect(&firmwareUpdate_, &FirmwareUpdate::stopped, this, &Core::firmwareUpdateStopped);
  connect(updateCheck_.get(), &ServerFile::runningChanged, this, &Core::updateCheckRunningChanged);
  connect(updateCheck_.get(), &ServerFile::fetched, this, &Core::updateChecked);
  connect(updateCheck_.get(), &ServerFile::failed, this, &Core::updateCheckFailed);
}

ConfiguratorCore::~ConfiguratorCore() = default;

bool ConfiguratorCore::connectDevice(bool keepEditors) {
  // The identify burst counts from here, as it does for a full download.
  machine_.resetIdentifyCount();
  if (keepEditors) machine_.keepConfigurationOnNextDownload();
  return machine_.startConnect();
}

bool ConfiguratorCore::testLink(int count) {
  if (busy() || !link_->isOpen()) return false;
  return linkTest_.start(count);
}

bool ConfiguratorCore::updateFirmware(FirmwareUpdate::Plan plan) {
  if (busy()) return false;
  return firmwareUpdate_.start(std::move(plan));
}

void ConfiguratorCore::checkForUpdate() { updateCheck_->start(); }

bool ConfiguratorCore::busy() const {
  return machine_.chainRunning() || flasher_.running() || firmwareDownload_->running() ||
         fullDownload_.running() || restoreCheck_.running() || firmwareBackup_.running() ||
         linkTest_.running();
}

void ConfiguratorCore::setConnected(bool connected) {
  if (connected == connected_) return;
  connected_ = connected;
  Q_EMIT connectedChanged(connected);
}

std::uint8_t ConfiguratorCore::deviceChannel() const {
  return channelNibble(configuration_.record());
}

bool ConfiguratorCore::playPreset(int row) {
  if (!connected_ || busy() || row < 0 || row >= PresetTables::kRows) return false;
  const std::uint8_t channel = deviceChannel();
  link_->sendShort(link_->outputPort(), kProgramChange | channel, static_cast<std::uint8_t>(row),
                   0);
  Q_EMIT logLine(tr("Played preset %1 on Tarvik (program change %1 on MIDI channel %2)")
                     .arg(row + 1)
                     .arg(channel + 1));
  Q_EMIT presetPlayed(row);
  return true;
}

void ConfiguratorCore::open(const ConfigBytes& bytes, const std::optional<PresetNames>& names,
                            const std::optional<LoopLabels>& labels, bool kept) {
  {
    const Configuration::CallScope change(configuration_);
    configuration_.setTables(bytes.tables());
    if (bytes.settings) configuration_.applyRecord(*bytes.settings);
    if (names) configuration_.setNames(*names);
    // Labels name the pedals on the board, not the presets: contents without any leave them.
    if (labels && !labels->isEmpty()) configuration_.setLabels(*labels);
  }
  if (!kept) return;
  // What the editors kept of their own (settings, names, labels) is no more saved than before.
  ConfigBytes now = ConfigBytes::sent(configuration_);
  if (!bytes.settings) now.settings.reset();
  marks_.fileHolds(now, names, labels && !labels->isEmpty() ? labels : std::nullopt);
}

bool ConfiguratorCore::takeParts(const ConfigBytes& bytes, const PresetNames& names,
                                 const std::optional<LoopLabels>& labels,
                                 const RestoreParts& parts) {
  if (busy()) return false;
  // The editors' own form on both sides, so that a row outside the parts comes back as it was.
  const ConfigBytes merged = parts.merge(
      ConfigBytes::fromTables(configuration_.tables(), configuration_.recordBytes()), bytes);
  const Configuration::CallScope change(configuration_);
  configuration_.setTables(merged.tables());
  if (parts.has(RestoreParts::Kind::Settings) && merged.settings)
    configuration_.applyRecord(*merged.settings);
  configuration_.setNames(parts.mergeNames(configuration_.names(), names));
  if (labels && !labels->isEmpty()) configuration_.setLabels(*labels);
  return true;
}

PresetRows::Rows ConfiguratorCore::setArrangementOverwrites(const SetList& setList) const {
  return SetArrangement::overwritten({configuration_.tables(), configuration_.names()}, setList);
}

bool ConfiguratorCore::arrangeSet(const SetList& setList) {
  if (busy()) return false;
  PresetRows presets(configuration_.tables(), configuration_.names());
  SetArrangement::arrange(presets, setList);
  const Configuration::CallScope call(configuration_);
  configuration_.setTables(presets.tables());
  configuration_.setNames(presets.names());
  return true;
}

std::vector<std::string> ConfiguratorCore::inputNames() { return ports_.inputs().PortNames(); }

std::vector<std::string> ConfiguratorCore::outputNames() { return ports_.outputs().PortNames(); }

bool ConfiguratorCore::portsOpen() const { return link_->isOpen(); }

QString ConfiguratorCore::midiSystemName() const {
  return QString::fromStdString(ports_.service().systemName());
}

std::pair<QString, QString> ConfiguratorCore::linkPortNames() const {
  if (!link_->isOpen()) return {};
  return {QString::fromStdString(link_->inputName()), QString::fromStdString(link_->outputName())};
}

void ConfiguratorCore::setTrafficTap(TrafficTap* tap) { link_->setTrafficTap(tap); }

void ConfiguratorCore::setTransferCare(const TransferCare& care) {
  const TransferCare clamped{std::clamp(care.paceMs, 0, TransferCare::kMaxPaceMs),
                             std::clamp(care.retries, 0, TransferCare::kMaxRetries)};
  // A careful transfer keeps its care to its end; the new one holds after it.
  if (careAfterCareful_) {
    careAfterCareful_ = clamped;
  } else {
    applyCare(clamped);
  }
}

void ConfiguratorCore::carefulOnce() {
  if (!careAfterCareful_) careAfterCareful_ = care_;
  // Called when a failure is reported, after the transfer has ended: the next busy stretch is
  // the careful one.
  carefulStarted_ = false;
  applyCare(TransferCare::careful());
}

void ConfiguratorCore::applyCare(const TransferCare& care) {
  care_ = care;
  pacer_->setPaceMs(care.paceMs);
  machine_.setCare(care);
  flasher_.setCare(care);
  linkTest_.setPaceMs(care.paceMs);
}

void ConfiguratorCore::listen() { link_->listen(); }

void ConfiguratorCore::openPorts(int input, int output) { link_->open(input, output); }

void ConfiguratorCore::closePorts() { link_->close(); }

void ConfiguratorCore::openInput(int row) {
  link_->listen();
  ports_.inputs().Open(row);
}

void ConfiguratorCore::closeInput(int row) { ports_.inputs().Close(row); }

bool ConfiguratorCore::inputOpen() const {
  const TMidiInput& inputs = ports_.inputs();
  for (int row = 0; row < static_cast<int>(inputs.Ports().size()); ++row) {
    if (inputs.IsOpen(row)) return true;
  }
  return false;
}

void ConfiguratorCore::sendTestMessage(int port, std::uint8_t status, std::uint8_t data1,
                                       std::uint8_t data2) {
  testSender_.send(port, status, data1, data2);
}

void ConfiguratorCore::reportBusy() {
  if (careAfterCareful_) {
    if (busy()) {
      carefulStarted_ = true;
    } else if (carefulStarted_) {
      applyCare(*std::exchange(careAfterCareful_, std::nullopt));
      carefulStarted_ = false;
    }
  }
  // Also when unchanged: a step inside a busy stretch (a chain of a restore ending) is where
  // front ends look at their controls again.
  Q_EMIT busyChanged(busy());
}

}  // namespace tarvik
