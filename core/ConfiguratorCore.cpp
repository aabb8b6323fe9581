// SPDX-License-Identifier: MIT
#include "core/ConfiguratorCore.h"

#include "firmware/LateUpdateServer.h"
#include "midi/MidiPorts.h"

namespace tarvik {

ConfiguratorCore::ConfiguratorCore(MidiPorts& ports, std::unique_ptr<UpdateServer> updateServer,
                                   QObject* parent)
    : QObject(parent),
      ports_(ports),
      marks_(configuration_),
      link_(ports),
      machine_(link_, configuration_),
      flasher_(link_, machine_),
      updateServer_(updateServer ? std::move(updateServer) : std::make_unique<LateUpdateServer>()),
      firmwareDownload_(*updateServer_, QStringLiteral("firmware.txt")),
      updateCheck_(*updateServer_, QStringLiteral("changelog.txt")),
      fullDownload_(machine_),
      restoreCheck_(link_, machine_, configuration_),
      portWatcher_(ports),
      history_(machine_, restoreCheck_) {
  connect(&link_, &DeviceLink::sysExReceived, &machine_, &TransferMachine::receiveFrame);
  connect(&link_, &DeviceLink::sysExReceived, &flasher_, &Flasher::receiveFrame);
  connect(&link_, &DeviceLink::portLost, this, [this](const QString& name) {
    flasher_.abortForLostPort(name);
    machine_.abortForLostPort(name);
  });
  connect(&portWatcher_, &PortWatcher::portsChanged, this, [this](const MidiPorts::Change& change) {
    Q_EMIT portsChanged(change);
    link_.followRescan(change.inputs.newIndex, change.outputs.newIndex);
  });

  connect(&machine_, &TransferMachine::received, this,
          [this](Block block, const QByteArray& bytes) {
            deviceBlocks_.set(block, bytes);
            marks_.deviceReceived(block);
          });
  connect(&machine_, &TransferMachine::stored, &marks_, &ChangeMarks::deviceStored);

  connect(&machine_, &TransferMachine::logLine, this, &ConfiguratorCore::logLine);
  connect(&flasher_, &Flasher::logLine, this, &ConfiguratorCore::logLine);
  connect(&history_, &HistoryRecorder::logLine, this, &ConfiguratorCore::logLine);
  connect(&history_, &HistoryRecorder::recorded, this, &ConfiguratorCore::historyRecorded);

  connect(&machine_, &TransferMachine::chainRunningChanged, this, &ConfiguratorCore::reportBusy);
  connect(&machine_, &TransferMachine::chainFinished, this, &ConfiguratorCore::reportBusy);
  connect(&flasher_, &Flasher::runningChanged, this, &ConfiguratorCore::reportBusy);
  connect(&firmwareDownload_, &ServerFile::runningChanged, this, &ConfiguratorCore::reportBusy);
  connect(&fullDownload_, &FullDownload::finished, this, &ConfiguratorCore::reportBusy);
  connect(&restoreCheck_, &RestoreCheck::stageChanged, this, &ConfiguratorCore::reportBusy);
}

ConfiguratorCore::~ConfiguratorCore() = default;

bool ConfiguratorCore::busy() const {
  return machine_.chainRunning() || flasher_.running() || firmwareDownload_.running() ||
         fullDownload_.running() || restoreCheck_.running();
}

void ConfiguratorCore::reportBusy() {
  // Also when unchanged: a step inside a busy stretch (a chain of a restore ending) is where
  // front ends look at their controls again.
  Q_EMIT busyChanged(busy());
}

}  // namespace tarvik
