// SPDX-License-Identifier: MIT
#include "cli/InfoCommand.h"

namespace tarvik::cli {

InfoCommand::InfoCommand(MidiPorts& ports, const CliOptions& options, Output output,
                         QObject* parent)
    : CliCommand(output, parent),
      options_(options),
      session_(ports, options.verbose ? &output.err : nullptr, options.library),
      download_(session_.core().fullDownload()) {
  connect(&download_, &FullDownload::identified, this,
          [this](const QString& version, bool compatible) {
            out() << "firmware: " << version << Qt::endl;
            // The download that follows is of no interest here; the answer is complete.
            if (compatible) finish(ExitCode::Ok);
          });
  connect(&download_, &FullDownload::finished, this, [this](bool ok, const QString& text) {
    if (!ok) fail(ExitCode::DeviceFailure, text);
  });
}

void InfoCommand::begin() {
  if (const QString problem = session_.open(options_.in, options_.out); !problem.isEmpty()) {
    fail(ExitCode::DeviceFailure, problem);
    return;
  }
  session_.keepHistory(err());
  if (!download_.start()) fail(ExitCode::DeviceFailure, tr("the link is busy"));
}

}  // namespace tarvik::cli
