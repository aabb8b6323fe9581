// SPDX-License-Identifier: MIT
#include "cli/CliRun.h"
#include "cli/LibraryAccess.h"
#include "cli/MonitorCommand.h"
#include "library/SetList.h"

namespace tarvik::cli {

// `setlist follow NAME`: for every program change on the input (any channel), the song the
// Tarvik now plays, as `POSITION<TAB>SONG<TAB>PRESET`; song k stands at preset k, where `setlist
// arrange` puts it, and a preset beyond the set prints `-<TAB>-<TAB>PRESET`. Like `monitor` it
// only listens, and SIGINT or SIGTERM end it with exit 0. The set list is read before the MIDI
// system is reached: an unknown one is exit 2 on any machine.
class SetListFollowCommand : public MonitorCommand {
  Q_OBJECT
 public:
  SetListFollowCommand(MidiPorts& ports, const CliOptions& options, Output output)
      : MonitorCommand(ports, options, output),
        name_(options.setListName),
        library_(options.library) {}

 protected:
  void readFile() override {
    SetupLibrary* library = library_.get();
    if (library == nullptr) {
      fail(ExitCode::UsageOrFile, library_.error());
      return;
    }
    const Result<SetList> setList = library->setLists().setList(name_);
    if (refused(setList)) return;
    songs_ = setList.value->songs;
  }
  void heard(std::uint8_t status, std::uint8_t data1, std::uint8_t) override {
    if ((status & 0xF0) != 0xC0) return;
    const int preset = data1 + 1;
    if (preset > songs_.size()) {
      printLine(QStringLiteral("-\t-\t%1").arg(preset));
      return;
    }
    printLine(QStringLiteral("%1\t%2\t%1").arg(preset).arg(songs_.at(preset - 1).name));
  }

 private:
  QString name_;
  LibraryAccess library_;
  QList<SetSong> songs_;
};

std::unique_ptr<CliCommand> makeSetListFollowCommand(MidiPorts& ports, const CliOptions& options,
                                                     Output output) {
  return std::make_unique<SetListFollowCommand>(ports, options, output);
}

}  // namespace tarvik::cli

#include "SetListFollowCommand.moc"
