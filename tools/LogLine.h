// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QTime>

namespace tarvik {

// "[HH:NN:SS.ZZZ] message" in local time: the event log's line, which the command line's
// monitor prints too.
QString logLine(const QTime& time, const QString& message);

}  // namespace tarvik
