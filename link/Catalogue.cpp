// SPDX-License-Identifier: MIT
#include "link/Catalogue.h"

namespace tarvik {

int payloadLength(Command command) {
  switch (command) {
    case Command::SubmitConfig:
      return kConfigRecordSize;
    case Command::SubmitPresets:
    case Command::SubmitCcMap:
    case Command::SubmitPcRemap:
      return kTableSize;
    case Command::UploadFlashPage:
      return 1 + kFlashPageSize;
    case Command::Identify:
    case Command::DownloadPresets:
    case Command::DownloadConfig:
    case Command::DownloadCcMap:
    case Command::EnterBootloader:
    case Command::LeaveBootloader:
    case Command::WriteRamToFlash:
    case Command::DownloadPcRemap:
      return 0;
  }
  return 0;
}

const char* commandName(Command command) {
  switch (command) {
    case Command::Identify:
      return "Identify";
    case Command::DownloadPresets:
      return "DownloadPresets";
    case Command::DownloadConfig:
      return "DownloadConfig";
    case Command::SubmitConfig:
      return "SubmitConfig";
    case Command::SubmitPresets:
      return "SubmitPresets";
    case Command::DownloadCcMap:
      return "DownloadCcMap";
    case Command::SubmitCcMap:
      return "SubmitCcMap";
    case Command::EnterBootloader:
      return "EnterBootloader";
    case Command::UploadFlashPage:
      return "UploadFlashPage";
    case Command::LeaveBootloader:
      return "LeaveBootloader";
    case Command::WriteRamToFlash:
      return "WriteRamToFlash";
    case Command::DownloadPcRemap:
      return "DownloadPcRemap";
    case Command::SubmitPcRemap:
      return "SubmitPcRemap";
  }
  return "?";
}

std::optional<int> itemsRead(std::uint8_t responseCode) {
  switch (static_cast<Command>(responseCode)) {
    case Command::Identify:
      return 2;
    case Command::DownloadConfig:
      return kConfigRecordSize;
    case Command::SubmitConfig:
    case Command::SubmitPresets:
      return 1;  // the status byte
    case Command::DownloadPresets:
    case Command::DownloadCcMap:
    case Command::DownloadPcRemap:
      return kTableSize;
    case Command::UploadFlashPage:
      return kFlashPageSize;
    case Command::SubmitCcMap:
    case Command::EnterBootloader:
    case Command::WriteRamToFlash:
    case Command::SubmitPcRemap:
      return 0;
    case Command::LeaveBootloader:  // the device's answer to it, if any, means nothing to us
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace tarvik
