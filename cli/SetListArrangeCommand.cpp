// SPDX-License-Identifier: MIT
#include "cli/CliRun.h"
#include "cli/OntoSourceCommand.h"
#include "library/SetArrangement.h"
#include "library/SetList.h"

namespace tarvik::cli {

// `setlist arrange NAME --onto SOURCE FILE`: SOURCE's configuration with the set's presets at
// presets 1, 2, 3 ... in set order (SetArrangement), written as a backup file for `restore`. The
// CC map, the settings and the presets after the set stay SOURCE's.
class SetListArrangeCommand : public OntoSourceCommand {
  Q_OBJECT
 public:
  using OntoSourceCommand::OntoSourceCommand;

 protected:
  bool readOwnInput() override {
    SetupLibrary* library = libraryOrFail();
    if (library == nullptr) return false;
    const Result<SetList> setList = library->setLists().setList(options().setListName);
    if (refused(setList)) return false;
    setList_ = *setList.value;
    return true;
  }
  QByteArray changed(const DiffSide& source) override {
    PresetRows presets(source.bytes.tables(), source.names.value_or(PresetNames()));
    SetArrangement::arrange(presets, setList_);
    // The labels name the pedals on SOURCE's board, which the arranged file is restored onto.
    return FullBackup::serialize(presets.tables(), source.bytes.settings, presets.names(),
                                 source.labels.value_or(LoopLabels()));
  }
  QString doneLine() const override {
    return tr("set \"%1\" arranged onto %2, written to %3")
        .arg(setList_.name, options().onto, UserFile::shown(options().file));
  }

 private:
  SetList setList_;
};

std::unique_ptr<CliCommand> makeSetListArrangeCommand(MidiPorts& ports, const CliOptions& options,
                                                      Output output) {
  return std::make_unique<SetListArrangeCommand>(ports, options, output);
}

}  // namespace tarvik::cli

#include "SetListArrangeCommand.moc"
