// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <optional>

#include "cli/DeviceCommand.h"
#include "config/ConfigDiff.h"

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
  DiffCommand(MidiPorts& ports, const CliOptions& options, Output output,
              QObject* parent = nullptr);

 protected:
  void readFile() override;
  // Only a side that is the device is left; its trouble is diff's trouble, exit 2.
  void begin() override { openAndDownload(ExitCode::UsageOrFile); }
  void onDownloaded(bool ok, const QString& text) override;

 private:
  // Reads a side that is not the device into sides_[index]; false when that ended the command.
  bool readSide(int index, const QString& side);
  void compare();

  // Empty for "device" until the download is in.
  std::array<std::optional<DiffSide>, 2> sides_;
};

}  // namespace tarvik::cli
