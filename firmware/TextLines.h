// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tarvik {

// Bodies from the update server are bytes; one byte is one character, no charset conversion.
QString bodyText(const QByteArray& body);

// Every LF becomes CR LF, including one that already followed a CR (which then splits as a
// lone CR and a CR LF).
QString lfToCrLf(const QString& text);

// Lines end at CR LF, a lone CR or a lone LF; a break at the very end adds no empty line.
QStringList splitLines(const QString& text);

// Length of the line break that starts at `pos` (2 for CR LF, 1 for CR or LF, 0 for none).
qsizetype lineBreakLength(const QString& text, qsizetype pos);

}  // namespace tarvik
