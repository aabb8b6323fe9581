// SPDX-License-Identifier: MIT
#include "cli/RestoreCommand.h"

#include <QIODevice>

#include "config/UserFile.h"

namespace tarvik::cli {
namespace {

QString stageText(RestoreCheck::Stage stage) {
  switch (stage) {
    case RestoreCheck::Stage::Identifying:
      return RestoreCommand::tr("restore: identifying Tarvik");
    case RestoreCheck::Stage::SubmittingTables:
      return RestoreCommand::tr("restore: submitting presets, CC map and PC remap table");
    case RestoreCheck::Stage::SubmittingSettings:
      return RestoreCommand::tr("restore: submitting settings");
    case RestoreCheck::Stage::Verifying:
      return RestoreCommand::tr("restore: downloading everything to compare");
    case RestoreCheck::Stage::Idle:
      break;
  }
  return {};
}

}  // namespace

RestoreCommand::RestoreCommand(MidiPorts& ports, const CliOptions& options, Output output)
    : DeviceCommand(ports, options, output) {
  connect(&core(), &ConfiguratorCore::restoreStageChanged, this, [this](RestoreCheck::Stage stage) {
    if (stage != RestoreCheck::Stage::Idle) session().log(stageText(stage));
  });
  connect(&core(), &ConfiguratorCore::restoreFinished, this, [this](bool ok, const QString& text) {
    if (!ok) {
      fail(ExitCode::DeviceFailure, tr("restore failed: %1").arg(text));
      return;
    }
    out() << tr("restore verified: %1").arg(text) << Qt::endl;
    finish(ExitCode::Ok);
  });
}

void RestoreCommand::readFile() {
  if (options().command == CommandKind::Library) {
    readSetup();
    return;
  }
  // A file with gaps is refused: the device would otherwise get defaults where the file is
  // silent, and the read-back would call that verified.
  if (!options().fileIsStandardStream()) {
    file_ = FullBackup::loadWhole(options().file);
  } else if (in() == nullptr) {
    file_.message = tr("standard input cannot be read");
  } else if (const UserFile::Read input = UserFile::read(*in(), tr("standard input"));
             !input.ok()) {
    file_.message = input.error;
  } else {
    file_ = FullBackup::parseWhole(*input.bytes);
    if (!file_.ok()) file_.message = tr("standard input: %1").arg(file_.message);
  }
  if (!file_.ok()) fail(ExitCode::UsageOrFile, file_.message);
}

void RestoreCommand::readSetup() {
  SetupLibrary* library = libraryOrFail();
  if (library == nullptr) return;
  const Result<Setup> setup = library->setups().setup(options().setupName);
  if (refused(setup)) return;
  // The setup's tables as a file of them would be read, so that the restore sends and checks
  // exactly what `restore` of its exported file would.
  file_.tables = setup.value->bytes.tables();
  file_.settings = setup.value->bytes.settings;
}

void RestoreCommand::begin() {
  openAndRun([this] { return core().restore(*file_.tables, file_.settings); });
}

}  // namespace tarvik::cli
