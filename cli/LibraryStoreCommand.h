// SPDX-License-Identifier: MIT
#pragma once

#include "cli/DeviceCommand.h"

namespace tarvik::cli {

// `library store NAME`: downloads all four blocks and stores them as the setup NAME exactly as
// the device sent them (no clamp of the editors: the setup is what the device holds). A name
// that is taken is refused before the device is reached, unless --replace: then the setup's
// contents are replaced and its preset names, note and creation time stay, since the device
// knows nothing of them.
class LibraryStoreCommand : public DeviceCommand {
  Q_OBJECT
 public:
  LibraryStoreCommand(MidiPorts& ports, const CliOptions& options, Output output,
                      QObject* parent = nullptr);

 protected:
  void readFile() override;
  // The library is attached already: readFile() opened it.
  void begin() override { openAndDownload(); }
  void onDownloaded(bool ok, const QString& text) override;

 private:
  bool exists_ = false;
};

}  // namespace tarvik::cli
