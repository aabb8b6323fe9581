// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>

#include "config/ConfigRecord.h"
#include "config/PresetTables.h"

namespace tarvik {

// Every command starts with this byte; the command byte and a fixed-length payload follow.
inline constexpr std::uint8_t kCommandMarker = 0xFF;

// Command bytes (program to device). Each response code equals the command byte it answers.
enum class Command : std::uint8_t {
  Identify = 1,
  DownloadPresets = 2,
  DownloadConfig = 3,
  SubmitConfig = 4,
  SubmitPresets = 5,
  DownloadCcMap = 6,
  SubmitCcMap = 7,
  EnterBootloader = 8,
  UploadFlashPage = 9,
  LeaveBootloader = 16,
  WriteRamToFlash = 17,
  DownloadPcRemap = 18,
  SubmitPcRemap = 19,
};

// The sizes of the tables and the record (kTableSize, kConfigRecordSize) are the configuration
// model's; a command's payload and a reply's items follow them.
inline constexpr int kFlashPageSize = 128;  // bytes of one firmware page
inline constexpr std::uint8_t kStatusSuccess = 0xFF;

// Payload length after the command byte; for UploadFlashPage the page number plus a full page.
int payloadLength(Command command);

// The command's name as the logs give it ("SubmitPresets").
const char* commandName(Command command);

// How many frames a command takes on the wire: the marker, the command byte and its payload,
// each a frame of its own.
inline int commandFrames(Command command) { return 2 + payloadLength(command); }

// Number of items the program reads from a reply with this response code, or nothing for a
// code that is not a reply the program acts on (0, 10..16, 20..255).
std::optional<int> itemsRead(std::uint8_t responseCode);

}  // namespace tarvik
