// SPDX-License-Identifier: MIT
#pragma once

#include "cli/DeviceCommand.h"
#include "config/FullBackup.h"

namespace tarvik::cli {

// `restore FILE`: reads a full backup (or a plain .tvk file), restores it through RestoreCheck
// and succeeds only when the device then holds exactly what was sent. A file without
// "[settings]" leaves the device's settings alone. A refused file sends nothing. FILE "-" is
// standard input, read to its end before the MIDI system is reached.
//
// `library restore NAME` is the same restore of a setup of the library.
class RestoreCommand : public DeviceCommand {
  Q_OBJECT
 public:
  RestoreCommand(MidiPorts& ports, const CliOptions& options, Output output);

 protected:
  void readFile() override;
  void begin() override;

 private:
  void readSetup();

  FullBackup::LoadResult file_;
};

}  // namespace tarvik::cli
