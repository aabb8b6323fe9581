// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

namespace tarvik {

// "changelog.txt" of the update directory: its first line is the latest firmware version, the
// rest is shown to the user.
struct ChangeLog {
  QString latestVersion;
  QString text;  // CR LF line ends, without the version line

  static ChangeLog parse(const QByteArray& body);
  // Text order by character code, a prefix first (so "1.10" is before "1.9"); flashing is
  // offered when the server's version is not before the device's.
  static bool flashAllowed(const QString& latest, const QString& current);
};

}  // namespace tarvik
