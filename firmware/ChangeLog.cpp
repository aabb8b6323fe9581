// SPDX-License-Identifier: MIT
#include "firmware/ChangeLog.h"

#include "firmware/TextLines.h"

namespace tarvik {

ChangeLog ChangeLog::parse(const QByteArray& body) {
  const QString text = lfToCrLf(bodyText(body));
  qsizetype end = 0;
  while (end < text.size() && lineBreakLength(text, end) == 0) {
    ++end;
  }
  ChangeLog log;
  log.latestVersion = text.left(end);
  log.text = text.mid(end + lineBreakLength(text, end));
  return log;
}

bool ChangeLog::flashAllowed(const QString& latest, const QString& current) {
  // UTF-16 code units order Latin-1 text exactly as its unsigned bytes would.
  return QString::compare(latest, current, Qt::CaseSensitive) >= 0;
}

}  // namespace tarvik
