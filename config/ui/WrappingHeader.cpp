// SPDX-License-Identifier: MIT
#include "config/ui/WrappingHeader.h"

#include <QFontMetrics>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionHeader>

#include "config/ui/WordElision.h"

namespace tarvik {
namespace {

constexpr int kWrap = Qt::AlignCenter | Qt::TextWordWrap;

}  // namespace

WrappingHeader::WrappingHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  setDefaultAlignment(Qt::Alignment::fromInt(kWrap));
  // An elided caption is cut to one line before it could wrap; fitted() elides by words.
  setTextElideMode(Qt::ElideNone);
}

QString WrappingHeader::fitted(const QFontMetrics& metrics, const QString& caption, int width) {
  QStringList parts = caption.split(u'\n');
  // The title as QHeaderView would wrap it: at its spaces, its words whole (the column is made
  // wide enough for the widest).
  QStringList lines;
  for (const QString& word : parts.takeFirst().split(u' ', Qt::SkipEmptyParts)) {
    if (!lines.isEmpty() && metrics.horizontalAdvance(lines.last() + u' ' + word) <= width)
      lines.last() += u' ' + word;
    else
      lines << word;
  }
  for (const QString& note : parts) {
    lines << WordElision::wrapped(metrics, note, width, kNoteLines);
  }
  return lines.join(u'\n');
}

int WrappingHeader::room(int logicalIndex) const {
  const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
  return qMax(1, sectionSize(logicalIndex) - 2 * margin);
}

QSize WrappingHeader::sizeHint() const {
  QSize hint = QHeaderView::sizeHint();
  if (model() == nullptr) return hint;
  // A handful of captions, measured anew each time: a table asks again after every change of a
  // column's width, the font or the style.
  const int oneLine = fontMetrics().height();
  int tallest = oneLine;
  for (int section = 0; section < count(); ++section) {
    if (isSectionHidden(section)) continue;
    const QString caption = fitted(
        boldMetrics(), model()->headerData(section, orientation()).toString(), room(section));
    const QRect lines(0, 0, room(section), QWIDGETSIZE_MAX);
    tallest = qMax(tallest, fontMetrics().boundingRect(lines, kWrap, caption).height());
  }
  hint.setHeight(hint.height() + tallest - oneLine);
  return hint;
}

int WrappingHeader::widestWord(const QFontMetrics& metrics, const QString& caption) {
  int widest = 0;
  QString spaced = caption;
  spaced.replace(QLatin1Char('\n'), QLatin1Char(' '));
  for (const QString& word : spaced.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    widest = qMax(widest, metrics.horizontalAdvance(word));
  }
  return widest;
}

QFontMetrics WrappingHeader::boldMetrics() const {
  QFont bold = font();
  bold.setBold(true);
  return QFontMetrics(bold);
}

QSize WrappingHeader::sectionSizeFromContents(int logicalIndex) const {
  QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
  if (model() == nullptr) return size;
  const QString caption = model()->headerData(logicalIndex, orientation()).toString();
  // What the style measured, in the bold a selected column's heading takes: its widest line.
  const QFontMetrics bold = boldMetrics();
  const int oneLine = bold.size(0, caption).width();
  // Only the title's words: the lines under it are fitted to the column.
  const int wrapped = widestWord(bold, caption.section(u'\n', 0, 0));
  size.setWidth(size.width() - oneLine + wrapped);
  return size;
}

void WrappingHeader::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const {
  QHeaderView::initStyleOptionForIndex(option, logicalIndex);
  // Fitted in bold, so that the lines fit also while the column is selected.
  option->text = fitted(boldMetrics(), option->text, room(logicalIndex));
}

}  // namespace tarvik
