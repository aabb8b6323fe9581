// SPDX-License-Identifier: MIT
#include "cli/InfoCommand.h"

namespace tarvik::cli {

InfoCommand::InfoCommand(MidiPorts& ports, const CliOptions& options, Output output,
                         QObject* parent)
    : DeviceCommand(ports, options, output, parent), download_(core().fullDownload()) {
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
  openAndRun([this] { return download_.start(); });
}

}  // namespace tarvik::cli
