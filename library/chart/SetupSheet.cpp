// SPDX-License-Identifier: MIT
#include "library/chart/SetupSheet.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <algorithm>
#include <array>
#include <functional>
#include <vector>

#include "config/ConfigRecord.h"
#include "config/PresetTables.h"
#include "config/ui/AdvancedSettings.h"
#include "library/chart/PdfBytes.h"

namespace tarvik {
namespace {

// Read on a music stand or the floor of a rehearsal room: nothing smaller than 9 pt.
constexpr double kSheetTitlePoints = 16;
constexpr double kSheetTextPoints = 10;
constexpr double kSheetSmallestPoints = 9;
constexpr double kSheetMarginMm = 12;
constexpr double kSheetRowMm = 5.6;
// Preset table columns as parts of the page's width: preset, name, loops, PC.
constexpr std::array<double, 4> kSheetColumnShares = {0.07, 0.33, 0.53, 0.07};
constexpr int kSheetCcColumns = 5;
constexpr int kSheetSettingColumns = 2;

QFont sheetFont(double points, bool bold = false) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(points);
  f.setBold(bold);
  return f;
}

double sheetPad(const QPainter& painter) { return painter.device()->logicalDpiX() / 25.4; }  // 1 mm

bool sheetFits(const QPainter& painter, const QString& text, const QFont& f, double width) {
  return QFontMetricsF(f, painter.device()).horizontalAdvance(text) <= width;
}

// One line of text in `rect`, in type that shrinks to 9 pt, then narrows, before the text is cut
// short.
void sheetCell(QPainter& painter, const QRectF& rect, const QString& text, QFont f,
               Qt::Alignment alignment = Qt::AlignLeft) {
  const double pad = sheetPad(painter);
  const QRectF inner = rect.adjusted(pad, 0, -pad, 0);
  while (f.pointSizeF() > kSheetSmallestPoints && !sheetFits(painter, text, f, inner.width())) {
    f.setPointSizeF(std::max(kSheetSmallestPoints, f.pointSizeF() - 0.5));
  }
  if (!sheetFits(painter, text, f, inner.width())) f.setStretch(QFont::Condensed);
  painter.setFont(f);
  const QFontMetricsF metrics(f, painter.device());
  painter.drawText(inner, static_cast<int>(alignment | Qt::AlignVCenter),
                   metrics.elidedText(text, Qt::ElideRight, inner.width()));
}

// A text that names loops by their labels, made again with shorter labels where the whole ones
// do not fit.
using LabelledText = std::function<QString(const LoopLabels&)>;

// The labels cut to `length` characters ("Tube Scr…"); none at all for 0.
LoopLabels sheetCutLabels(const LoopLabels& labels, int length) {
  LoopLabels cut;
  for (int loop = 0; loop < LoopLabels::kLoops; ++loop) {
    const QString& label = labels.label(loop);
    cut.setLabel(loop, label.size() <= length ? label
                       : length > 0           ? label.left(length - 1) + QChar(0x2026)
                                              : QString());
  }
  return cut;
}

// A cell whose text keeps every loop it names: the labels are cut shorter, down to none (the
// loops' numbers alone; the labels in full head the first page), until it fits in 9 pt.
void sheetLabelledCell(QPainter& painter, const QRectF& rect, const LabelledText& text,
                       const LoopLabels& labels, const QFont& f,
                       Qt::Alignment alignment = Qt::AlignLeft) {
  QFont smallest = f;
  smallest.setPointSizeF(kSheetSmallestPoints);
  const double room = rect.width() - 2 * sheetPad(painter);
  QString shown = text(labels);
  for (const int length : {12, 8, 5, 3, 0}) {
    if (sheetFits(painter, shown, smallest, room)) break;
    shown = text(sheetCutLabels(labels, length));
  }
  sheetCell(painter, rect, shown, f, alignment);
}

struct SheetEntry {
  LabelledText text;
  bool bold = false;
};

// The page's geometry and where the next line goes.
class SheetPage {
 public:
  SheetPage(QPagedPaintDevice& device, QPainter& painter) : device_(device), painter_(painter) {
    mm_ = device.logicalDpiY() / 25.4;
    width_ = device.width();
    bottom_ = device.height() - rowHeight();  // the foot's line
  }
  double mm() const { return mm_; }
  double width() const { return width_; }
  double rowHeight() const { return kSheetRowMm * mm_; }
  double top() const { return top_; }
  // Where the foot's line starts, and the room above it.
  double bottom() const { return bottom_; }
  double left() const { return bottom_ - top_; }
  void advance(double height) { top_ += height; }
  // A line of text across the page.
  void line(const QString& text, const QFont& f, double height = 0) {
    const double h = height > 0 ? height : rowHeight();
    sheetCell(painter_, QRectF(0, top_, width_, h), text, f);
    top_ += h;
  }
  void newPage() {
    device_.newPage();
    top_ = 0;
  }

