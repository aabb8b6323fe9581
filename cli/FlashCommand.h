// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <optional>

#include "cli/DeviceCommand.h"
#include "cli/FlashProgress.h"
#include "firmware/Flasher.h"
#include "firmware/UpdateServer.h"

namespace tarvik {
class ServerFile;
}

namespace tarvik::cli {

// `flash FILE` or `flash --from-server`: the image is checked as the window checks it
// (FirmwareImage) before anything goes to the device; a refused file sends nothing. The flash
// reads every page back and succeeds only with the device's confirmation of the write. After
// the bootloader was entered, every failure tells the device to leave it (the Flasher does).
// A file is read and checked before the MIDI system is reached; the update server's client is
// loaded (NetworkModule) only when the download starts.
class FlashCommand : public DeviceCommand {
  Q_OBJECT
 public:
  FlashCommand(MidiPorts& ports, const CliOptions& options, Output output,
               QObject* parent = nullptr);
  ~FlashCommand() override;
  // Before the write into flash the device is told to leave its bootloader, as after any other
  // failure, and the command ends as interrupted; while it writes, nothing may disturb it, so
  // the flash goes on and ends as it ends.
  void interrupt() override;

  Flasher& flasher() { return flasher_; }

 protected:
  void readFile() override;
  void begin() override;

 private:
  void flash(const FirmwareImage& image, const QString& origin);
  // The setup into the device history first (FirmwareBackup); refused without one.
  void backUpThenFlash(const FirmwareImage& image, const QString& origin);
  void startFlash(const FirmwareImage& image, const QString& origin);
  void onFinished(FlashEnd end, const QString& detail);

  Flasher& flasher_;
  FlashProgress progress_;
  std::optional<FirmwareImage> image_;  // the file's, once read and checked
  // With --from-server; the download goes before the server it fetches from.
  std::unique_ptr<UpdateServer> server_;
  std::unique_ptr<ServerFile> download_;
  int pagesVerified_ = 0;
  int pageCount_ = 0;
};

}  // namespace tarvik::cli
