// SPDX-License-Identifier: MIT
// The loops' labels in the backup file: the "[loops]" section reads back as written, every
// reader of the other sections (the .tvk reader, the settings) passes over it, and what could
// not have been written is named rather than taken.
#include <QTest>

#include "config/FullBackup.h"
#include "config/TvkFile.h"

using namespace tarvik;

namespace {

PresetTables sampleTables() {
  PresetTables tables;
  tables.setMask(2, 0x05);
  tables.setCc(2, 3);
  return tables;
}

FullBackup::Settings sampleSettings() {
  ConfigRecord record;
  record.debounceTime = 60;
  record.magicFunction = 0;
  return record.toBytes();
}

}  // namespace

class LoopLabelsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // Labels that look like INI syntax, or like another section, to a reader of the rest.
  void labelsReadBackAndChangeNothingElse_data() {
    QTest::addColumn<QString>("label");
    QTest::newRow("a plain name") << "Fuzz";
    QTest::newRow("a semicolon, a comment to some readers") << "Delay ; dotted";
    QTest::newRow("a row section and a key") << "[0] pc=255";
    QTest::newRow("the settings header") << "[settings]";
    QTest::newRow("twenty-four characters") << QString(24, u'x');
    QTest::newRow("beyond Latin-1") << QString::fromUtf8("Überdrive \xE2\x9A\xA1");
  }
  void labelsReadBackAndChangeNothingElse() {
    QFETCH(QString, label);
    QVERIFY2(LoopLabels::problem(label).isEmpty(), qPrintable(LoopLabels::problem(label)));
    LoopLabels labels;
    labels.setLabel(0, label);
    labels.setLabel(7, label);
    const QByteArray plain = FullBackup::serialize(sampleTables(), sampleSettings());
    const QByteArray text = FullBackup::serialize(sampleTables(), sampleSettings(), {}, labels);
    QVERIFY(text.startsWith(QByteArray(plain).replace("loops=0", "loops=2")));
    QVERIFY(text.contains("[loops]\r\nloop1="));

    const FullBackup::LoadResult read = FullBackup::parseWhole(text);
    QVERIFY2(read.ok(), qPrintable(read.message));
    QVERIFY2(read.labelsProblem.isEmpty(), qPrintable(read.labelsProblem));
    QCOMPARE(read.labels, labels);
    QCOMPARE(*read.tables, sampleTables());
    QCOMPARE(*read.settings, sampleSettings());
    // The old reader of .tvk files sees the tables it saw before, whole.
    const TvkFile::LoadResult tvk = TvkFile::parse(text);
    QVERIFY(tvk.ok());
    QCOMPARE(*tvk.tables, sampleTables());
    QVERIFY(tvk.gaps.none());
  }

  void aFileWithoutLoopsHasNoLabels() {
    const FullBackup::LoadResult read = FullBackup::parse(TvkFile::serialize(sampleTables()));
    QVERIFY(read.ok());
    QVERIFY(read.labels.isEmpty());
    QVERIFY(read.labelsProblem.isEmpty());
    QVERIFY(!FullBackup::serialize(sampleTables(), std::nullopt).contains("[loops]"));
  }

  void labelsThatCannotBeKeptAreNamed_data() {
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QString>("problem");
    QTest::newRow("twenty-five characters")
        << QByteArray("loop2=" + QByteArray(25, 'x')) << "the label of loop 2 is longer than 24";
    QTest::newRow("a turn of the writing direction")
        << QByteArray("loop3=Fuzz\xE2\x80\xAE") << "the label of loop 3 holds a control";
    QTest::newRow("a loop the Tarvik does not have") << QByteArray("loop9=Tuner") << "\"loop9\"";
    QTest::newRow("a loop labelled twice")
        << QByteArray("loop1=Fuzz\r\nLOOP1=Wah") << "loop 1 is labelled twice";
    QTest::newRow("not UTF-8") << QByteArray("loop4=\xFF") << "loop 4 is not UTF-8";
    QTest::newRow("no equals sign") << QByteArray("Fuzz") << "\"Fuzz\" is not a loop";
  }
  void labelsThatCannotBeKeptAreNamed() {
    QFETCH(QByteArray, section);
    QFETCH(QString, problem);
    const QByteArray text = TvkFile::serialize(sampleTables()) + "[loops]\r\n" + section + "\r\n";
    const FullBackup::LoadResult read = FullBackup::parse(text);
    // The tables are no less readable for it: only a reader that keeps labels must refuse.
    QVERIFY(read.ok());
    QVERIFY2(read.labelsProblem.startsWith("[loops]: ") && read.labelsProblem.contains(problem),
             qPrintable(read.labelsProblem));
  }
};

QTEST_GUILESS_MAIN(LoopLabelsTest)
#include "test_loop_labels.moc"
