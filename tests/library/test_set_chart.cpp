// SPDX-License-Identifier: MIT
// The set chart's PDF, read back as text by pdftotext (poppler-utils), as a reader of the page
// sees it: line by line, with the white space between the columns taken as one space.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "library/chart/SetChart.h"

using namespace tarvik;

Q_DECLARE_METATYPE(tarvik::SetList)

namespace {

SetSong song(const QString& name, std::uint8_t mask, int pcRemap, const QString& note = {}) {
  return {name, note, {mask, pcRemap, {}}, QStringLiteral("Rig"), 1, {}};
}

// The text of page `page`, one line a line of the page, empty lines left out.
QStringList pageText(const QByteArray& pdf, int page) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("chart.pdf"));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size()) return {"cannot write"};
  file.close();
  QProcess pdftotext;
  pdftotext.start(QStringLiteral("pdftotext"),
                  {"-layout", "-f", QString::number(page), "-l", QString::number(page), path, "-"});
  if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
    return {"pdftotext failed: " + pdftotext.readAllStandardError()};
  QStringList lines;
  for (const QString& line : QString::fromUtf8(pdftotext.readAllStandardOutput()).split(u'\n')) {
    const QString simple = line.simplified();
    if (!simple.isEmpty()) lines << simple;
  }
  return lines;
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
    QCOMPARE(pageText(*pdf, 1), firstPage);
    if (!lastPage.isEmpty()) QCOMPARE(pageText(*pdf, 2), lastPage);
  }
};

QTEST_MAIN(SetChartTest)
#include "test_set_chart.moc"
