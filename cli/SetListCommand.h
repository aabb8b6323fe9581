// SPDX-License-Identifier: MIT
#pragma once

#include "cli/CliCommand.h"
#include "cli/LibraryAccess.h"
#include "library/SetList.h"

namespace tarvik::cli {

// `setlist store NAME FILE`, `setlist list`, `setlist show NAME` and `setlist chart NAME FILE`:
// the library file alone, with no MIDI port, all done before the MIDI system is reached. A
// library that cannot be opened, a refused line and a set list that is not there end with exit 2
// and a one-line reason; a store takes all of its lines or none.
class SetListCommand : public CliCommand {
  Q_OBJECT
 public:
  SetListCommand(const CliOptions& options, Output output, QObject* parent = nullptr);

  // The songs of `text`, one a line: SONG, a tab, a setup of `library`, a tab, its preset
  // (1..128). Refused with "line N: why" for the first line that cannot be a song.
  static Result<QList<SetSong>> readSongs(const QByteArray& text, const SetupLibrary& library);

 protected:
  void readFile() override;
  void begin() override {}

 private:
  void store(SetupLibrary& library);
  void list(SetupLibrary& library);
  void show(SetupLibrary& library);
  void chart(SetupLibrary& library);

  CliOptions options_;
  LibraryAccess library_;
};

}  // namespace tarvik::cli
