// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace tarvik {

// How a monitor line is worded: in the user's language for the window's event log, always in
// English for tarvik-cli's monitor, whose lines scripts read.
enum class MonitorWording { Translated, English };

// The event-log line for an incoming short message, or nothing for messages the monitor does
// not show (only program and control changes are of interest to a foot-controller test).
std::optional<QString> monitorLine(std::uint8_t status, std::uint8_t data1, std::uint8_t data2,
                                   MonitorWording wording = MonitorWording::Translated);

}  // namespace tarvik
