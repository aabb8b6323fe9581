// SPDX-License-Identifier: MIT
#include "config/UserTexts.h"

#include <QList>

namespace tarvik {

namespace {

// The joiners are format characters that carry meaning: a joined emoji (a singer, a family)
// falls apart without U+200D, and Persian words need U+200C. Neither turns or breaks a line.
bool joiner(char32_t c) { return c == 0x200C || c == 0x200D; }

}  // namespace

bool UserText::refused(char32_t c) {
  if (joiner(c)) return false;
  switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
      return true;
    default:
      return false;
  }
}

QString UserText::problem(const QString& text, int maxLength) {
  const QList<uint> characters = text.toUcs4();
  if (characters.size() > maxLength) return tr("is longer than %1 characters").arg(maxLength);
  if (std::any_of(characters.begin(), characters.end(), [](uint c) { return refused(c); })) {
    return tr("holds a control or format character or a line break");
  }
  if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace())) {
    return tr("starts or ends with a space");
  }
  return {};
}

QString UserText::cleaned(const QString& stored) {
  QString text;
  bool separated = false;  // a separator since the last character kept
  for (const char32_t c : stored.toUcs4()) {
    switch (joiner(c) ? QChar::Other_NotAssigned : QChar::category(c)) {
      case QChar::Other_Format:
        break;
      case QChar::Separator_Line:
      case QChar::Separator_Paragraph:
        separated = true;
        break;
      default:
        // Between two parts a separator is a space; at either end it was never seen as one.
        if (separated && !text.isEmpty()) text += u' ';
        separated = false;
        text += QString::fromUcs4(&c, 1);
    }
  }
  return text;
}

}  // namespace tarvik
