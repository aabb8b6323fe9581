// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

namespace tarvik::testing {

// The event log of one complete connect to a device with firmware 1.9, without time stamps.
inline const QStringList kCompleteConnectLog{
    QStringLiteral("Tarvik found! Firmware-Version: 1.9"),
    QStringLiteral("download presets..."),
    QStringLiteral("128 presets complete"),
    QStringLiteral("download config..."),
    QStringLiteral("20 config items found"),
    QStringLiteral("download control changes..."),
    QStringLiteral("control changes complete"),
    QStringLiteral("download programm change remap table..."),
    QStringLiteral("download programm change remap table complete"),
};

}  // namespace tarvik::testing
