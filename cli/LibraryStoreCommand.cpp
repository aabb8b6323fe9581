// SPDX-License-Identifier: MIT
#include "cli/LibraryStoreCommand.h"

#include "config/BackupContents.h"

namespace tarvik::cli {

LibraryStoreCommand::LibraryStoreCommand(MidiPorts& ports, const CliOptions& options, Output output,
                                         QObject* parent)
    : DeviceCommand(ports, options, output, parent) {}

void LibraryStoreCommand::readFile() {
  SetupLibrary* library = libraryOrFail();
  if (library == nullptr) return;
  const Result<QList<SetupSummary>> setups = library->setups().list();
  if (refused(setups)) return;
  for (const SetupSummary& setup : *setups.value) exists_ |= setup.name == options().setupName;
  if (exists_ && !options().replace) {
    fail(ExitCode::UsageOrFile,
         tr("a setup named \"%1\" exists (--replace overwrites it)").arg(options().setupName));
  }
}

void LibraryStoreCommand::onDownloaded(bool ok, const QString& text) {
  if (!ok) {
    fail(ExitCode::DeviceFailure, text);
    return;
  }
  SetupStore& setups = session().library()->setups();
  // The setup holds what a backup of the device would hold, and says so where that is not what
  // the device holds: restoring it sends exactly that.
  const BackupContents backup = BackupContents::fromDevice(core().deviceBlocks());
  for (const BackupContents::Change& change : backup.changes) {
    err() << kProgramName << ": " << tr("warning: %1").arg(BackupContents::changeText(change))
          << Qt::endl;
  }
  const ConfigBytes bytes = ConfigBytes::fromTables(backup.tables, backup.settings);
  Outcome stored;
  if (exists_) {
    const Result<Setup> old = setups.setup(options().setupName);
    stored = old.ok()
                 ? setups.replace(options().setupName, bytes, old.value->names, old.value->labels)
                 : Outcome::failed(old.error);
  } else {
    Setup setup;
    setup.name = options().setupName;
    setup.bytes = bytes;
    stored = setups.store(setup);
  }
  if (refused(stored)) return;
  out() << tr("stored %1").arg(options().setupName) << Qt::endl;
  finish(ExitCode::Ok);
}

}  // namespace tarvik::cli
