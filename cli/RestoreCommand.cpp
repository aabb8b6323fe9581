// SPDX-License-Identifier: MIT
#include "cli/RestoreCommand.h"

#include <QIODevice>

#include "config/PresetCsv.h"
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
    if (this->options().parts) {
      // The parts on standard output for a script, then the line it waits for; what was
      // sent is for --verbose.
      session().log(text);
      for (const QString& line : this->options().parts->lines(sourceName())) out() << line << '\n';
      out() << verifiedText() << Qt::endl;
      finish(ExitCode::Ok);
      return;
    }
    const int tries = core().restoreTries();
    out() << (tries > 1 ? tr("restore verified (%1 tries): %2").arg(tries).arg(text)
                        : tr("restore verified: %1").arg(text))
          << Qt::endl;
    finish(ExitCode::Ok);
  });
}

QString RestoreCommand::verifiedText() {
  // The line a script waits for, untranslated; the tries it took when there were more than one.
  const int tries = core().restoreTries();
  return tries > 1 ? QStringLiteral("restore verified (%1 tries)").arg(tries)
                   : QStringLiteral("restore verified");
}

void RestoreCommand::readFile() {
  if (options().command == CommandKind::Library) {
    readSetup();
    return;
  }
  if (options().parts && !options().fileIsStandardStream() &&
      options().file.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
    readCsv();
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
  if (!file_.ok()) {
    fail(ExitCode::UsageOrFile, file_.message);
    return;
  }
  if (options().parts) {
    // Names that do not read as written are left out: they only label the presets.
    takeParts(ConfigBytes::fromTables(*file_.tables, file_.settings),
              file_.namesProblem.isEmpty() ? file_.names : PresetNames(), false);
  }
}

void RestoreCommand::readCsv() {
  const PresetCsv::Read csv = PresetCsv::read(options().file);
  if (!csv.ok()) {
    fail(ExitCode::UsageOrFile, csv.error);
    return;
  }
  // Only the presets' rows count; the CC map and settings are refused by takeParts.
  takeParts(csv.bytes(), csv.names(), true);
}

bool RestoreCommand::takeParts(const ConfigBytes& source, const PresetNames& names,
                               bool presetsOnly) {
  const QString refusal = options().parts->refusal(source, presetsOnly);
  if (!refusal.isEmpty()) {
    fail(ExitCode::UsageOrFile, QStringLiteral("%1: %2").arg(sourceName(), refusal));
    return false;
  }
  source_ = source;
  names_ = names;
  return true;
}

QString RestoreCommand::sourceName() const {
  if (options().command == CommandKind::Library)
    return QStringLiteral("library:%1").arg(options().setupName);
  return options().fileIsStandardStream() ? tr("standard input") : UserFile::shown(options().file);
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
  if (options().parts) takeParts(setup.value->bytes, setup.value->names, false);
}

void RestoreCommand::begin() {
  if (options().parts) {
    openAndRun([this] { return core().restoreParts(source_, names_, *options().parts); });
    return;
  }
  openAndRun([this] { return core().restore(*file_.tables, file_.settings); });
}

}  // namespace tarvik::cli
