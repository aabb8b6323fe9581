// SPDX-License-Identifier: MIT
#pragma once

#include <QSignalSpy>
#include <QString>
#include <QTextStream>

#include "cli/CliCommand.h"
#include "config/PresetTables.h"
#include "sim/TarvikContents.h"

namespace tarvik::testing {

// What a command printed, through the streams the program hands it.
struct CapturedOutput {
  QString out;
  QString err;
  QTextStream outStream{&out};
  QTextStream errStream{&err};

  cli::Output output() { return {outStream, errStream, false}; }
  QString outText() {
    outStream.flush();
    return out;
  }
  QString errText() {
    errStream.flush();
    return err;
  }
};

// Starts the command and runs the event loop until it reports its end; the wait is far longer
// than any of the program's own time-outs, so a stuck command fails here rather than hangs.
inline int runToEnd(cli::CliCommand& command) {
  QSignalSpy finished(&command, &cli::CliCommand::finished);
  command.start();
  if (!command.done() && !finished.wait(60000)) return -1;
  return command.exitCode();
}

// The tables a device's contents hold, as the program reads them.
inline PresetTables tablesOf(const TarvikContents& contents) {
  PresetTables tables;
  tables.applyPresets(contents.presets);
  tables.applyCcMap(contents.ccMap);
  tables.applyPcRemap(contents.pcRemap);
  return tables;
}

}  // namespace tarvik::testing
