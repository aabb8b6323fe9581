// SPDX-License-Identifier: MIT
#pragma once

#include "cli/SideSourceCommand.h"
#include "config/ConfigDiff.h"
#include "config/FullBackup.h"
#include "config/UserFile.h"

namespace tarvik::cli {

// A command that changes a configuration and writes it as a backup file for `restore`: its
// source is --onto SOURCE.
class OntoSourceCommand : public SideSourceCommand {
  Q_OBJECT
 public:
  using SideSourceCommand::SideSourceCommand;

 protected:
  // The changed source as a backup file's text; the line that says what was done goes to
  // standard output after the file is written.
  virtual QByteArray changed(const DiffSide& source) = 0;
  virtual QString doneLine() const = 0;

 private:
  QString side() const override { return options().onto; }
  void write(const DiffSide& source) override {
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
