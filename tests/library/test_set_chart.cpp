// SPDX-License-Identifier: MIT
// The set chart's PDF, read back as text by pdftotext (poppler-utils), as a reader of the page
// sees it: line by line, with the white space between the columns taken as one space.
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "library/chart/SetChart.h"

using namespace tarvik;

Q_DECLARE_METATYPE(tarvik::SetList)

namespace {

SetSong song(const QString& name, std::uint8_t mask, int pcRemap, const QString& note = {}) {
  return {name, note, {mask, pcRemap, {}}, QStringLiteral("Rig"), 1, {}};
}

// What pdftotext (poppler-utils) makes of `pdf` with `options`, or why it could not.
QString pdftotext(const QByteArray& pdf, const QStringList& options) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("chart.pdf"));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size()) return "cannot write";
  file.close();
  QProcess pdftotext;
  pdftotext.start(QStringLiteral("pdftotext"), options + QStringList{path, "-"});
  if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
    return "pdftotext failed: " + pdftotext.readAllStandardError();
  return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

// The text of page `page`, one line a line of the page, empty lines left out.
QStringList pageText(const QByteArray& pdf, int page) {
  QStringList lines;
  const QString text =
      pdftotext(pdf, {"-layout", "-f", QString::number(page), "-l", QString::number(page)});
  for (const QString& line : text.split(u'\n')) {
    const QString simple = line.simplified();
    if (!simple.isEmpty()) lines << simple;
  }
  return lines;
}

// The whole text in the order it was drawn, a cell's lines one after another, as one line:
// a cell wrapped over two lines reads as it was written.
QString drawnText(const QByteArray& pdf, int page = 0) {
  const QStringList pages =
      page > 0 ? QStringList{"-f", QString::number(page), "-l", QString::number(page)}
               : QStringList{};
  return pdftotext(pdf, QStringList{"-raw"} + pages).simplified();
}

// Every word on the page 1 with its box, in points from the page's top left.
struct Word {
  QString text;
  QRectF box;
};
QList<Word> words(const QByteArray& pdf, double* pageHeight) {
  const QString html = pdftotext(pdf, {"-bbox", "-f", "1", "-l", "1"});
  static const QRegularExpression page(
      QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\""));
  static const QRegularExpression word(
      QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                     "yMax=\"([\\d.]+)\">([^<]*)</word>"));
  *pageHeight = page.match(html).captured(2).toDouble();
  QList<Word> found;
  for (auto it = word.globalMatch(html); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    found.append(
        {m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                               QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
  }
  return found;
}

SetSong labelledSong(const QString& name, std::uint8_t mask, const QStringList& labels,
                     const QString& note = {}) {
  SetSong made = song(name, mask, 4, note);
  made.loopLabels = labels.join(u'\n');
  return made;
}

// Eight pedals of which several names are as long as a label may be.
const QStringList kPedals = {"Fuzz",
                             "Tube Screamer Deluxe 808",
                             "Delay Chorus Combination",
                             "Wah",
                             "Octave Fuzz and Booster",
                             "Tremolo",
                             "Plate Reverb Large",
                             "Tape Echo with Modulation"};

// Page 1 of the chart of `songs` songs, every other one with one loop on and the others with
// all eight: how tall the words of its loops are, and where its last song ends.
struct Page {
  QList<double> loopHeights;
  double lowestSong = 0;
  double height = 0;
};
Page firstPage(int songs) {
  const QStringList pedals = {"Fuzz",        "Wah",     "Delay",  "Chorus",
                              "Octave Fuzz", "Tremolo", "Reverb", "Echo"};
  SetList set{QStringLiteral("Sizes"), {}};
  for (int i = 0; i < songs; ++i)
    set.songs << labelledSong(QStringLiteral("Song%1").arg(i + 1), i % 2 == 0 ? 0x01 : 0xFF,
                              pedals);
  Page page;
  const std::optional<QByteArray> pdf = SetChart::pdf(set);
  if (!pdf) return page;
  for (const Word& word : words(*pdf, &page.height)) {
    // "Fuzz" alone in the songs with one loop on; beside "Octave Fuzz" and "Tremolo" in the others.
    if (word.text == "Fuzz" || word.text == "Tremolo") page.loopHeights << word.box.height();
    if (word.text.startsWith("Song"))
      page.lowestSong = std::max(page.lowestSong, word.box.bottom());
  }
  return page;
}

}  // namespace

class SetChartTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void readsAsTheSetIs_data() {
    QTest::addColumn<SetList>("set");
    QTest::addColumn<QStringList>("firstPage");
    QTest::addColumn<QStringList>("lastPage");
    const QString heading = QStringLiteral("Preset Song Loops PC Note");
    QTest::newRow("loops without labels, a remap of none, a note")
        << SetList{QStringLiteral("Friday at the Crown"),
                   {song(QStringLiteral("Opener"), 0x81, 4, QStringLiteral("capo 2")),
                    song(QStringLiteral("Ballad"), 0, PresetTables::kPcRemapNone),
                    song(QStringLiteral("Closer"), 0x06, -1)}}
        << QStringList{"Friday at the Crown", heading, "1 Opener LOOP1 LOOP8 5 capo 2",
                       "2 Ballad -", "3 Closer LOOP2 LOOP3 -"}
        << QStringList{};
    SetSong labelled = song(QStringLiteral("Wah song"), 0x83, 127);
    labelled.loopLabels = QStringLiteral("Fuzz\nWah\n\n\n\n\n\nDelay");
    QTest::newRow("loops by their labels, an unlabelled one by its number")
        << SetList{QStringLiteral("Labels"), {labelled, song(QStringLiteral("Plain"), 0x04, 0)}}
        << QStringList{"Labels", heading, "1 Wah song Fuzz Wah Delay 128", "2 Plain LOOP3 1"}
        << QStringList{};
    SetList longSet{QStringLiteral("Long night"), {}};
    QStringList first{"Long night", heading};
    for (int i = 1; i <= 31; ++i) {
      longSet.songs << song(QStringLiteral("Song %1").arg(i), 0x01, i);
      if (i <= SetChart::kSongsPerPage)
        first << QStringLiteral("%1 Song %1 LOOP1 %2").arg(i).arg(i + 1);
    }
    first << "page 1 of 2";
    QTest::newRow("31 songs go on over a second page")
        << longSet << first
        << QStringList{"Long night", heading, "31 Song 31 LOOP1 32", "page 2 of 2"};
  }
  void readsAsTheSetIs() {
    QFETCH(SetList, set);
    QFETCH(QStringList, firstPage);
    QFETCH(QStringList, lastPage);
    const std::optional<QByteArray> pdf = SetChart::pdf(set);
    QVERIFY(pdf.has_value());
    QVERIFY(pdf->startsWith("%PDF-"));
    // A short set is drawn larger, where its loops may take two lines: the page is read in the
    // order it was drawn, the marks between two loops of a line left out.
    QCOMPARE(drawnText(*pdf, 1).remove(QStringLiteral(" ·")), firstPage.join(u' '));
    if (!lastPage.isEmpty()) QCOMPARE(pageText(*pdf, 2), lastPage);
  }

  // A cell too long for its column goes on over a second line; what it says stays whole, and
  // a loop that is on is never broken over two lines.
  void nothingIsCutShort_data() {
    QTest::addColumn<SetList>("set");
    QTest::addColumn<QStringList>("whole");
    const QString title =
        QStringLiteral("Mary Had a Little Lamb (the long version from Texas Flood)");
    const QString note =
        QStringLiteral("capo 2, let the intro ring out twice before the band comes in");
    QTest::newRow("all eight loops with long names, a long title and note")
        << SetList{QStringLiteral("Friday"), {labelledSong(title, 0xFF, kPedals, note)}}
        << QStringList(kPedals) + QStringList{title, note};
    SetList many{QStringLiteral("Thirty songs over more than a page"), {}};
    for (int i = 1; i <= SetChart::kSongsPerPage; ++i) {
      many.songs << labelledSong(QStringLiteral("Pride and Joy, live take %1").arg(i), 0x16,
                                 kPedals, note);
    }
    QTest::newRow("thirty songs of several lines each")
        << many << QStringList{"Pride and Joy, live take 30", note};
    QTest::newRow("a set's name longer than the page is wide")
        << SetList{QStringLiteral("Friday at the Crown and Anchor, the second set after the "
                                  "break, with the horn section from Leeds"),
                   {song(QStringLiteral("Opener"), 0x01, 1)}}
        << QStringList{QStringLiteral("Friday at the Crown and Anchor, the second set after the "
                                      "break, with the horn section from Leeds")};
  }
  void nothingIsCutShort() {
    QFETCH(SetList, set);
    QFETCH(QStringList, whole);
    const std::optional<QByteArray> pdf = SetChart::pdf(set);
    QVERIFY(pdf.has_value());
    const QString text = drawnText(*pdf);
    QVERIFY2(!text.contains(u'…'), qPrintable(text));
    for (const QString& part : whole) QVERIFY2(text.contains(part), qPrintable(part + "\n" + text));
    // Every loop that is on stands whole on one line of the page.
    const QStringList lines = pdftotext(*pdf, {"-layout"}).split(u'\n');
    for (const SetSong& each : set.songs) {
      for (const QString& loop : SetChart::loopNames(each)) {
        QVERIFY2(std::any_of(lines.begin(), lines.end(),
                             [&](const QString& line) { return line.contains(loop); }),
                 qPrintable(loop + "\n" + lines.join('\n')));
      }
    }
  }

  // The loops of a song with one pedal on are as large as those of a song with all eight on;
  // a short set is drawn larger than a long one, and no set is left at the top of an empty
  // page.
  void oneSizeForEveryLoopAndTheRoomUsed_data() {
    QTest::addColumn<int>("songs");
    QTest::addColumn<bool>("larger");
    QTest::newRow("a short set, larger") << 4 << true;
    QTest::newRow("a set of twelve, larger") << 12 << true;
    QTest::newRow("a full page in the standard type") << SetChart::kSongsPerPage << false;
  }
  void oneSizeForEveryLoopAndTheRoomUsed() {
    QFETCH(int, songs);
    QFETCH(bool, larger);
    const Page standard = firstPage(SetChart::kSongsPerPage + 1);
    const Page page = firstPage(songs);
    QVERIFY(standard.loopHeights.size() >= 4 && page.loopHeights.size() >= 4);
    for (double height : page.loopHeights) QCOMPARE(height, page.loopHeights.first());
    QCOMPARE(page.loopHeights.first() > standard.loopHeights.first() * 1.05, larger);
    QVERIFY(page.lowestSong < page.height);
    QVERIFY2(
        page.lowestSong > page.height / 2,
        qPrintable(
            QStringLiteral("the songs end at %1 of %2").arg(page.lowestSong).arg(page.height)));
  }
};

QTEST_MAIN(SetChartTest)
#include "test_set_chart.moc"
