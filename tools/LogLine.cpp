// SPDX-License-Identifier: MIT
#include "tools/LogLine.h"

namespace tarvik {

QString logLine(const QTime& time, const QString& message) {
  return QLatin1Char('[') + time.toString(QStringLiteral("HH:mm:ss.zzz")) + QStringLiteral("] ") +
         message;
}

}  // namespace tarvik
