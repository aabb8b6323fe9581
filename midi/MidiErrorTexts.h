// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tarvik {

// The texts both services give for the result codes they share. MidiResult::Error has none here:
// its text is whatever the driver said last, which only the service knows.
std::optional<std::string> standardMidiErrorText(std::uint32_t code);

}  // namespace tarvik
