// SPDX-License-Identifier: MIT
#include "cli/CliRun.h"
#include "cli/OntoSourceCommand.h"
#include "config/LoopSwap.h"

namespace tarvik::cli {

// `loops swap A B --onto SOURCE FILE`: SOURCE with loops A and B trading places (LoopSwap), for
// a pedal moved on the board, written as a backup file for `restore`. SOURCE's settings, names
// and labels go with it; a source without settings gets none.
class LoopSwapCommand : public OntoSourceCommand {
  Q_OBJECT
 public:
  using OntoSourceCommand::OntoSourceCommand;

 protected:
  QByteArray changed(const DiffSide& source) override {
    PresetTables tables = source.bytes.tables();
    ConfigRecord record;
    if (source.bytes.settings) record.apply(*source.bytes.settings);
    LoopLabels labels = source.labels.value_or(LoopLabels{});
    LoopSwap::apply(options().loopA, options().loopB, tables, record, labels);
    std::optional<ConfigBytes::Settings> settings;
    if (source.bytes.settings) settings = record.toBytes();
    return FullBackup::serialize(tables, settings, source.names.value_or(PresetNames()), labels);
  }
  QString doneLine() const override {
    return tr("loops %1 and %2 swapped on %3, written to %4")
        .arg(options().loopA + 1)
        .arg(options().loopB + 1)
        .arg(options().onto, UserFile::shown(options().file));
  }
};

std::unique_ptr<CliCommand> makeLoopSwapCommand(MidiPorts& ports, const CliOptions& options,
                                                Output output) {
  return std::make_unique<LoopSwapCommand>(ports, options, output);
}

}  // namespace tarvik::cli

#include "LoopSwapCommand.moc"
