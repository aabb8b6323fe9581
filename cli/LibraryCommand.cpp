// SPDX-License-Identifier: MIT
#include "cli/LibraryCommand.h"

#include <QDateTime>

#include "config/UserFile.h"

namespace tarvik::cli {

LibraryCommand::LibraryCommand(const CliOptions& options, Output output, QObject* parent)
    : CliCommand(output, parent), options_(options), library_(options.library) {}

QString LibraryCommand::timeText(const QDateTime& time) {
  return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
}

void LibraryCommand::readFile() {
  SetupLibrary* library = library_.get();
  if (library == nullptr) {
    fail(ExitCode::UsageOrFile, library_.error());
    return;
  }
  switch (options_.libraryAction) {
    case LibraryAction::List:
      list(*library);
      return;
    case LibraryAction::Import:
      import(*library);
      return;
    case LibraryAction::Export:
      exportSetup(*library);
      return;
    case LibraryAction::History:
      history(*library);
      return;
    case LibraryAction::Store:
    case LibraryAction::Restore:
      break;
  }
  fail(ExitCode::UsageOrFile, tr("library: that command needs the device"));
}

void LibraryCommand::list(SetupLibrary& library) {
  const Result<QList<SetupSummary>> setups = library.setups().list();
  if (refused(setups)) return;
  for (const SetupSummary& setup : *setups.value)
    out() << setup.name << '\t' << timeText(setup.changed) << '\n';
  finish(ExitCode::Ok);
}

void LibraryCommand::import(SetupLibrary& library) {
  const Result<QStringList> stored =
      library.importFiles(options_.files, options_.replace ? IfExists::Replace : IfExists::Refuse);
  if (refused(stored)) return;
  for (const QString& name : *stored.value) out() << tr("imported %1").arg(name) << '\n';
  finish(ExitCode::Ok);
}

void LibraryCommand::exportSetup(SetupLibrary& library) {
  const Result<QByteArray> text = library.exportSetup(options_.setupName);
  if (refused(text)) return;
  if (options_.fileIsStandardStream()) {
    // The names are UTF-8; the rest is ASCII.
    out() << QString::fromUtf8(*text.value);
    finish(ExitCode::Ok);
    return;
  }
  // Replaced whole or not at all, as a backup is.
  if (!UserFile::write(options_.file, *text.value)) {
    fail(ExitCode::UsageOrFile, tr("cannot write %1").arg(UserFile::shown(options_.file)));
    return;
  }
  finish(ExitCode::Ok);
}

void LibraryCommand::history(SetupLibrary& library) {
  const Result<QList<SnapshotSummary>> snapshots = library.history().list();
  if (refused(snapshots)) return;
  for (const SnapshotSummary& snapshot : *snapshots.value)
    out() << snapshot.id << '\t' << timeText(snapshot.time) << '\t' << snapshot.event << '\n';
  finish(ExitCode::Ok);
}

}  // namespace tarvik::cli
