// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

class QFontMetrics;

namespace tarvik {

// The user's own text (a loop's label) fitted into room made for the program's captions: cut
// after a whole word, with "…" to say so; only a word that is wider than the room alone is cut
// inside. The full text belongs in a tool tip beside it.
namespace WordElision {

// `text` on lines no wider than `width`, broken at its spaces, at most `lines` of them.
QStringList wrapped(const QFontMetrics& metrics, const QString& text, int width, int lines);
// `text` on one line no wider than `width`.
inline QString elided(const QFontMetrics& metrics, const QString& text, int width) {
  return wrapped(metrics, text, width, 1).value(0);
}

}  // namespace WordElision
}  // namespace tarvik