 private:
  QPagedPaintDevice& device_;
  QPainter& painter_;
  double mm_ = 1;
  double width_ = 0;
  double bottom_ = 0;
  double top_ = 0;
};

void sheetShade(QPainter& painter, const QRectF& rect) {
  painter.fillRect(rect, QColor(228, 228, 228));
}

void sheetPresetHeadings(QPainter& painter, SheetPage& page, const std::array<double, 5>& x) {
  const QStringList headings = {SetupSheet::tr("Preset"), SetupSheet::tr("Name"),
                                SetupSheet::tr("Loops on"), SetupSheet::tr("PC")};
  for (int i = 0; i < headings.size(); ++i) {
    sheetCell(painter, QRectF(x[i], page.top(), x[i + 1] - x[i], page.rowHeight()), headings[i],
              sheetFont(kSheetTextPoints, true), i == 0 || i == 3 ? Qt::AlignRight : Qt::AlignLeft);
  }
  page.advance(page.rowHeight());
  painter.drawLine(QPointF(0, page.top()), QPointF(page.width(), page.top()));
}

// Entries laid out down `columns` columns, as many lines as the longest column needs.
void sheetColumns(QPainter& painter, SheetPage& page, const QList<SheetEntry>& entries, int columns,
                  const LoopLabels& labels) {
  const int lines = static_cast<int>((entries.size() + columns - 1) / columns);
  const double width = page.width() / columns;
  for (int i = 0; i < entries.size(); ++i) {
    const int column = i / lines;
    const int line = i % lines;
    sheetLabelledCell(
        painter,
        QRectF(column * width, page.top() + line * page.rowHeight(), width, page.rowHeight()),
        entries[i].text, labels, sheetFont(kSheetTextPoints, entries[i].bold));
  }
  page.advance(lines * page.rowHeight());
}

QList<SheetEntry> sheetCcEntries(const PresetTables& tables) {
  QList<SheetEntry> entries;
  for (int row = 0; row < kTableSize; ++row) {
    const int loop = tables.cc(row);
    // 0 is "-", no loop; the entry's number is the controller's, as the device takes it.
    if (loop < 1 || loop > PresetTables::kLoops) continue;
    entries << SheetEntry{[row, loop](const LoopLabels& labels) {
      return SetupSheet::tr("CC %1: %2").arg(row).arg(labels.item(loop - 1));
    }};
  }
  return entries;
}

// The settings under their group boxes' titles, groups in the order the items first name them.
QList<SheetEntry> sheetSettingEntries(const ConfigRecord& record) {
  QStringList groups;
  for (int item = 0; item < kConfigRecordSize; ++item) {
    if (!groups.contains(AdvancedSettings::group(item))) groups << AdvancedSettings::group(item);
  }
  QList<SheetEntry> entries;
  for (const QString& group : groups) {
    entries << SheetEntry{[group](const LoopLabels&) { return group; }, true};
    for (int item = 0; item < kConfigRecordSize; ++item) {
      if (AdvancedSettings::group(item) != group) continue;
      QString caption = AdvancedSettings::caption(item);
      if (caption.endsWith(u':')) caption.chop(1);
      entries << SheetEntry{[caption, record, item](const LoopLabels& labels) {
        return QStringLiteral("%1: %2").arg(caption,
                                            AdvancedSettings::valueText(record, item, labels));
      }};
    }
  }
  return entries;
}

}  // namespace

QString SetupSheet::loopsText(std::uint8_t mask, const LoopLabels& labels) {
  QStringList on;
  for (int loop = 0; loop < PresetTables::kLoops; ++loop) {
    if (((mask >> loop) & 1U) == 0) continue;
    const QString& label = labels.label(loop);
    on << (label.isEmpty() ? QString::number(loop + 1)
                           : QStringLiteral("%1 %2").arg(loop + 1).arg(label));
  }
  return on.isEmpty() ? QStringLiteral("-") : on.join(QStringLiteral(", "));
}

QString SetupSheet::programText(int pcRemap) {
  if (pcRemap == PresetTables::kPcRemapNone) return tr("none");
  return pcRemap >= 0 && pcRemap < PresetTables::kPcRemapNone ? QString::number(pcRemap + 1)
                                                              : QStringLiteral("-");
}

