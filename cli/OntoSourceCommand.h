// SPDX-License-Identifier: MIT
#pragma once

#include "cli/DeviceCommand.h"
#include "config/ConfigDiff.h"
#include "config/FullBackup.h"
#include "config/UserFile.h"
#include "core/CompareSource.h"

namespace tarvik::cli {

// A command that changes a configuration and writes it as a backup file for `restore`: its
// source is --onto SOURCE, as `diff` takes a side ("device", "library:NAME", "snapshot:ID" or a
// file). Everything but the device is read, and the file written, before the MIDI system is
// reached; the device's trouble is exit 1, as for `backup`.
class OntoSourceCommand : public DeviceCommand {
  Q_OBJECT
 public:
  using DeviceCommand::DeviceCommand;

 protected:
  // What the command needs besides the source (a set list, say); false when that ended it.
  virtual bool readOwnInput() { return true; }
  // The changed source as a backup file's text; the line that says what was done goes to
  // standard output after the file is written.
  virtual QByteArray changed(const DiffSide& source) = 0;
  virtual QString doneLine() const = 0;

  void readFile() override {
    if (!readOwnInput()) return;
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
    const QByteArray text = changed(source);
    if (options().fileIsStandardStream()) return finishWithText(text);
    QString error;
    if (!UserFile::write(options().file, text, &error)) {
      fail(ExitCode::UsageOrFile, tr("cannot write %1").arg(error));
      return;
    }
    out() << doneLine() << '\n';
    finish(ExitCode::Ok);
  }
};

}  // namespace tarvik::cli
