// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

#include "cli/DeviceCommand.h"
#include "config/ConfigDiff.h"
#include "library/SetList.h"

namespace tarvik::cli {

// `setlist arrange NAME --onto SOURCE FILE`: SOURCE's configuration (as `diff` takes a side:
// "device", "library:NAME", "snapshot:ID" or a file) with the set's presets at presets 1, 2,
// 3 ... in set order (SetArrangement), written as a backup file for `restore`. The CC map, the
// settings and the presets after the set stay SOURCE's. Everything but the device is read, and
// the file written, before the MIDI system is reached; the device's trouble is exit 1, as for
// `backup`.
class SetListArrangeCommand : public DeviceCommand {
  Q_OBJECT
 public:
  SetListArrangeCommand(MidiPorts& ports, const CliOptions& options, Output output,
                        QObject* parent = nullptr);

 protected:
  void readFile() override;
  void begin() override { openAndDownload(); }
  void onDownloaded(bool ok, const QString& text) override;

 private:
  void write(const DiffSide& source);

  SetList setList_;
};

}  // namespace tarvik::cli
