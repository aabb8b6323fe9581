// SPDX-License-Identifier: MIT
#include "cli/CliRun.h"
#include "cli/DeviceCommand.h"
#include "config/ConfigDiff.h"
#include "config/FullBackup.h"
#include "config/UserFile.h"
#include "core/CompareSource.h"
#include "library/SetArrangement.h"
#include "library/SetList.h"

namespace tarvik::cli {

// `setlist arrange NAME --onto SOURCE FILE`: SOURCE's configuration (as `diff` takes a side:
// "device", "library:NAME", "snapshot:ID" or a file) with the set's presets at presets 1, 2,
// 3 ... in set order (SetArrangement), written as a backup file for `restore`. The CC map, the
// settings, the loops' labels and the presets after the set stay SOURCE's. Everything but the
// device is read, and the file written, before the MIDI system is reached; the device's trouble is
// exit 1, as for `backup`.
class SetListArrangeCommand : public DeviceCommand {
  Q_OBJECT
 public:
  using DeviceCommand::DeviceCommand;

 protected:
  void readFile() override {
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
  void begin() override { openAndDownload(); }
  void onDownloaded() override {
    const Result<DiffSide> device = CompareSource::device().read(core());
    if (!device.ok()) {
      fail(ExitCode::DeviceFailure, device.error);
      return;
    }
    warn(device.value->keptOtherwise);
    write(*device.value);
  }

 private:
  void write(const DiffSide& source) {
    PresetRows presets(source.bytes.tables(), source.names.value_or(PresetNames()));
    SetArrangement::arrange(presets, setList_);
    // The labels name the pedals on SOURCE's board, which the arranged file is restored onto.
    const QByteArray text =
        FullBackup::serialize(presets.tables(), source.bytes.settings, presets.names(),
                              source.labels.value_or(LoopLabels()));
    if (options().fileIsStandardStream()) return finishWithText(text);
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

  SetList setList_;
};

std::unique_ptr<CliCommand> makeSetListArrangeCommand(MidiPorts& ports, const CliOptions& options,
                                                      Output output) {
  return std::make_unique<SetListArrangeCommand>(ports, options, output);
}

}  // namespace tarvik::cli

#include "SetListArrangeCommand.moc"
