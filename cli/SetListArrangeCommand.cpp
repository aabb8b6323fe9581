// SPDX-License-Identifier: MIT
#include "cli/SetListArrangeCommand.h"

#include "config/FullBackup.h"
#include "config/UserFile.h"
#include "core/CompareSource.h"
#include "library/SetArrangement.h"

namespace tarvik::cli {

SetListArrangeCommand::SetListArrangeCommand(MidiPorts& ports, const CliOptions& options,
                                             Output output, QObject* parent)
    : DeviceCommand(ports, options, output, parent) {}

void SetListArrangeCommand::readFile() {
  SetupLibrary* library = libraryOrFail();
  if (library == nullptr) return;
  const Result<SetList> setList = library->setLists().setList(options().setListName);
  if (refused(setList)) return;
  setList_ = *setList.value;
  const Result<CompareSource> source = CompareSource::parse(options().onto);
  if (refused(source)) return;
  if (source.value->kind() != CompareSource::Kind::Device) {
    const Result<DiffSide> read = source.value->read(core());
    if (refused(read)) return;
    write(*read.value);
    return;
  }
  refuseUnwritableFile();
}

void SetListArrangeCommand::onDownloaded(bool ok, const QString& text) {
  if (!ok) {
    fail(ExitCode::DeviceFailure, text);
    return;
  }
  const Result<DiffSide> device = CompareSource::device().read(core());
  if (!device.ok()) {
    fail(ExitCode::DeviceFailure, device.error);
    return;
  }
  for (const BackupContents::Change& change : device.value->keptOtherwise) {
    err() << kProgramName << ": " << tr("warning: %1").arg(BackupContents::changeText(change))
          << Qt::endl;
  }
  write(*device.value);
}

void SetListArrangeCommand::write(const DiffSide& source) {
  PresetRows presets(source.bytes.tables(), source.names.value_or(PresetNames()));
  SetArrangement::arrange(presets, setList_);
  const QByteArray text =
      FullBackup::serialize(presets.tables(), source.bytes.settings, presets.names());
  if (options().fileIsStandardStream()) {
    // The names are UTF-8; the rest is ASCII.
    out() << QString::fromUtf8(text);
    finish(ExitCode::Ok);
    return;
  }
  QString error;
  if (!UserFile::write(options().file, text, &error)) {
    fail(ExitCode::UsageOrFile, tr("cannot write %1").arg(error));
    return;
  }
  out() << tr("set \"%1\" arranged onto %2, written to %3")
               .arg(setList_.name, options().onto, UserFile::shown(options().file))
        << '\n';
  finish(ExitCode::Ok);
}

}  // namespace tarvik::cli