bool SetupSheet::paint(QPagedPaintDevice& device, const SetupSheetContents& contents) {
  device.setPageLayout(
      QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                  QMarginsF(kSheetMarginMm, kSheetMarginMm, kSheetMarginMm, kSheetMarginMm),
                  QPageLayout::Millimeter));
  QPainter painter;
  if (!painter.begin(&device)) return false;
  painter.setPen(Qt::black);
  SheetPage page(device, painter);
  const PresetTables tables = contents.bytes.tables();
  std::array<double, 5> x{};
  for (std::size_t i = 0; i < kSheetColumnShares.size(); ++i)
    x[i + 1] = x[i] + kSheetColumnShares[i] * page.width();
  const QString made = contents.made.toString(QStringLiteral("yyyy-MM-dd HH:mm"));

  page.line(tr("Tarvik setup sheet"), sheetFont(kSheetTitlePoints, true), 9 * page.mm());
  page.line(tr("From %1, made %2").arg(contents.source, made), sheetFont(kSheetTextPoints));
  page.advance(page.rowHeight() / 2);
  page.line(tr("Loops"), sheetFont(kSheetTextPoints, true));
  // LOOP 1-4 above LOOP 5-8, as the settings tab places the loops' boxes.
  QList<SheetEntry> legend;
  for (const int loop : {0, 4, 1, 5, 2, 6, 3, 7}) {
    legend << SheetEntry{[loop](const LoopLabels& labels) {
      const QString& label = labels.label(loop);
      return label.isEmpty() ? tr("%1 (no label)").arg(loop + 1)
                             : QStringLiteral("%1 %2").arg(loop + 1).arg(label);
    }};
  }
  sheetColumns(painter, page, legend, 4, contents.labels);
  page.advance(page.rowHeight() / 2);

  // The presets' pages are counted before they are drawn, for each page's foot: under the
  // headings, as many rows as fit; the CC map and the settings take the page after them.
  const auto rowsFitting = [&page](double room) {
    return static_cast<int>((room - page.rowHeight()) / page.rowHeight() + 1e-6);
  };
  std::vector<int> rowsOnPage{rowsFitting(page.left())};
  for (int placed = rowsOnPage.back(); placed < kTableSize; placed += rowsOnPage.back())
    rowsOnPage.push_back(rowsFitting(page.bottom()));
  const int pages = static_cast<int>(rowsOnPage.size()) + 1;
  int pageNumber = 1;
  const auto endPage = [&] {
    sheetCell(painter, QRectF(0, page.bottom(), page.width(), page.rowHeight()),
              tr("Tarvik setup sheet from %1, %2, page %3 of %4")
                  .arg(contents.source, made)
                  .arg(pageNumber)
                  .arg(pages),
              sheetFont(kSheetSmallestPoints), Qt::AlignRight);
    if (pageNumber == pages) return;
    page.newPage();
    ++pageNumber;
  };

  int row = 0;
  for (const int count : rowsOnPage) {
    sheetPresetHeadings(painter, page, x);
    for (const int last = std::min(kTableSize, row + count); row < last; ++row) {
      const double top = page.top();
      const double h = page.rowHeight();
      // Every other line shaded, so that the eye stays on one preset across the page.
      if (row % 2 == 0) sheetShade(painter, QRectF(0, top, page.width(), h));
      sheetCell(painter, QRectF(x[0], top, x[1] - x[0], h), QString::number(row + 1),
                sheetFont(kSheetTextPoints, true), Qt::AlignRight);
      sheetCell(painter, QRectF(x[1], top, x[2] - x[1], h), contents.names.name(row),
                sheetFont(kSheetTextPoints));
      const std::uint8_t mask = tables.mask(row);
      sheetLabelledCell(
          painter, QRectF(x[2], top, x[3] - x[2], h),
          [mask](const LoopLabels& labels) { return loopsText(mask, labels); }, contents.labels,
          sheetFont(kSheetTextPoints));
      sheetCell(painter, QRectF(x[3], top, x[4] - x[3], h), programText(tables.pcRemap(row)),
                sheetFont(kSheetTextPoints), Qt::AlignRight);
      page.advance(h);
    }
    endPage();
  }

  page.line(tr("CC map: the controller changes that switch a loop"),
            sheetFont(kSheetTextPoints, true));
  const QList<SheetEntry> cc = sheetCcEntries(tables);
  if (cc.isEmpty()) {
    page.line(tr("No controller change switches a loop."), sheetFont(kSheetTextPoints));
  } else {
    sheetColumns(painter, page, cc, kSheetCcColumns, contents.labels);
  }
  page.advance(page.rowHeight() / 2);
  page.line(tr("Advanced settings"), sheetFont(kSheetTextPoints, true));
  if (contents.bytes.settings) {
    ConfigRecord record;
    record.apply(*contents.bytes.settings);
    sheetColumns(painter, page, sheetSettingEntries(record), kSheetSettingColumns, contents.labels);
  } else {
    page.line(tr("%1 holds no settings.").arg(contents.source), sheetFont(kSheetTextPoints));
  }
  endPage();
  return painter.end();
}

std::optional<QByteArray> SetupSheet::pdf(const SetupSheetContents& contents) {
  return pdfBytes(tr("Tarvik setup sheet"),
                  [&](QPdfWriter& writer) { return paint(writer, contents); });
}

}  // namespace tarvik
