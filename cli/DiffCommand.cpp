// SPDX-License-Identifier: MIT
#include <array>
#include <optional>

#include "cli/CliRun.h"
#include "cli/DeviceCommand.h"
#include "config/ConfigDiff.h"
#include "core/CompareSource.h"

namespace tarvik::cli {

// `diff A B`: every byte in which B differs from A, one line each (ConfigDiff), exiting as
// diff(1) does: 0 equal, 1 different, 2 trouble. A side is "device" (a fresh download, as a
// backup keeps it, each value kept otherwise one warning), "library:NAME" (a setup), "snapshot:ID"
// (the device history) or a path to a .tvk or backup file, read as `restore` reads it
// (CompareSource). Everything but the device is read before the MIDI system is reached, so a bad
// side never touches the device.
class DiffCommand : public DeviceCommand {
  Q_OBJECT
 public:
  using DeviceCommand::DeviceCommand;

 protected:
  void readFile() override {
    for (int index = 0; index < 2; ++index) {
      if (!readSide(index, options().files.at(index))) return;
    }
    if (sides_[0] && sides_[1]) compare();
  }
  // Only a side that is the device is left; its trouble is diff's trouble, exit 2.
  void begin() override { openAndDownload(ExitCode::UsageOrFile); }
  void onDownloaded() override {
    const Result<DiffSide> device = CompareSource::device().read(core());
    if (refused(device)) return;
    for (std::optional<DiffSide>& side : sides_) {
      if (!side) side = *device.value;
    }
    compare();
  }

 private:
  // Reads a side that is not the device into sides_[index]; false when that ended the command.
  bool readSide(int index, const QString& side) {
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

  void compare() {
    // The device's values that the comparison takes as they would be sent, as a backup names
    // them (once, when both sides are the device).
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
    finishWithAnswer(lines.isEmpty() ? ExitCode::Ok : ExitCode::DeviceFailure);
  }

  // Empty for "device" until the download is in.
  std::array<std::optional<DiffSide>, 2> sides_;
};

std::unique_ptr<CliCommand> makeDiffCommand(MidiPorts& ports, const CliOptions& options,
                                            Output output) {
  return std::make_unique<DiffCommand>(ports, options, output);
}

}  // namespace tarvik::cli

#include "DiffCommand.moc"
