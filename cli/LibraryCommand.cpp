// SPDX-License-Identifier: MIT
#include <QDateTime>
#include <memory>

#include "cli/CliRun.h"
#include "cli/LibraryFileCommand.h"
#include "config/UserFile.h"

namespace tarvik::cli {

// `library list`, `library import FILE...`, `library export NAME FILE` and `library history`:
// the library file alone, with no MIDI port, all done before the MIDI system is reached. A
// library that cannot be opened, a refused import and a setup that is not there end with
// exit 2 and the library's one-line reason; an import stores all of its files or none.
class LibraryCommand : public LibraryFileCommand {
  Q_OBJECT
 public:
  LibraryCommand(const CliOptions& options, Output output) : LibraryFileCommand(options, output) {}

 protected:
  void run(SetupLibrary& library) override {
    switch (options_.libraryAction) {
      case LibraryAction::List:
        return list(library);
      case LibraryAction::Import:
        return import(library);
      case LibraryAction::Export:
        return exportSetup(library);
      case LibraryAction::History:
        return history(library);
      case LibraryAction::Store:
      case LibraryAction::Restore:
        break;
    }
    fail(ExitCode::UsageOrFile, tr("library: that command needs the device"));
  }

 private:
  // "YYYY-MM-DDTHH:MM:SS" in local time, as list and history print a time.
  static QString timeText(const QDateTime& time) {
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
  }

  void list(SetupLibrary& library) {
    const Result<QList<SetupSummary>> setups = library.setups().list();
    if (refused(setups)) return;
    for (const SetupSummary& setup : *setups.value)
      out() << setup.name << '\t' << timeText(setup.changed) << '\n';
    finish(ExitCode::Ok);
  }

  void import(SetupLibrary& library) {
    const Result<QStringList> stored = library.importFiles(
        options_.files, options_.replace ? IfExists::Replace : IfExists::Refuse);
    if (refused(stored)) return;
    for (const QString& name : *stored.value) out() << tr("imported %1").arg(name) << '\n';
    finish(ExitCode::Ok);
  }

  void exportSetup(SetupLibrary& library) {
    const Result<QByteArray> text = library.exportSetup(options_.setupName);
    if (refused(text)) return;
    if (options_.fileIsStandardStream()) return finishWithText(*text.value);
    // Replaced whole or not at all, as a backup is.
    if (!UserFile::write(options_.file, *text.value)) {
      fail(ExitCode::UsageOrFile, tr("cannot write %1").arg(UserFile::shown(options_.file)));
      return;
    }
    finish(ExitCode::Ok);
  }

  void history(SetupLibrary& library) {
    const Result<QList<SnapshotSummary>> snapshots = library.history().list();
    if (refused(snapshots)) return;
    for (const SnapshotSummary& snapshot : *snapshots.value)
      out() << snapshot.id << '\t' << timeText(snapshot.time) << '\t' << snapshot.event << '\n';
    finish(ExitCode::Ok);
  }
};

std::unique_ptr<CliCommand> makeLibraryCommand(MidiPorts&, const CliOptions& options,
                                               Output output) {
  return std::make_unique<LibraryCommand>(options, output);
}

}  // namespace tarvik::cli

#include "LibraryCommand.moc"
