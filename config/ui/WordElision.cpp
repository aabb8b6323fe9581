// SPDX-License-Identifier: MIT
#include "config/ui/WordElision.h"

#include <QFontMetrics>

namespace tarvik {
namespace {

const QString kEllipsis = QStringLiteral("…");

// `word` cut at its end, "…" included, to fit `width`.
QString cutWord(const QFontMetrics& metrics, const QString& word, int width) {
  const QString cut =
      metrics.elidedText(word, Qt::ElideRight, width - metrics.horizontalAdvance(kEllipsis));
  return cut.endsWith(kEllipsis) ? cut : cut + kEllipsis;
}

}  // namespace

QStringList WordElision::wrapped(const QFontMetrics& metrics, const QString& text, int width,
                                 int lines) {
  auto fits = [&](const QString& line) { return metrics.horizontalAdvance(line) <= width; };
  QStringList made;
  const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
  for (qsizetype i = 0; i < words.size(); ++i) {
    const QString& word = words[i];
    if (!made.isEmpty() && fits(made.last() + u' ' + word)) {
      made.last() += u' ' + word;
      continue;
    }
    if (made.size() == lines) {
      // Words are left over: the last line says so, after as many whole words as leave room.
      QStringList last = made.last().split(u' ');
      while (last.size() > 1 && !fits(last.join(u' ') + kEllipsis)) last.removeLast();
      const QString kept = last.join(u' ');
      if (!kept.endsWith(kEllipsis))
        made.last() = fits(kept + kEllipsis) ? kept + kEllipsis : cutWord(metrics, kept, width);
      return made;
    }
    made << (fits(word) ? word : cutWord(metrics, word, width));
  }
  return made;
}

}  // namespace tarvik
