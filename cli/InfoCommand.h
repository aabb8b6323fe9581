// SPDX-License-Identifier: MIT
#pragma once

#include "cli/CliCommand.h"
#include "cli/DeviceSession.h"

namespace tarvik::cli {

// `info`: identifies the device and prints "firmware: X.Y". Other firmware than the program's
// is printed too, then reported as a failure with the window's text.
class InfoCommand : public CliCommand {
  Q_OBJECT
 public:
  InfoCommand(MidiPorts& ports, const CliOptions& options, Output output,
              QObject* parent = nullptr);

 protected:
  void begin() override;

 private:
  CliOptions options_;
  DeviceSession session_;
  FullDownload& download_;
};

}  // namespace tarvik::cli
