// SPDX-License-Identifier: MIT
// The presets as CSV for a spreadsheet: what is written, what a spreadsheet may hand back, and
// the first bad line of what cannot be taken.
#include <QTemporaryDir>
#include <QTest>

#include "config/PresetCsv.h"
#include "config/UserFile.h"
#include "support/FileFaults.h"

using namespace tarvik;

namespace {

struct Setup {
  PresetTables tables;
  PresetNames names;
};

// Every kind of value a field can hold: no loop and all eight, a program, "none" and no choice,
// names with the characters that need quotes, and none.
Setup sample() {
  Setup setup;
  for (int row = 0; row < kTableSize; ++row) {
    setup.tables.setMask(row, static_cast<std::uint8_t>(row * 37));
    setup.tables.setPcRemap(row, row % 5 == 0 ? -1 : (row * 3) % PresetTables::kPcRemapItems);
  }
  setup.tables.setMask(1, 0xFF);
  setup.tables.setPcRemap(1, PresetTables::kPcRemapNone);
  setup.names.setName(0, QStringLiteral("Clean, bright"));
  setup.names.setName(1, QStringLiteral("The \"Lead\""));
  setup.names.setName(2, QStringLiteral("Grüße aus Köln"));
  setup.names.setName(127, QStringLiteral("Encore"));
  return setup;
}

QList<PresetRow> rowsOf(const Setup& setup) {
  QList<PresetRow> rows;
  for (int row = 0; row < kTableSize; ++row)
    rows << PresetRow{setup.tables.mask(row), setup.tables.pcRemap(row), setup.names.name(row)};
  return rows;
}

// The sample's CSV with physical line `line` (1 is the header) replaced by `text`, or removed
// when `text` is null.
QByteArray edited(int line, const QByteArray& text) {
  QList<QByteArray> lines = PresetCsv::write(sample().tables, sample().names).split('\n');
  if (text.isNull()) {
    lines.removeAt(line - 1);
  } else {
    lines[line - 1] = text + '\r';
  }
  return lines.join('\n');
}

}  // namespace

class PresetCsvTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void writesOneQuotedLinePerPreset() {
    const QByteArray text = PresetCsv::write(sample().tables, sample().names);
    const QList<QByteArray> lines = text.split('\n');
    QCOMPARE(lines.size(), kTableSize + 2);  // the header, the presets, nothing after the last end
    QCOMPARE(lines[0], "preset,name,loop1,loop2,loop3,loop4,loop5,loop6,loop7,loop8,pc\r");
    // Preset 1: mask 0, no program chosen; preset 2: every loop, "none"; 3: mask 74; 4: 111.
    QCOMPARE(lines[1], "1,\"Clean, bright\",0,0,0,0,0,0,0,0,\r");
    QCOMPARE(lines[2], "2,\"The \"\"Lead\"\"\",1,1,1,1,1,1,1,1,none\r");
    QCOMPARE(lines[3], QStringLiteral("3,Grüße aus Köln,0,1,0,1,0,0,1,0,7\r").toUtf8());
    QCOMPARE(lines[4], "4,,1,1,1,1,0,1,1,0,10\r");
    QVERIFY(lines.last().isEmpty());
  }

  // What a spreadsheet may do to the file and still hand back the same presets.
  void readsBackWhatWasWritten_data() {
    QTest::addColumn<QByteArray>("text");
    const QByteArray written = PresetCsv::write(sample().tables, sample().names);
    QTest::newRow("as written") << written;
    QTest::newRow("LF line ends") << QByteArray(written).replace("\r\n", "\n");
    QTest::newRow("a byte order mark first") << "\xEF\xBB\xBF" + written;
    QList<QByteArray> lines = written.split('\n');
    QList<QByteArray> gaps = lines;
    gaps.insert(40, "\r");
    QTest::newRow("empty lines between and after") << gaps.join('\n') + "\r\n\n";
    lines.removeLast();
    std::reverse(lines.begin() + 1, lines.end());
    QTest::newRow("sorted the other way round") << lines.join('\n') + '\n';
    QTest::newRow("quotes around plain fields and None in capitals")
        << edited(3, "\"2\",\"The \"\"Lead\"\"\",\"1\",1,1,1,1,1,1,1,None");
  }
  void readsBackWhatWasWritten() {
    QFETCH(QByteArray, text);
    const PresetCsv::Read read = PresetCsv::parse(text);
    QVERIFY2(read.ok(), qPrintable(read.error));
    QCOMPARE(*read.presets, rowsOf(sample()));
  }

  // Refused whole, with the first line that cannot be taken; nothing half read comes out.
  void refusesWithTheFirstBadLine_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty") << QByteArray() << "no header line";
    QTest::newRow("a header of other columns")
        << edited(1, "preset,name,loop1,loop2,loop3,loop4,loop5,loop6,loop7,loop8,program")
        << "line 1: the header is not \"preset,name,loop1";
    QTest::newRow("a field too few")
        << edited(4, "3,x,0,0,0,0,0,0,0,1") << "line 4: 10 fields where 11 belong";
    QTest::newRow("a field too many")
        << edited(4, "3,x,0,0,0,0,0,0,0,0,1,1") << "line 4: 12 fields where 11 belong";
    QTest::newRow("a loop that is neither 0 nor 1")
        << edited(6, "5,,0,0,2,0,0,0,0,0,5") << "line 6: loop3 is \"2\", not 1 (on) or 0 (off)";
    QTest::newRow("a loop left empty")
        << edited(6, "5,,0,0,0,0,0,0,0,,5") << "line 6: loop8 is \"\"";
    QTest::newRow("pc 129") << edited(7, "6,,0,0,0,0,0,0,0,0,129")
                            << "line 7: the pc \"129\" is not one of 1..128, none or empty";
    QTest::newRow("pc 0") << edited(7, "6,,0,0,0,0,0,0,0,0,0") << "line 7: the pc \"0\"";
    QTest::newRow("pc with a sign")
        << edited(7, "6,,0,0,0,0,0,0,0,0,+6") << "line 7: the pc \"+6\"";
    QTest::newRow("preset 0") << edited(2, "0,,0,0,0,0,0,0,0,0,1")
                              << "line 2: the preset \"0\" is not one of 1..128";
    QTest::newRow("preset 129") << edited(2, "129,,0,0,0,0,0,0,0,0,1")
                                << "line 2: the preset \"129\"";
    QTest::newRow("a preset twice")
        << edited(9, "3,,0,0,0,0,0,0,0,0,1") << "line 9: preset 3 again (line 4 has it)";
    QTest::newRow("a preset missing") << edited(129, {}) << "no line for preset 128";
    QTest::newRow("a name too long for the matrix")
        << edited(2, "1," + QByteArray(41, 'x') + ",0,0,0,0,0,0,0,0,1")
        << "line 2: the name is longer than 40 characters";
    QTest::newRow("a line break inside a name")
        << edited(2, "1,\"two\nlines\",0,0,0,0,0,0,0,0,1") << "line 2: the name";
    QTest::newRow("a quote not closed") << edited(128, "127,\"Encore,0,0,0,0,0,0,0,0,1")
                                        << "line 128: a quoted field is not closed";
    QTest::newRow("a quote inside a plain field")
        << edited(5, "4,a\"b,1,1,1,1,0,1,1,0,10") << "line 5: a quote inside a field";
    QTest::newRow("text after a closing quote")
        << edited(5, "4,\"ab\"c,1,1,1,1,0,1,1,0,10") << "line 5: text after the closing quote";
    QTest::newRow("a lone carriage return")
        << edited(5, "4,a\rb,1,1,1,1,0,1,1,0,10") << "line 5: a carriage return outside quotes";
    QTest::newRow("a line of Latin-1")
        << edited(8, "7,Gr\xFC\xDF,0,0,0,0,0,0,0,0,1") << "line 8: not UTF-8 text";
  }
  void refusesWithTheFirstBadLine() {
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    const PresetCsv::Read read = PresetCsv::parse(text);
    QVERIFY(!read.ok());
    QVERIFY2(read.error.startsWith(error), qPrintable(read.error));
  }

  // A file is read with the bounds of every user file, and its errors name it.
  void aFileIsBoundedAndNamed() {
    QTemporaryDir dir;
    const QString huge = dir.filePath(QStringLiteral("huge.csv"));
    QVERIFY(testing::makeHugeFile(huge, UserFile::kMaxSize + 1));
    const PresetCsv::Read tooLarge = PresetCsv::read(huge);
    QVERIFY(!tooLarge.ok());
    QVERIFY2(tooLarge.error.startsWith(huge + ": ") && tooLarge.error.contains("too large"),
             qPrintable(tooLarge.error));
    const QString bad = dir.filePath(QStringLiteral("bad.csv"));
    QVERIFY(UserFile::write(bad, edited(9, "3,,0,0,0,0,0,0,0,0,1")));
    QCOMPARE(PresetCsv::read(bad).error, bad + ": line 9: preset 3 again (line 4 has it)");
    const QString good = dir.filePath(QStringLiteral("good.csv"));
    QVERIFY(UserFile::write(good, PresetCsv::write(sample().tables, sample().names)));
    QCOMPARE(*PresetCsv::read(good).presets, rowsOf(sample()));
  }
};

QTEST_GUILESS_MAIN(PresetCsvTest)
#include "test_preset_csv.moc"
