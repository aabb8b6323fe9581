// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QString>

namespace tarvik {

// A time of the library as the Library window shows it: local time, to the second, in the order
// tarvik-cli prints it, so that both list the same setup alike and snapshots a few seconds apart
// stay apart.
struct LibraryTime {
  static QString text(const QDateTime& time) {
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  }
};

}  // namespace tarvik
