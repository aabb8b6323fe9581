// SPDX-License-Identifier: MIT
#include "firmware/TextLines.h"

namespace tarvik {

QString bodyText(const QByteArray& body) { return QString::fromLatin1(body); }

QString lfToCrLf(const QString& text) {
  QString result = text;
  result.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
  return result;
}

qsizetype lineBreakLength(const QString& text, qsizetype pos) {
  if (pos >= text.size()) {
    return 0;
  }
  if (text[pos] == QLatin1Char('\r')) {
    return pos + 1 < text.size() && text[pos + 1] == QLatin1Char('\n') ? 2 : 1;
  }
  return text[pos] == QLatin1Char('\n') ? 1 : 0;
}

QStringList splitLines(const QString& text) {
  QStringList lines;
  qsizetype start = 0;
  qsizetype pos = 0;
  while (pos < text.size()) {
    const qsizetype breakLength = lineBreakLength(text, pos);
    if (breakLength == 0) {
      ++pos;
      continue;
    }
    lines.append(text.mid(start, pos - start));
    pos += breakLength;
    start = pos;
  }
  if (start < text.size()) {
    lines.append(text.mid(start));
  }
  return lines;
}

}  // namespace tarvik
