// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QTime>
#include <cstddef>
#include <cstdint>
#include <span>

#include "link/TrafficTap.h"

namespace tarvik {

// Up to this many bytes a message is shown whole; a longer one shows its first
// kTrafficHeadBytes and last kTrafficTailBytes around an ellipsis, which keeps the line inside
// the traffic window while the start (code) and the end (F7) stay in sight.
inline constexpr std::size_t kTrafficWholeBytes = 24;
inline constexpr std::size_t kTrafficHeadBytes = 16;
inline constexpr std::size_t kTrafficTailBytes = 4;

// Upper-case hex pairs with one space between: "F0 0F 0F F7".
QString hexBytes(std::span<const std::uint8_t> bytes);
// hexBytes, or for a message longer than kTrafficWholeBytes its head, " … " and its tail.
QString shortenedHexBytes(std::span<const std::uint8_t> bytes);
// "[HH:NN:SS.ZZZ] out    4  F0 0F 0F F7": the event log's time stamp, the direction, the
// length in bytes and the bytes as given (whole or shortened).
QString trafficLine(const QTime& time, TrafficDirection direction, std::size_t length,
                    const QString& hex);

}  // namespace tarvik
