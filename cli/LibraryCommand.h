// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>

#include "cli/CliCommand.h"
#include "cli/LibraryAccess.h"

namespace tarvik::cli {

// `library list`, `library import FILE...`, `library export NAME FILE` and `library history`:
// the library file alone, with no MIDI port, all done before the MIDI system is reached. A
// library that cannot be opened, a refused import and a setup that is not there end with
// exit 2 and the library's one-line reason; an import stores all of its files or none.
class LibraryCommand : public CliCommand {
  Q_OBJECT
 public:
  LibraryCommand(const CliOptions& options, Output output, QObject* parent = nullptr);

  // "YYYY-MM-DDTHH:MM:SS" in local time, as list and history print a time.
  static QString timeText(const QDateTime& time);

 protected:
  void readFile() override;
  void begin() override {}

 private:
  void list(SetupLibrary& library);
  void import(SetupLibrary& library);
  void exportSetup(SetupLibrary& library);
  void history(SetupLibrary& library);

  CliOptions options_;
  LibraryAccess library_;
};

}  // namespace tarvik::cli
