// SPDX-License-Identifier: MIT
#include "cli/CliRun.h"
#include "cli/DeviceCommand.h"
#include "config/BackupContents.h"

namespace tarvik::cli {

// `library store NAME`: downloads all four blocks and stores them as the setup NAME as a backup
// keeps them (BackupContents: the editors' rules applied, every byte they change warned of). A name
// that is taken is refused before the device is reached, unless --replace: then the setup's
// contents are replaced and its preset names, note and creation time stay, since the device
// knows nothing of them.
class LibraryStoreCommand : public DeviceCommand {
  Q_OBJECT
 public:
  using DeviceCommand::DeviceCommand;

 protected:
  void readFile() override {
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
  // The library is attached already: readFile() opened it.
  void begin() override { openAndDownload(); }
  void onDownloaded() override {
    SetupStore& setups = session().library()->setups();
    // The setup holds what a backup of the device would hold, and says so where that is not what
    // the device holds: restoring it sends exactly that.
    const BackupContents backup = BackupContents::fromDevice(core().deviceBlocks());
    warn(backup.changes);
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

 private:
  bool exists_ = false;
};

std::unique_ptr<CliCommand> makeLibraryStoreCommand(MidiPorts& ports, const CliOptions& options,
                                                    Output output) {
  return std::make_unique<LibraryStoreCommand>(ports, options, output);
}

}  // namespace tarvik::cli

#include "LibraryStoreCommand.moc"
