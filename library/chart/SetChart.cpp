// SPDX-License-Identifier: MIT
#include "library/chart/SetChart.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <algorithm>

#include "config/PresetTables.h"

namespace tarvik {
namespace {

// Columns as parts of the page's width: preset, song, loops, PC, note.
constexpr std::array<double, 5> kColumnShares = {0.08, 0.31, 0.33, 0.06, 0.22};
// Point sizes: at arm's length a song's name wants 14 pt and more, its preset more still.
constexpr double kTitlePoints = 20;
constexpr double kPresetPoints = 17;
constexpr double kSongPoints = 15;
constexpr double kDetailPoints = 12;
constexpr double kHeadingPoints = 10;
// Loops and notes shrink to this before they are cut short: all eight loops of a preset still
// fit, in smaller type.
constexpr double kSmallestPoints = 8;
constexpr double kMarginMm = 12;

QFont font(double points, bool bold) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(points);
  f.setBold(bold);
  return f;
}

void cell(QPainter& painter, const QRectF& rect, const QString& text, QFont f,
          Qt::Alignment alignment = Qt::AlignLeft, bool shrinks = false) {
  const double pad = rect.height() * 0.15;
  const QRectF inner = rect.adjusted(pad, 0, -pad, 0);
  while (shrinks && f.pointSizeF() > kSmallestPoints &&
         QFontMetricsF(f, painter.device()).horizontalAdvance(text) > inner.width()) {
    f.setPointSizeF(f.pointSizeF() - 0.5);
  }
  painter.setFont(f);
  const QFontMetricsF metrics(f, painter.device());
  painter.drawText(inner, static_cast<int>(alignment | Qt::AlignVCenter),
                   metrics.elidedText(text, Qt::ElideRight, inner.width()));
}

}  // namespace

QString SetChart::loopsText(const SetSong& song) {
  const QStringList labels = song.loopLabels.split(u'\n');
  QStringList on;
  for (int loop = 0; loop < PresetTables::kLoops; ++loop) {
    if (((song.preset.mask >> loop) & 1U) == 0) continue;
    const QString label = loop < labels.size() ? labels[loop].trimmed() : QString();
    on << (label.isEmpty() ? QStringLiteral("LOOP%1").arg(loop + 1) : label);
  }
  return on.join(QStringLiteral("  "));
}

QString SetChart::programChangeText(const SetSong& song) {
  const int pc = song.preset.pcRemap;
  return pc >= 0 && pc < PresetTables::kPcRemapNone ? QString::number(pc + 1) : QStringLiteral("-");
}

bool SetChart::paint(QPagedPaintDevice& device, const SetList& setList) {
  device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                   QPageLayout::Millimeter));
  QPainter painter;
  if (!painter.begin(&device)) return false;
  const double width = device.width();
  const double height = device.height();
  const double mm = device.logicalDpiY() / 25.4;
  const double titleHeight = 12 * mm;
  const double headingHeight = 6 * mm;
  const double footerHeight = 6 * mm;
  const double rowHeight = (height - titleHeight - headingHeight - footerHeight) / kSongsPerPage;
  std::array<double, 6> x{};
  for (std::size_t i = 0; i < kColumnShares.size(); ++i) x[i + 1] = x[i] + kColumnShares[i] * width;
  auto column = [&](int i, double top, double h) { return QRectF(x[i], top, x[i + 1] - x[i], h); };

  const int songs = static_cast<int>(setList.songs.size());
  const int pages = std::max(1, (songs + kSongsPerPage - 1) / kSongsPerPage);
  const QStringList headings = {tr("Preset"), tr("Song"), tr("Loops"), tr("PC"), tr("Note")};
  for (int page = 0; page < pages; ++page) {
    if (page > 0) device.newPage();
    painter.setPen(Qt::black);
    cell(painter, QRectF(0, 0, width, titleHeight), setList.name, font(kTitlePoints, true));
    for (int i = 0; i < headings.size(); ++i) {
      cell(painter, column(i, titleHeight, headingHeight), headings[i],
           font(kHeadingPoints, false));
    }
    const int first = page * kSongsPerPage;
    for (int i = first; i < std::min(songs, first + kSongsPerPage); ++i) {
      const SetSong& song = setList.songs[i];
      const double top = titleHeight + headingHeight + (i - first) * rowHeight;
      // Every other line shaded, so that the eye stays on one song across the page.
      if ((i - first) % 2 == 0)
        painter.fillRect(QRectF(0, top, width, rowHeight), QColor(225, 225, 225));
      cell(painter, column(0, top, rowHeight), QString::number(i + 1), font(kPresetPoints, true),
           Qt::AlignRight);
      cell(painter, column(1, top, rowHeight), song.name, font(kSongPoints, true));
      cell(painter, column(2, top, rowHeight), loopsText(song), font(kDetailPoints, false),
           Qt::AlignLeft, true);
      cell(painter, column(3, top, rowHeight), programChangeText(song), font(kDetailPoints, false),
           Qt::AlignRight);
      cell(painter, column(4, top, rowHeight), song.note, font(kDetailPoints, false), Qt::AlignLeft,
           true);
    }
    if (pages > 1) {
      cell(painter, QRectF(0, height - footerHeight, width, footerHeight),
           tr("page %1 of %2").arg(page + 1).arg(pages), font(kHeadingPoints, false),
           Qt::AlignRight);
    }
  }
  return painter.end();
}

std::optional<QByteArray> SetChart::pdf(const SetList& setList) {
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(300);
    writer.setTitle(setList.name);
    writer.setCreator(QStringLiteral("Tarvik Configurator"));
    if (!paint(writer, setList)) return std::nullopt;
  }
  return bytes;
}

}  // namespace tarvik
