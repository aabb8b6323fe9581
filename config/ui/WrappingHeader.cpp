// SPDX-License-Identifier: MIT
#include "config/ui/WrappingHeader.h"

#include <QFontMetrics>
#include <QStyle>

namespace tarvik {
namespace {

constexpr int kWrap = Qt::AlignCenter | Qt::TextWordWrap;

}  // namespace

WrappingHeader::WrappingHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  setDefaultAlignment(Qt::Alignment::fromInt(kWrap));
  // An elided caption is cut to one line before it could wrap.
  setTextElideMode(Qt::ElideNone);
}

QSize WrappingHeader::sizeHint() const {
  QSize hint = QHeaderView::sizeHint();
  if (model() == nullptr) return hint;
  // A handful of captions, measured anew each time: a table asks again after every change of a
  // column's width, the font or the style.
  const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
  const int oneLine = fontMetrics().height();
  int tallest = oneLine;
  for (int section = 0; section < count(); ++section) {
    if (isSectionHidden(section)) continue;
    const QString caption = model()->headerData(section, orientation()).toString();
    const QRect room(0, 0, qMax(1, sectionSize(section) - 2 * margin), QWIDGETSIZE_MAX);
    tallest = qMax(tallest, fontMetrics().boundingRect(room, kWrap, caption).height());
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

QSize WrappingHeader::sectionSizeFromContents(int logicalIndex) const {
  QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
  if (model() == nullptr) return size;
  const QString caption = model()->headerData(logicalIndex, orientation()).toString();
  const int oneLine = fontMetrics().horizontalAdvance(caption);
  const int wrapped = widestWord(fontMetrics(), caption);
  size.setWidth(size.width() - oneLine + wrapped);
  return size;
}

}  // namespace tarvik
