// SPDX-License-Identifier: MIT
#include "library/chart/SetChart.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <array>

#include "config/PresetTables.h"
#include "library/chart/PdfBytes.h"

namespace tarvik {
namespace {

enum Column { kPreset, kSong, kLoops, kPc, kNote, kColumns };

// The most of the page's width, once the preset and PC numbers have theirs, that the song's
// name takes before it goes on over a second line.
constexpr double kSongShareMost = 0.45;
// Point sizes: at arm's length a song's name wants 14 pt and more, its preset more still.
constexpr double kTitlePoints = 20;
constexpr double kPresetPoints = 17;
constexpr double kSongPoints = 15;
constexpr double kDetailPoints = 12;
constexpr double kHeadingPoints = 10;
// A set that leaves its page half empty is drawn larger, up to this factor, so that it reads
// from further away.
constexpr double kLargestScale = 1.8;
constexpr double kScaleStep = 0.05;
constexpr double kMarginMm = 12;
// Between two loops of a song: a space alone would run "Tube Screamer Delay" into one pedal.
const QString kLoopSeparator = QStringLiteral(" · ");

QFont font(double points, bool bold) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(points);
  f.setBold(bold);
  return f;
}

// `word` in pieces no wider than `width`, broken between characters: only a word wider than its
// column comes here, and it goes on over lines rather than being cut.
QStringList breakWord(const QString& word, const QFontMetricsF& metrics, double width) {
  QStringList pieces;
  QString piece;
  QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, word);
  qsizetype from = 0;
  while (graphemes.toNextBoundary() > 0) {
    const QString character = word.mid(from, graphemes.position() - from);
    from = graphemes.position();
    if (!piece.isEmpty() && metrics.horizontalAdvance(piece + character) > width) {
      pieces << piece;
      piece.clear();
    }
    piece += character;
  }
  if (!piece.isEmpty()) pieces << piece;
  return pieces;
}

// `units` set on lines no wider than `width`, `separator` between two units of a line. A unit
// goes whole onto a line of its own when it does not fit beside the others; one wider than a
// line is broken at its spaces, and a word wider than a line between its characters. Nothing
// is left out.
QStringList wrap(const QStringList& units, const QString& separator, const QFontMetricsF& metrics,
                 double width, bool* broken = nullptr) {
  QStringList lines;
  QString line;
  for (const QString& unit : units) {
    const QString longer = line.isEmpty() ? unit : line + separator + unit;
    if (metrics.horizontalAdvance(longer) <= width) {
      line = longer;
      continue;
    }
    if (!line.isEmpty()) lines << line;
    line.clear();
    if (metrics.horizontalAdvance(unit) <= width) {
      line = unit;
      continue;
    }
    if (broken != nullptr) *broken = true;
    const QStringList words = unit.split(u' ', Qt::SkipEmptyParts);
    QStringList pieces = words.size() > 1 ? wrap(words, QStringLiteral(" "), metrics, width)
                                          : breakWord(unit, metrics, width);
    line = pieces.takeLast();
    lines << pieces;
  }
  if (!line.isEmpty()) lines << line;
  return lines;
}

QStringList words(const QString& text) { return text.simplified().split(u' ', Qt::SkipEmptyParts); }

// The chart's fonts at one scale, and the room their lines take on the device.
struct Type {
  Type(double scale, QPaintDevice* device)
      : title(font(kTitlePoints * scale, true)),
        heading(font(kHeadingPoints * scale, false)),
        preset(font(kPresetPoints * scale, true)),
        song(font(kSongPoints * scale, true)),
        detail(font(kDetailPoints * scale, false)),
        device(device) {}
  QFont title, heading, preset, song, detail;
  QPaintDevice* device;

