// SPDX-License-Identifier: MIT
#pragma once

#include "cli/DeviceCommand.h"
#include "core/CompareSource.h"

namespace tarvik::cli {

// A command that reads one configuration as `diff` takes a side ("device", "library:NAME",
// "snapshot:ID" or a file) and writes something made of it. Everything but the device is read,
// and the file written, before the MIDI system is reached; the device's trouble is exit 1, as
// for `backup`.
class SideSourceCommand : public DeviceCommand {
  Q_OBJECT
 public:
  using DeviceCommand::DeviceCommand;

 protected:
  // The side as the command line gave it.
  virtual QString side() const = 0;
  // What the command needs besides the side (a set list, say); false when that ended it.
  virtual bool readOwnInput() { return true; }
  // Writes what the command makes of the side, and finishes.
  virtual void write(const DiffSide& source) = 0;

  void readFile() override {
    if (!readOwnInput()) return;
    const Result<CompareSource> source = CompareSource::parse(side());
    if (refused(source)) return;
    if (source.value->kind() == CompareSource::Kind::Device) {
      refuseUnwritableFile();
      return;
    }
    if (source.value->needsLibrary() && libraryOrFail() == nullptr) return;
    const Result<DiffSide> read = source.value->read(core());
    if (refused(read)) return;
    write(*read.value);
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
};

}  // namespace tarvik::cli
