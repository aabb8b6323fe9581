// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

#include "cli/CliCommand.h"
#include "cli/DeviceSession.h"
#include "config/BackupContents.h"

namespace tarvik::cli {

// A command that talks to the device: its options, and the session with the core over the port
// lists, --verbose's log and the library named by --library.
class DeviceCommand : public CliCommand {
  Q_OBJECT
 public:
  DeviceCommand(MidiPorts& ports, const CliOptions& options, Output output);
  ConfiguratorCore& core() { return session_.core(); }

 protected:
  const CliOptions& options() const { return options_; }
  DeviceSession& session() { return session_; }

  // Opens the pair that --in and --out choose, keeps the device history (or warns why not) and
  // starts the work; false from `work` means something else owns the link. A pair that cannot
  // be opened or a busy link ends the command with `failure`.
  void openAndRun(const std::function<bool()>& work, int failure = ExitCode::DeviceFailure);
  // Why the work could not start: the link is busy, with the replies of another program
  // that talks to the device when they are what keeps it so.
  QString busyText();
  // openAndRun() for a command whose work is the full download. A download that fails ends the
  // command with `failure` and its reason; one that finishes comes to onDownloaded().
  void openAndDownload(int failure = ExitCode::DeviceFailure);
  virtual void onDownloaded() {}
  // Ends the command when FILE cannot be written, so that it fails now rather than after the
  // device has been read. Standard output can always be written.
  void refuseUnwritableFile();
  // The library, attached to the core; nullptr once its absence ended the command (exit 2).
  SetupLibrary* libraryOrFail();
  // A warning line for each value the device sent that the editors' rules keep otherwise.
  void warn(const std::vector<BackupContents::Change>& changes);

 private:
  CliOptions options_;
  DeviceSession session_;
};

}  // namespace tarvik::cli
