// SPDX-License-Identifier: MIT
#pragma once

#include "cli/CliCommand.h"
#include "cli/LibraryAccess.h"

namespace tarvik::cli {

// A command on the library file alone, with no MIDI port, all done before the MIDI system is
// reached. A library that cannot be opened ends it with exit 2 and the library's one-line reason.
class LibraryFileCommand : public CliCommand {
 public:
  LibraryFileCommand(const CliOptions& options, Output output)
      : CliCommand(output), options_(options), library_(options.library) {}

 protected:
  // The command's work on the opened library.
  virtual void run(SetupLibrary& library) = 0;

  const CliOptions options_;

 private:
  void readFile() final {
    if (SetupLibrary* library = library_.get()) {
      run(*library);
    } else {
      fail(ExitCode::UsageOrFile, library_.error());
    }
  }
  void begin() final {}

  LibraryAccess library_;
};

}  // namespace tarvik::cli