  const QFont& of(int column) const {
    return column == kPreset ? preset : column == kSong ? song : detail;
  }
  QFontMetricsF metrics(const QFont& f) const { return QFontMetricsF(f, device); }
  // Room beside a cell's text, and above and below a row's: rows close together, so that a
  // set of thirty songs still takes one page.
  double pad() const { return metrics(detail).height() * 0.3; }
  double gap() const { return metrics(detail).height() * 0.1; }
};

// What a song's cells say, in the units that stay together on a line: its position, the words
// of its name, its loops, its program change, the words of its note.
using Units = std::array<QStringList, kColumns>;
Units cellUnits(const SetSong& song, int position) {
  return {QStringList{QString::number(position)}, words(song.name), SetChart::loopNames(song),
          QStringList{SetChart::programChangeText(song)}, words(song.note)};
}

QString separatorOf(int column) { return column == kLoops ? kLoopSeparator : QStringLiteral(" "); }

// Where the columns begin across the page, and their last edge. The numbers' columns are as
// wide as their widest number. The song's name comes first: its column is as wide as the
// longest name, up to kSongShareMost of the rest. Loops and notes share what is left by how
// much they say, the loops at least as wide as their longest loop; room to spare goes to all.
std::array<double, kColumns + 1> columnEdges(const Type& type, double width,
                                             const QStringList& headings,
                                             const QList<Units>& songs) {
  const double pad = type.pad();
  std::array<double, kColumns> oneLine{};  // each cell on one line
  std::array<double, kColumns> widestUnit{};
  for (int column = 0; column < kColumns; ++column) {
    oneLine[column] = widestUnit[column] =
        type.metrics(type.heading).horizontalAdvance(headings[column]);
    const QFontMetricsF metrics = type.metrics(type.of(column));
    for (const Units& units : songs) {
      oneLine[column] = std::max(
          oneLine[column], metrics.horizontalAdvance(units[column].join(separatorOf(column))));
      for (const QString& unit : units[column])
        widestUnit[column] = std::max(widestUnit[column], metrics.horizontalAdvance(unit));
    }
    oneLine[column] += 2 * pad;
    widestUnit[column] += 2 * pad;
  }
  std::array<double, kColumns> widths{};
  widths[kPreset] =
      std::max(oneLine[kPreset], type.metrics(type.preset).horizontalAdvance("128") + 2 * pad);
  widths[kPc] =
      std::max(oneLine[kPc], type.metrics(type.detail).horizontalAdvance("128") + 2 * pad);
  const double rest = std::max(0.0, width - widths[kPreset] - widths[kPc]);
  const double all = oneLine[kSong] + oneLine[kLoops] + oneLine[kNote];
  if (all <= rest) {
    for (int column : {kSong, kLoops, kNote})
      widths[column] = oneLine[column] + (rest - all) * oneLine[column] / all;
  } else {
    widths[kSong] = std::min(oneLine[kSong], kSongShareMost * rest);
    const double left = rest - widths[kSong];
    const double said = oneLine[kLoops] + oneLine[kNote];
    widths[kLoops] = std::max(left * oneLine[kLoops] / said, std::min(widestUnit[kLoops], left));
    widths[kNote] = left - widths[kLoops];
    if (widths[kNote] < widestUnit[kNote]) {
      widths[kNote] = std::min(widestUnit[kNote], left / 2);
      widths[kLoops] = left - widths[kNote];
    }
  }
  std::array<double, kColumns + 1> edges{};
  for (int i = 0; i < kColumns; ++i) edges[i + 1] = edges[i] + widths[i];
  return edges;
}

// A song's cells, each wrapped onto the lines it needs, and the height of its row.
struct Row {
  std::array<QStringList, kColumns> lines;
  double height = 0;
  bool broken = false;  // a loop's name or a word went on over two lines
};

Row layOut(const Units& units, const Type& type, const std::array<double, kColumns + 1>& edges) {
  const double pad = type.pad();
  Row row;
  for (int column = 0; column < kColumns; ++column) {
    const QFontMetricsF metrics = type.metrics(type.of(column));
    row.lines[column] = wrap(units[column], separatorOf(column), metrics,
                             edges[column + 1] - edges[column] - 2 * pad, &row.broken);
    row.height = std::max(row.height,
                          std::max<qsizetype>(1, row.lines[column].size()) * metrics.lineSpacing());
  }
  row.height += 2 * type.gap();
  return row;
}

