// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

#include "cli/CliCommand.h"
#include "cli/DeviceSession.h"
#include "cli/FlashProgress.h"
#include "firmware/Flasher.h"
#include "firmware/UpdateServer.h"

namespace tarvik {
class FirmwareDownload;
}

namespace tarvik::cli {

// `flash FILE` or `flash --from-server`: the image is checked as the window checks it
// (FirmwareImage) before anything goes to the device; a refused file sends nothing. The flash
// reads every page back and succeeds only with the device's confirmation of the write. After
// the bootloader was entered, every failure tells the device to leave it (the Flasher does).
class FlashCommand : public CliCommand {
  Q_OBJECT
 public:
  FlashCommand(MidiPorts& ports, const CliOptions& options, Output output,
               QObject* parent = nullptr);
  ~FlashCommand() override;
  void start() override;
  // Before the write into flash the device is told to leave its bootloader, as after any other
  // failure; while it writes, nothing may disturb it, so the flash goes on to its end.
  void interrupt() override;

  Flasher& flasher() { return flasher_; }

 private:
  void flash(const FirmwareImage& image, const QString& origin);
  void onFinished(FlashEnd end, const QString& detail);

  CliOptions options_;
  DeviceSession session_;
  Flasher& flasher_;
  FlashProgress progress_;
  // With --from-server; the download goes before the server it fetches from.
  std::unique_ptr<UpdateServer> server_;
  std::unique_ptr<FirmwareDownload> download_;
  int pagesVerified_ = 0;
  int pageCount_ = 0;
};

}  // namespace tarvik::cli
