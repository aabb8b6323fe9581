// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvik {

// The port pair offered at start-up: the first input whose name, lowered in the ASCII range
// only, contains "midi" or "usb-audiogerät"; and the first output with the same name compared
// without regard to case. -1 where nothing fits. Names are UTF-8 (the German umlaut is compared
// as the text it is; a capital "Ä" is not lowered and so does not match). ALSA's own loop-back
// client "Midi Through" is never offered.
std::pair<int, int> preselectPorts(const std::vector<std::string>& inputs,
                                   const std::vector<std::string>& outputs);

// The pair connected last time, by name.
struct RememberedPorts {
  std::string input;
  std::string output;
};

// As above, but the remembered pair wins when both of its ports are listed (names compared
// exactly: they were taken from a list like these).
std::pair<int, int> preselectPorts(const std::vector<std::string>& inputs,
                                   const std::vector<std::string>& outputs,
                                   const std::optional<RememberedPorts>& remembered);

}  // namespace tarvik
