// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace tarvik {

// The event-log line for an incoming short message, or nothing for messages the monitor does
// not show (only program and control changes are of interest to a foot-controller test).
std::optional<QString> monitorLine(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

}  // namespace tarvik
