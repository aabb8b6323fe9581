// SPDX-License-Identifier: MIT
#include "cli/DiffCommand.h"

#include "core/CompareSource.h"

namespace tarvik::cli {

DiffCommand::DiffCommand(MidiPorts& ports, const CliOptions& options, Output output,
                         QObject* parent)
    : DeviceCommand(ports, options, output, parent) {}

bool DiffCommand::readSide(int index, const QString& side) {
  const Result<CompareSource> source = CompareSource::parse(side);
  if (refused(source)) return false;
  if (source.value->kind() == CompareSource::Kind::Device) return true;
  // Opening the library attaches it to the core, which reads the side from it.
  if (source.value->needsLibrary() && libraryOrFail() == nullptr) return false;
  const Result<DiffSide> read = source.value->read(core());
  if (refused(read)) return false;
  sides_[index] = *read.value;
  return true;
}

void DiffCommand::readFile() {
  for (int index = 0; index < 2; ++index) {
    if (!readSide(index, options().files.at(index))) return;
  }
  if (sides_[0] && sides_[1]) compare();
}

void DiffCommand::onDownloaded(bool ok, const QString& text) {
  if (!ok) {
    fail(ExitCode::UsageOrFile, text);
    return;
  }
  const Result<DiffSide> device = CompareSource::device().read(core());
  if (refused(device)) return;
  for (std::optional<DiffSide>& side : sides_) {
    if (!side) side = *device.value;
  }
  compare();
}

void DiffCommand::compare() {
  // The device's values that the comparison takes as they would be sent, as a backup names them
  // (once, when both sides are the device).
  QStringList warned;
  for (const std::optional<DiffSide>& side : sides_) {
    for (const BackupContents::Change& change : side->keptOtherwise) {
      const QString text = BackupContents::changeText(change);
      if (warned.contains(text)) continue;
      warned << text;
      err() << kProgramName << ": " << tr("warning: %1").arg(text) << Qt::endl;
    }
  }
  const QStringList lines = ConfigDiff::lines(*sides_[0], *sides_[1]);
  for (const QString& line : lines) out() << line << '\n';
  finish(lines.isEmpty() ? ExitCode::Ok : ExitCode::DeviceFailure);
}

}  // namespace tarvik::cli
