// SPDX-License-Identifier: MIT
#pragma once

#include "cli/DeviceCommand.h"
#include "config/ConfigBytes.h"
#include "config/FullBackup.h"

namespace tarvik::cli {

// `restore FILE`: reads a full backup (or a plain .tvk file), restores it through RestoreCheck
// and succeeds only when the device then holds exactly what was sent. A file without
// "[settings]" leaves the device's settings alone. A refused file sends nothing. FILE "-" is
// standard input, read to its end before the MIDI system is reached.
//
// `library restore NAME` is the same restore of a setup of the library.
//
// With --only PARTS, the parts of the file or setup (RestoreParts) go over what the device
// holds, and the device must then hold that merge. FILE may be a CSV of the presets too
// (PresetCsv), which can give presets only. Parts the source cannot give end the command
// before the MIDI system is reached.
class RestoreCommand : public DeviceCommand {
  Q_OBJECT
 public:
  RestoreCommand(MidiPorts& ports, const CliOptions& options, Output output);

 protected:
  void readFile() override;
  void begin() override;

 private:
  void readSetup();
  void readCsv();
  // The source of the parts, once it has been read; false when that ended the command.
  bool takeParts(const ConfigBytes& source, const PresetNames& names, bool presetsOnly);
  // How the lines of a partial restore name the source.
  QString sourceName() const;
  QString verifiedText();

  FullBackup::LoadResult file_;
  ConfigBytes source_;
  PresetNames names_;
};

}  // namespace tarvik::cli
