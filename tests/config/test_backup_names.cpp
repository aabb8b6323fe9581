// SPDX-License-Identifier: MIT
// The "[names]" section of the backup file: what the writer adds, what the backup reader
// returns, what it cannot take as written, and that every reader of the tables and the
// settings passes over it ("Save as File" and "Load from File" see no difference).
#include <QTemporaryDir>
#include <QTest>

#include "config/FullBackup.h"
#include "config/TvkFile.h"
#include "config/UserFile.h"

using namespace tarvik;

namespace {

PresetTables sampleTables() {
  PresetTables tables;
  tables.setMask(4, 0x03);
  tables.setCc(4, 2);
  tables.setPcRemap(127, PresetTables::kPcRemapNone);
  return tables;
}

FullBackup::Settings sampleSettings() {
  ConfigRecord record;
  record.debounceTime = 90;
  record.magicFunction = 0;
  return record.toBytes();
}

PresetNames namesOf(std::initializer_list<std::pair<int, QString>> rows) {
  PresetNames names;
  for (const auto& [row, name] : rows) names.setName(row, name);
  return names;
}

}  // namespace

class BackupNamesTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void writesOnlyTheNamedPresetsAfterEverythingElse() {
    const PresetNames names =
        namesOf({{0, "Clean"}, {4, QString::fromUtf8("Brücke")}, {127, "Solo"}});
    const QByteArray text = FullBackup::serialize(sampleTables(), sampleSettings(), names);
    // The head counts them, so that a file cut after a whole name is known as cut.
    QCOMPARE(text,
             FullBackup::serialize(sampleTables(), sampleSettings()).replace("names=0", "names=3") +
                 "[names]\r\n1=Clean\r\n5=Br\xC3\xBC"
                 "cke\r\n128=Solo\r\n");
  }

  void writesNothingMoreWithoutNames_data() {
    QTest::addColumn<bool>("withSettings");
    QTest::newRow("a full backup") << true;
    QTest::newRow("the tables alone: the bytes of Save as File") << false;
  }
  void writesNothingMoreWithoutNames() {
    QFETCH(bool, withSettings);
    const auto settings = withSettings ? std::optional(sampleSettings()) : std::nullopt;
    QByteArray expected = TvkFile::serialize(sampleTables());
    if (withSettings) expected = FullBackup::serialize(sampleTables(), sampleSettings());
    QCOMPARE(FullBackup::serialize(sampleTables(), settings, PresetNames()), expected);
    QVERIFY(!expected.contains("[names]"));
  }

  // Names that look like INI syntax to a reader of the other sections.
  void namesReadBackAsWrittenAndChangeNothingElse_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("a semicolon, which starts a comment for some readers") << "Lead ; boost";
    QTest::newRow("equals signs and a section header") << "[0] pc=255";
    QTest::newRow("a hash and quotes") << "#1 \"wet\"";
    QTest::newRow("the settings header") << "[settings]";
    QTest::newRow("forty characters") << QString(40, u'x');
    QTest::newRow("beyond Latin-1") << QString::fromUtf8("Überdrive \xE2\x9A\xA1");
  }
  void namesReadBackAsWrittenAndChangeNothingElse() {
    QFETCH(QString, name);
    QVERIFY2(PresetNames::problem(name).isEmpty(), qPrintable(PresetNames::problem(name)));
    const PresetNames names = namesOf({{0, name}, {64, name}});
    const QByteArray text = FullBackup::serialize(sampleTables(), sampleSettings(), names);

    const FullBackup::LoadResult backup = FullBackup::parse(text);
    QVERIFY2(backup.ok(), qPrintable(backup.message));
    QVERIFY2(backup.namesProblem.isEmpty(), qPrintable(backup.namesProblem));
    QVERIFY(backup.names == names);
    QVERIFY(*backup.tables == sampleTables());
    QVERIFY(backup.settings == sampleSettings());
    // "Load from File" and the tables-only restore read the same tables as without names.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("named.tvk"));
    QVERIFY(UserFile::write(path, text));
    const TvkFile::LoadResult tvk = TvkFile::load(path);
    QVERIFY2(tvk.ok(), qPrintable(tvk.message));
    QVERIFY(*tvk.tables == sampleTables());
    const TvkFile::LoadResult tvkOnlyNames =
        TvkFile::parse(TvkFile::serialize(sampleTables()) + names.section());
    QVERIFY(*tvkOnlyNames.tables == sampleTables());
    QVERIFY(!FullBackup::parse(TvkFile::serialize(sampleTables()) + names.section()).settings);
  }

  // A restore has no use for names: a section it cannot take as written is reported beside
  // the file, which stays a file the restore takes.
  void reportsASectionThatCannotBeTakenAsWritten_data() {
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QString>("problem");
    QTest::newRow("preset 0") << QByteArray("0=Zero\r\n") << "\"0\" is not a preset number";
    QTest::newRow("preset 129") << QByteArray("129=Past\r\n") << "\"129\" is not a preset number";
    QTest::newRow("a leading zero") << QByteArray("05=Five\r\n") << "\"05\" is not a preset number";
    QTest::newRow("a preset named twice")
        << QByteArray("5=A\r\n5=B\r\n") << "preset 5 is named twice";
    QTest::newRow("a line without a name")
        << QByteArray("Solo\r\n") << "\"Solo\" is not a preset number and a name";
    QTest::newRow("forty-one characters") << "7=" + QByteArray(41, 'x') + "\r\n"
                                          << "preset 7 is longer than 40 characters";
    QTest::newRow("not UTF-8") << QByteArray(
                                      "8=Br\xFC"
                                      "cke\r\n")
                               << "preset 8 is not UTF-8";
    QTest::newRow("a control character")
        << QByteArray("9=a\tb\r\n") << "preset 9 holds a control or format character";
  }
  void reportsASectionThatCannotBeTakenAsWritten() {
    QFETCH(QByteArray, section);
    QFETCH(QString, problem);
    const QByteArray text =
        FullBackup::serialize(sampleTables(), sampleSettings()) + "[Names]\r\n" + section;
    const FullBackup::LoadResult backup = FullBackup::parse(text);
    QVERIFY2(backup.ok(), qPrintable(backup.message));
    QVERIFY2(backup.namesProblem.startsWith(QStringLiteral("[names]: ")),
             qPrintable(backup.namesProblem));
    QVERIFY2(backup.namesProblem.contains(problem), qPrintable(backup.namesProblem));
    QVERIFY(backup.settings == sampleSettings());
    QVERIFY(*TvkFile::parse(text).tables == sampleTables());
  }

  // An earlier version let format characters and separators into a name: such a file still
  // reads, whole, with them taken out; a name the rule refuses for anything else stays refused.
  void namesAnEarlierVersionWroteAreReadCleaned_data() {
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("problem");
    QTest::newRow("a turn of the writing direction") << QByteArray("Lead\xE2\x80\xAE") << "Lead"
                                                     << "";
    QTest::newRow("a joined emoji stays joined")
        << QByteArray("\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x8E\xA4")
        << QString::fromUtf8("\U0001F468\u200D\U0001F3A4") << "";
    QTest::newRow("a line separator between two words")
        << QByteArray("Clean\xE2\x80\xA8Lead") << "Clean Lead"
        << "";
    QTest::newRow("a paragraph separator at the end") << QByteArray("Clean\xE2\x80\xA9") << "Clean"
                                                      << "";
    QTest::newRow("nothing but a soft hyphen") << QByteArray("\xC2\xAD") << ""
                                               << "";
    QTest::newRow("a control character stays refused") << QByteArray("a\x01\xE2\x80\xAE") << ""
                                                       << "preset 2 holds a control";
  }
  void namesAnEarlierVersionWroteAreReadCleaned() {
    QFETCH(QByteArray, written);
    QFETCH(QString, read);
    QFETCH(QString, problem);
    const PresetNames::Read names = PresetNames::read("[names]\r\n2=" + written + "\r\n");
    QVERIFY2(names.problem.contains(problem), qPrintable(names.problem));
    QCOMPARE(names.problem.isEmpty(), problem.isEmpty());
    QCOMPARE(names.names.name(1), read);
    QCOMPARE(names.names.firstProblem(), QString());
  }

  void checksANameBeforeItIsWritten_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("problem");
    QTest::newRow("no name") << ""
                             << "";
    QTest::newRow("forty characters beyond the BMP")
        << QString::fromUtf8("\xF0\x9F\x8E\xB8").repeated(40) << "";
    QTest::newRow("forty-one characters") << QString(41, u'a') << "is longer than 40 characters";
    QTest::newRow("a line break") << "Clean\nLead"
                                  << "holds a control or format character or a line break";
    // As a loop's label: a name is shown in the same lists, headings and charts.
    QTest::newRow("a turn of the writing direction")
        << QString::fromUtf8("Lead\u202E") << "holds a control or format character or a line break";
    QTest::newRow("a zero-width space")
        << QString::fromUtf8("Le\u200Bad") << "holds a control or format character or a line break";
    QTest::newRow("a joined emoji") << QString::fromUtf8("\U0001F468\u200D\U0001F3A4") << "";
    QTest::newRow("a line separator") << QString::fromUtf8("Clean\u2028Lead")
                                      << "holds a control or format character or a line break";
    QTest::newRow("a space at its start") << " Clean"
                                          << "starts or ends with a space";
    QTest::newRow("a space at its end") << "Clean "
                                        << "starts or ends with a space";
  }
  void checksANameBeforeItIsWritten() {
    QFETCH(QString, name);
    QFETCH(QString, problem);
    QCOMPARE(PresetNames::problem(name), problem);
    if (!problem.isEmpty()) {
      QCOMPARE(namesOf({{2, name}}).firstProblem(), "the name of preset 3 " + problem);
    }
  }
};

QTEST_GUILESS_MAIN(BackupNamesTest)
#include "test_backup_names.moc"
