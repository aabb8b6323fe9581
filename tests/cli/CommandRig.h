// SPDX-License-Identifier: MIT
#pragma once

#include <QBuffer>
#include <QSignalSpy>
#include <QString>
#include <QTextStream>
#include <QUrl>
#include <memory>

#include "cli/CliCommand.h"
#include "cli/CliRun.h"
#include "config/PresetTables.h"
#include "sim/TarvikContents.h"
#include "support/ContentsTables.h"

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

// What a command line did: its exit code (-1 when it did not end) and what it printed.
struct Ran {
  int exitCode = -1;
  QString out;
  QString err;
};

// Runs tarvik-cli's command line "--library LIBRARY WORDS..." as the program parses it, on
// `ports`, to its end; `input` is all its standard input holds.
inline Ran runCommandLine(MidiPorts& ports, const QString& library, const QStringList& words,
                          const QByteArray& input = {}) {
  const cli::CliParse parse = cli::parseCommandLine(
      QStringList{QStringLiteral("tarvik-cli"), QStringLiteral("--library"), library} + words,
      QUrl());
  if (parse.outcome != cli::CliParse::Outcome::Run) qFatal("%s", qPrintable(parse.text));
  CapturedOutput output;
  QByteArray inputBytes = input;
  QBuffer in(&inputBytes);
  in.open(QIODevice::ReadOnly);
  cli::Output streams = output.output();
  streams.in = &in;
  const std::unique_ptr<cli::CliCommand> command = cli::makeCommand(parse.options, ports, streams);
  Ran ran;
  ran.exitCode = runToEnd(*command);
  ran.out = output.outText();
  ran.err = output.errText();
  return ran;
}

}  // namespace tarvik::testing