// Lines set one under another in `rect`, the block centred on its height.
void drawLines(QPainter& painter, const QRectF& rect, const QStringList& lines, const QFont& f,
               Qt::Alignment across) {
  painter.setFont(f);
  const QFontMetricsF metrics(f, painter.device());
  double top = rect.top() + (rect.height() - lines.size() * metrics.lineSpacing()) / 2;
  for (const QString& line : lines) {
    painter.drawText(QRectF(rect.left(), top, rect.width(), metrics.lineSpacing()),
                     static_cast<int>(across | Qt::AlignVCenter | Qt::TextDontClip), line);
    top += metrics.lineSpacing();
  }
}

// The whole chart laid out at one scale: the rows of each page.
struct Layout {
  double scale = 1;
  QStringList titleLines;
  double titleHeight = 0;
  double headingHeight = 0;
  double footerHeight = 0;
  double room = 0;  // for the rows of a page
  std::array<double, kColumns + 1> edges{};
  QList<Row> rows;
  QList<int> pageStarts;  // the first row of each page
};

Layout layOut(const SetList& setList, double scale, QPaintDevice& device,
              const QStringList& headings) {
  const Type type(scale, &device);
  const double width = device.width();
  const double height = device.height();
  const double pad = type.pad();
  Layout layout;
  layout.scale = scale;
  layout.titleLines =
      wrap(words(setList.name), QStringLiteral(" "), type.metrics(type.title), width - 2 * pad);
  layout.titleHeight =
      std::max<qsizetype>(1, layout.titleLines.size()) * type.metrics(type.title).lineSpacing() +
      2 * type.gap();
  layout.headingHeight = type.metrics(type.heading).lineSpacing() + 2 * type.gap();
  layout.footerHeight = layout.headingHeight;
  QList<Units> units;
  for (int i = 0; i < setList.songs.size(); ++i) units << cellUnits(setList.songs[i], i + 1);
  layout.edges = columnEdges(type, width, headings, units);
  layout.room = height - layout.titleHeight - layout.headingHeight - layout.footerHeight;
  const double room = layout.room;
  double used = room;
  int onPage = SetChart::kSongsPerPage;
  for (int i = 0; i < setList.songs.size(); ++i) {
    const Row row = layOut(units[i], type, layout.edges);
    if (onPage == SetChart::kSongsPerPage || used + row.height > room) {
      layout.pageStarts << i;
      used = 0;
      onPage = 0;
    }
    used += row.height;
    ++onPage;
    layout.rows << row;
  }
  if (layout.pageStarts.isEmpty()) layout.pageStarts << 0;
  return layout;
}

// Whether `larger` reads at least as well as `standard`: on one page, no loop's name or word
// broken that was whole, a song's name on as many lines as before (one word a line reads worse,
// not better) and a note on at most one more. A list of loops may take more lines.
bool readsAsWell(const Layout& larger, const Layout& standard) {
  if (larger.pageStarts.size() > 1 || larger.titleLines.size() > standard.titleLines.size() + 1)
    return false;
  for (qsizetype i = 0; i < standard.rows.size(); ++i) {
    const Row& was = standard.rows[i];
    const Row& is = larger.rows[i];
    if (is.broken && !was.broken) return false;
    if (is.lines[kSong].size() > std::max<qsizetype>(1, was.lines[kSong].size()) ||
        is.lines[kNote].size() > std::max<qsizetype>(1, was.lines[kNote].size()) + 1)
      return false;
  }
  return true;
}

