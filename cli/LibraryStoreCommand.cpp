// SPDX-License-Identifier: MIT
#include "cli/LibraryStoreCommand.h"

#include "config/BackupContents.h"

namespace tarvik::cli {

LibraryStoreCommand::LibraryStoreCommand(MidiPorts& ports, const CliOptions& options, Output output,
                                         QObject* parent)
    : CliCommand(output, parent),
      options_(options),
      session_(ports, options.verbose ? &output.err : nullptr, options.library),
      download_(session_.core().fullDownload()) {
  connect(&download_, &FullDownload::finished, this, &LibraryStoreCommand::onDownloaded);
}

void LibraryStoreCommand::readFile() {
  SetupLibrary* library = session_.library();
  if (library == nullptr) {
    fail(ExitCode::UsageOrFile, session_.libraryError());
    return;
  }
  const Result<QList<SetupSummary>> setups = library->setups().list();
  if (!setups.ok()) {
    fail(ExitCode::UsageOrFile, setups.error);
    return;
  }
  for (const SetupSummary& setup : *setups.value) exists_ |= setup.name == options_.setupName;
  if (exists_ && !options_.replace) {
    fail(ExitCode::UsageOrFile,
         tr("a setup named \"%1\" exists (--replace overwrites it)").arg(options_.setupName));
  }
}

void LibraryStoreCommand::begin() {
  if (const QString problem = session_.open(options_.in, options_.out); !problem.isEmpty()) {
    fail(ExitCode::DeviceFailure, problem);
    return;
  }
  if (!download_.start()) fail(ExitCode::DeviceFailure, tr("the link is busy"));
}

void LibraryStoreCommand::onDownloaded(bool ok, const QString& text) {
  if (!ok) {
    fail(ExitCode::DeviceFailure, text);
    return;
  }
  SetupStore& setups = session_.library()->setups();
  // The setup holds what a backup of the device would hold, and says so where that is not what
  // the device holds: restoring it sends exactly that.
  const BackupContents backup = BackupContents::fromDevice(session_.core().deviceBlocks());
  for (const BackupContents::Change& change : backup.changes) {
    err() << kProgramName << ": " << tr("warning: %1").arg(BackupContents::changeText(change))
          << Qt::endl;
  }
  const ConfigBytes bytes = ConfigBytes::fromTables(backup.tables, backup.settings);
  Outcome stored;
  if (exists_) {
    const Result<Setup> old = setups.setup(options_.setupName);
    stored = old.ok()
                 ? setups.replace(options_.setupName, bytes, old.value->names, old.value->labels)
                 : Outcome::failed(old.error);
  } else {
    Setup setup;
    setup.name = options_.setupName;
    setup.bytes = bytes;
    stored = setups.store(setup);
  }
  if (!stored.ok()) {
    fail(ExitCode::UsageOrFile, stored.error);
    return;
  }
  out() << tr("stored %1").arg(options_.setupName) << Qt::endl;
  finish(ExitCode::Ok);
}

}  // namespace tarvik::cli
