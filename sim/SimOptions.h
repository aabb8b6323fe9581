// SPDX-License-Identifier: MIT
#pragma once

#include "sim/SimFaults.h"
#include "sim/TarvikContents.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

// The command line of tarvik-sim.
struct SimOptions {
  std::uint8_t versionMajor = 1;
  std::uint8_t versionMinor = 9;
  std::optional<std::uint32_t> seed;
  std::string tvkFile;
  std::optional<std::array<std::uint8_t, 20>> record;
  SimFaults faults;
  bool echo = false;
  // "auto" tries the ALSA sequencer and falls back to JACK.
  std::string api = "auto";
  bool help = false;

  // Start contents: factory or seeded, then the tables of the .tvk file, then the record.
  TarvikContents startContents() const;
};

// Throws std::invalid_argument with a message fit for the user.
SimOptions parseSimOptions(const std::vector<std::string>& args);
std::string simUsage();

}  // namespace tarvik