// The largest type at which a one-page set reads at least as well as in the standard type; a
// longer set keeps the standard type and goes on over more pages.
Layout fitted(const SetList& setList, QPaintDevice& device, const QStringList& headings) {
  Layout standard = layOut(setList, 1, device, headings);
  if (standard.pageStarts.size() > 1) return standard;
  Layout chosen = standard;
  for (double scale = kLargestScale; scale > 1; scale -= kScaleStep) {
    Layout larger = layOut(setList, scale, device, headings);
    if (readsAsWell(larger, standard)) {
      chosen = larger;
      break;
    }
  }
  // What the page still has to spare goes between the songs, up to a line of a song's name
  // each: the eye finds its song from further away, and the page is not left half empty.
  double used = 0;
  for (const Row& row : chosen.rows) used += row.height;
  if (!chosen.rows.isEmpty()) {
    const double spare = (chosen.room - used) / chosen.rows.size();
    const double most = QFontMetricsF(Type(chosen.scale, &device).song, &device).lineSpacing();
    for (Row& row : chosen.rows) row.height += std::clamp(spare, 0.0, most);
  }
  return chosen;
}

}  // namespace

QStringList SetChart::loopNames(const SetSong& song) {
  const QStringList labels = song.loopLabels.split(u'\n');
  QStringList on;
  for (int loop = 0; loop < PresetTables::kLoops; ++loop) {
    if (((song.preset.mask >> loop) & 1U) == 0) continue;
    const QString label = loop < labels.size() ? labels[loop].trimmed() : QString();
    on << (label.isEmpty() ? QStringLiteral("LOOP%1").arg(loop + 1) : label);
  }
  return on;
}

QString SetChart::loopsText(const SetSong& song) {
  return loopNames(song).join(QStringLiteral("  "));
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
  const QStringList headings = {tr("Preset"), tr("Song"), tr("Loops"), tr("PC"), tr("Note")};
  const Layout layout = fitted(setList, device, headings);
  const Type type(layout.scale, &device);
  const double pad = type.pad();
  const auto& x = layout.edges;
  auto column = [&](int i, double top, double h) {
    return QRectF(x[i] + pad, top, x[i + 1] - x[i] - 2 * pad, h);
  };
  auto across = [](int i) { return i == kPreset || i == kPc ? Qt::AlignRight : Qt::AlignLeft; };

  const qsizetype pages = layout.pageStarts.size();
  for (qsizetype page = 0; page < pages; ++page) {
    if (page > 0) device.newPage();
    painter.setPen(Qt::black);
    drawLines(painter, QRectF(pad, 0, width - 2 * pad, layout.titleHeight), layout.titleLines,
              type.title, Qt::AlignLeft);
    for (int i = 0; i < kColumns; ++i) {
      drawLines(painter, column(i, layout.titleHeight, layout.headingHeight), {headings[i]},
                type.heading, across(i));
    }
    const int first = layout.pageStarts[page];
    const int end =
        page + 1 < pages ? layout.pageStarts[page + 1] : static_cast<int>(layout.rows.size());
    double top = layout.titleHeight + layout.headingHeight;
    for (int i = first; i < end; ++i) {
      const Row& row = layout.rows[i];
      // Every other line shaded, so that the eye stays on one song across the page.
      if ((i - first) % 2 == 0)
        painter.fillRect(QRectF(0, top, width, row.height), QColor(225, 225, 225));
      for (int c = 0; c < kColumns; ++c)
        drawLines(painter, column(c, top, row.height), row.lines[c], type.of(c), across(c));
      top += row.height;
    }
    if (pages > 1) {
      drawLines(painter,
                QRectF(pad, height - layout.footerHeight, width - 2 * pad, layout.footerHeight),
                {tr("page %1 of %2").arg(page + 1).arg(pages)}, type.heading, Qt::AlignRight);
    }
  }
  return painter.end();
}

std::optional<QByteArray> SetChart::pdf(const SetList& setList) {
  return pdfBytes(setList.name, [&](QPdfWriter& writer) { return paint(writer, setList); });
}

}  // namespace tarvik
