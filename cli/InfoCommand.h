// SPDX-License-Identifier: MIT
#pragma once

#include "cli/DeviceCommand.h"

namespace tarvik::cli {

// `info`: identifies the device and prints "firmware: X.Y". Other firmware than the program's
// is printed too, then reported as a failure with the window's text.
class InfoCommand : public DeviceCommand {
  Q_OBJECT
 public:
  InfoCommand(MidiPorts& ports, const CliOptions& options, Output output,
              QObject* parent = nullptr);

 protected:
  void begin() override;

 private:
  FullDownload& download_;
};

}  // namespace tarvik::cli
