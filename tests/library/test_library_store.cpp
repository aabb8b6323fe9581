// SPDX-License-Identifier: MIT
// The setups of a library: what is stored comes back byte for byte, the list and its filter,
// every change with its times, the refusals, and the export as backup file bytes.
#include <QTemporaryDir>
#include <QTest>

#include "config/FullBackup.h"
#include "config/TvkFile.h"
#include "library/LibraryRig.h"
#include "library/SetupLibrary.h"

using namespace tarvik;
using namespace tarvik::test;

namespace {

QStringList namesOf(const QList<SetupSummary>& summaries) {
  QStringList names;
  for (const SetupSummary& summary : summaries) names.append(summary.name);
  return names;
}

}  // namespace

class LibraryStoreTest : public QObject {
  Q_OBJECT

  FreshLibrary fresh_;
  DrivenClock& clock_ = fresh_.clock;

  SetupStore& setups() { return fresh_.library->setups(); }

 private Q_SLOTS:
  void init() {
    const QString error = fresh_.open();
    QVERIFY2(error.isEmpty(), qPrintable(error));
  }
  void cleanup() { fresh_.library.reset(); }

  // Contents are kept as a backup holds them: the values the editors would clamp come back
  // clamped, also from a library of an earlier version that stored the device's bytes as sent.
  void keepsTheBackupForm_data() {
    QTest::addColumn<bool>("withSettings");
    QTest::addColumn<bool>("withNames");
    QTest::addColumn<bool>("earlierVersion");
    QTest::newRow("tables, settings and names") << true << true << false;
    QTest::newRow("the three tables alone") << false << false << false;
    QTest::newRow("the device's bytes in an earlier version's file") << true << false << true;
  }
  void keepsTheBackupForm() {
    QFETCH(bool, withSettings);
    QFETCH(bool, withNames);
    QFETCH(bool, earlierVersion);
    Setup setup = sampleSetup(QStringLiteral("Gig"), 5, QStringLiteral("two lines\nof note"));
    setup.bytes = sampleBytes(5, withSettings);
    if (!withNames) setup.names = {};
    QVERIFY(setup.bytes.ccMap[1] > PresetTables::kCcItems);  // one the editors would clamp
    QVERIFY(setups().store(setup).ok());
    if (earlierVersion) {
      RawDatabase raw(fresh_.dir.filePath(QStringLiteral("library.sqlite")));
      const auto hex = [](const auto& bytes) {
        return QString::fromLatin1(
            QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()))
                .toHex());
      };
      QCOMPARE(raw.exec({QStringLiteral("UPDATE setup_blocks SET ccmap = X'%1', settings = X'%2'")
                             .arg(hex(setup.bytes.ccMap), hex(*setup.bytes.settings))}),
               QString());
    }

    const Result<Setup> read = setups().setup(QStringLiteral("Gig"));
    QVERIFY2(read.ok(), qPrintable(read.error));
    QVERIFY(read.value->bytes == setup.bytes.kept());
    QCOMPARE(read.value->bytes.ccMap[1], std::uint8_t{0xFF});
    QVERIFY(read.value->names == setup.names);
    QCOMPARE(read.value->note, setup.note);
    QCOMPARE(read.value->created, clock_.now);
    QCOMPARE(read.value->changed, clock_.now);
  }

  void filtersByNameOrNoteInAnyLetterCase_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("listed");
    const QStringList all{"100% wet", "Clean Rhythm", "Lead Solo", QString::fromUtf8("Ärger")};
    QTest::newRow("nothing typed lists all, by name without regard to case") << "" << all;
    QTest::newRow("part of a name") << "lead" << QStringList{"Lead Solo"};
    QTest::newRow("upper case finds lower") << "RHYTHM" << QStringList{"Clean Rhythm"};
    QTest::newRow("part of a note") << "strat" << QStringList{"Clean Rhythm"};
    QTest::newRow("case beyond ASCII")
        << QString::fromUtf8("äR") << QStringList{QString::fromUtf8("Ärger")};
    QTest::newRow("a letter in several") << "e" << all;
    QTest::newRow("percent is a character, not a wildcard") << "%" << QStringList{"100% wet"};
    QTest::newRow("underscore is a character, not a wildcard") << "_" << QStringList{"Lead Solo"};
    QTest::newRow("no match") << "xyz" << QStringList{};
  }
  void filtersByNameOrNoteInAnyLetterCase() {
    QFETCH(QString, typed);
    QFETCH(QStringList, listed);
    QVERIFY(setups()
                .store(sampleSetup(QStringLiteral("Lead Solo"), 1, QStringLiteral("kemper_amp")))
                .ok());
    QVERIFY(
        setups()
            .store(sampleSetup(QStringLiteral("Clean Rhythm"), 2, QStringLiteral("for the STRAT")))
            .ok());
    QVERIFY(setups().store(sampleSetup(QString::fromUtf8("Ärger"), 3, QStringLiteral("e"))).ok());
    QVERIFY(setups().store(sampleSetup(QStringLiteral("100% wet"), 4, QStringLiteral("e"))).ok());
    const Result<QList<SetupSummary>> list = setups().list(typed);
    QVERIFY2(list.ok(), qPrintable(list.error));
    QCOMPARE(namesOf(*list.value), listed);
  }

  // The list a program holds follows what another program does to the same file, and its own
  // changes, between two calls.
  void theListFollowsEveryChangeToTheFile() {
    SetupLibrary::Opened other = SetupLibrary::open(fresh_.library->connection().path());
    QVERIFY2(other.library, qPrintable(other.error));
    QVERIFY(setups().store(sampleSetup(QStringLiteral("Mine"), 1)).ok());
    QCOMPARE(namesOf(*other.library->setups().list().value), QStringList{"Mine"});

    QVERIFY(setups().store(sampleSetup(QStringLiteral("More"), 2)).ok());
    QVERIFY(setups().setNote(QStringLiteral("Mine"), QStringLiteral("spare")).ok());
    QCOMPARE(namesOf(*other.library->setups().list().value), (QStringList{"Mine", "More"}));
    QCOMPARE(namesOf(*other.library->setups().list(QStringLiteral("SPARE")).value),
             QStringList{"Mine"});

    QVERIFY(other.library->setups().rename(QStringLiteral("More"), QStringLiteral("Less")).ok());
    QCOMPARE(namesOf(*other.library->setups().list().value), (QStringList{"Less", "Mine"}));
    QCOMPARE(namesOf(*setups().list().value), (QStringList{"Less", "Mine"}));
    QVERIFY(setups().remove(QStringLiteral("Less")).ok());
    QCOMPARE(namesOf(*other.library->setups().list().value), QStringList{"Mine"});
  }

  // Each change keeps the creation time and moves the change time; a copy is created anew.
  void changesKeepTheCreationTime() {
    const QDateTime created = clock_.now;
    QVERIFY(setups().store(sampleSetup(QStringLiteral("A"), 1, QStringLiteral("old note"))).ok());

    const QDateTime renamed = clock_.advance();
    QVERIFY(setups().rename(QStringLiteral("A"), QStringLiteral("B")).ok());
    QCOMPARE(namesOf(*setups().list().value), QStringList{"B"});
    QCOMPARE(setups().setup(QStringLiteral("B")).value->changed, renamed);
    // The filter follows the new name and keeps the note.
    QCOMPARE(namesOf(*setups().list(QStringLiteral("old note")).value), QStringList{"B"});

    const QDateTime noted = clock_.advance();
    QVERIFY(setups().setNote(QStringLiteral("B"), QStringLiteral("new note")).ok());
    QCOMPARE(namesOf(*setups().list(QStringLiteral("NEW")).value), QStringList{"B"});
    QVERIFY(setups().list(QStringLiteral("old")).value->isEmpty());

    PresetNames names;
    names.setName(41, QStringLiteral("Crunch"));
    const QDateTime named = clock_.advance();
    QVERIFY(setups().setPresetNames(QStringLiteral("B"), names).ok());
    Setup read = *setups().setup(QStringLiteral("B")).value;
    QVERIFY(read.names == names);
    QCOMPARE(read.changed, named);

    const QDateTime replaced = clock_.advance();
    QVERIFY(setups().replace(QStringLiteral("B"), sampleBytes(9, false), {}, {}).ok());
    read = *setups().setup(QStringLiteral("B")).value;
    QVERIFY(read.bytes == sampleBytes(9, false).kept());
    QVERIFY(read.names.isEmpty());
    QCOMPARE(read.note, QStringLiteral("new note"));
    QCOMPARE(read.created, created);
    QCOMPARE(read.changed, replaced);
    QVERIFY(renamed < noted && noted < named && named < replaced);

    const QDateTime copied = clock_.advance();
    QVERIFY(setups().duplicate(QStringLiteral("B"), QStringLiteral("B copy")).ok());
    const Setup copy = *setups().setup(QStringLiteral("B copy")).value;
    QVERIFY(copy.bytes == read.bytes);
    QCOMPARE(copy.note, read.note);
    QCOMPARE(copy.created, copied);
    QCOMPARE(setups().setup(QStringLiteral("B")).value->changed, replaced);

    QVERIFY(setups().remove(QStringLiteral("B")).ok());
    QCOMPARE(namesOf(*setups().list().value), QStringList{"B copy"});
    QVERIFY(!setups().setup(QStringLiteral("B")).ok());
  }

  void refusesWithoutChangingAnything_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("reason");
    QTest::newRow("storing a name that is taken") << "store Old"
                                                  << "a setup named \"Old\" exists";
    QTest::newRow("renaming onto a taken name") << "rename Other Old"
                                                << "a setup named \"Old\" exists";
    QTest::newRow("renaming what is not there") << "rename Gone New"
                                                << "no setup named \"Gone\"";
    QTest::newRow("copying onto a taken name") << "duplicate Other Old"
                                               << "exists";
    QTest::newRow("copying what is not there") << "duplicate Gone New"
                                               << "no setup named \"Gone\"";
    QTest::newRow("deleting what is not there") << "remove Gone"
                                                << "no setup named \"Gone\"";
    QTest::newRow("a note for what is not there") << "note Gone"
                                                  << "no setup named \"Gone\"";
    QTest::newRow("replacing what is not there") << "replace Gone"
                                                 << "no setup named \"Gone\"";
    QTest::newRow("an empty name") << "store "
                                   << "a setup needs a name";
    QTest::newRow("a name with a space at its end") << "rename Old Old_"
                                                    << "starts or ends with a space";
    QTest::newRow("a name with a zero-width space")
        << QString::fromUtf8("store Zero\u200Bwidth") << "\"Zero<U+200B>width\" holds U+200B";
    QTest::newRow("renaming to a name that turns the writing direction")
        << QString::fromUtf8("rename Old Old\u202Edlo") << "holds U+202E";
    QTest::newRow("copying to a name with a line separator")
        << QString::fromUtf8("duplicate Old Old\u2028copy") << "holds U+2028";
    QTest::newRow("a name with a no-break space")
        << QString::fromUtf8("store No\u00A0break") << "holds U+00A0";
    QTest::newRow("a name of 81 characters")
        << QStringLiteral("store ") + QString(80, u'x') + QString::fromUtf8("\u00E9")
        << "the name is 81 characters long; a setup name has at most 80";
    QTest::newRow("a preset name that is too long") << "names Old"
                                                    << "preset 3 is longer than 40";
  }
  void refusesWithoutChangingAnything() {
    QFETCH(QString, change);
    QFETCH(QString, reason);
    QVERIFY(setups().store(sampleSetup(QStringLiteral("Old"), 1, QStringLiteral("kept"))).ok());
    const Outcome other = setups().store(sampleSetup(QStringLiteral("Other"), 2));
    QVERIFY2(other.ok(), qPrintable(other.error));
    const QList<SetupSummary> before = *setups().list().value;
    const Setup oldBefore = *setups().setup(QStringLiteral("Old")).value;
    clock_.advance();

    const QStringList words = change.split(u' ');
    const QString verb = words[0];
    const QString first = words.value(1).replace(u'_', u' ');
    const QString second = words.value(2).replace(u'_', u' ');
    PresetNames tooLong;
    tooLong.setName(2, QString(PresetNames::kMaxLength + 1, u'x'));
    Outcome outcome;
    if (verb == "store") outcome = setups().store(sampleSetup(first, 7));
    if (verb == "rename") outcome = setups().rename(first, second);
    if (verb == "duplicate") outcome = setups().duplicate(first, second);
    if (verb == "remove") outcome = setups().remove(first);
    if (verb == "note") outcome = setups().setNote(first, QStringLiteral("x"));
    if (verb == "replace") outcome = setups().replace(first, sampleBytes(8), {}, {});
    if (verb == "names") outcome = setups().setPresetNames(first, tooLong);
    QVERIFY(!outcome.ok());
    QVERIFY2(outcome.error.contains(reason), qPrintable(outcome.error));
    QVERIFY(!outcome.error.contains(u'\n'));
    QCOMPARE(*setups().list().value, before);
    const Setup oldAfter = *setups().setup(QStringLiteral("Old")).value;
    QVERIFY(oldAfter.bytes == oldBefore.bytes && oldAfter.names == oldBefore.names);
  }

  // A name given before names were checked as they are now stays usable: listed, opened,
  // given new contents, renamed to a name that passes, copied and deleted. 80 characters pass.
  void aSetupNamedBeforeTheRulesStaysUsable() {
    const QString old = QString::fromUtf8("Evil\u202Eemit\u200B");
    const QString gone = QString::fromUtf8("Two\u2028lines");
    const QString longest = QString(79, u'x') + QString::fromUtf8("\u00E9");
    QVERIFY(setups().store(sampleSetup(longest, 1)).ok());
    QVERIFY(setups().store(sampleSetup(QStringLiteral("first"), 2)).ok());
    QVERIFY(setups().store(sampleSetup(QStringLiteral("second"), 3)).ok());
    {
      RawDatabase raw(fresh_.library->connection().path());
      QCOMPARE(raw.exec({"UPDATE setups SET name = '" + old + "' WHERE name = 'first'",
                         "UPDATE setups SET name = '" + gone + "' WHERE name = 'second'"}),
               QString());
    }
    QVERIFY(namesOf(*setups().list().value).contains(old));
    QVERIFY(setups().remove(gone).ok());
    QVERIFY(setups().setup(old).ok());
    QVERIFY(setups().replace(old, sampleBytes(3), {}, {}).ok());
    QVERIFY(setups().setNote(old, QStringLiteral("from before")).ok());
    QVERIFY(setups().duplicate(old, QStringLiteral("Copy")).ok());
    QVERIFY(setups().rename(old, QStringLiteral("Plain")).ok());
    QVERIFY(setups().setup(QStringLiteral("Plain")).value->bytes == sampleBytes(3).kept());
    QVERIFY(setups().remove(QStringLiteral("Plain")).ok());
    QCOMPARE(namesOf(*setups().list().value), (QStringList{"Copy", longest}));
  }

  // Preset names stored when a name could hold format characters and separators read with
  // them taken out, so that the setup's names can be stored again as they are read.
  void presetNamesOfAnEarlierVersionReadCleaned() {
    QVERIFY(setups().store(sampleSetup(QStringLiteral("Old"), 1)).ok());
    {
      RawDatabase raw(fresh_.library->connection().path());
      QCOMPARE(raw.exec({QString::fromUtf8("UPDATE setup_blocks SET names = 'Lead\u202E\n\n"
                                           "Clean\u2028Boost' WHERE setup_id = (SELECT id FROM "
                                           "setups WHERE name = 'Old')")}),
               QString());
    }
    const Result<Setup> old = setups().setup(QStringLiteral("Old"));
    QVERIFY2(old.ok(), qPrintable(old.error));
    QCOMPARE(old.value->names.name(0), QStringLiteral("Lead"));
    QCOMPARE(old.value->names.name(2), QStringLiteral("Clean Boost"));
    const Outcome again =
        setups().replace(QStringLiteral("Old"), sampleBytes(2), old.value->names, {});
    QVERIFY2(again.ok(), qPrintable(again.error));
  }

  // The export is what the backup writer makes of the same contents, then the names.
  void exportsTheBackupWritersBytesAndTheNames_data() {
    QTest::addColumn<bool>("withSettings");
    QTest::addColumn<bool>("withNames");
    QTest::newRow("a full backup with names") << true << true;
    QTest::newRow("a full backup without names") << true << false;
    QTest::newRow("the tables alone with names") << false << true;
    QTest::newRow("the tables alone: a plain .tvk file") << false << false;
  }
  void exportsTheBackupWritersBytesAndTheNames() {
    QFETCH(bool, withSettings);
    QFETCH(bool, withNames);
    Setup setup = sampleSetup(QStringLiteral("Rig"), 3);
    ConfigRecord record;
    record.debounceTime = 90;
    record.muteMask = 0x81;
    record.magicFunction = 0;  // "none"
    setup.bytes.settings = withSettings ? std::optional(record.toBytes()) : std::nullopt;
    if (!withNames) setup.names = {};
    QVERIFY(setups().store(setup).ok());
    const Result<QByteArray> exported = fresh_.library->exportSetup(QStringLiteral("Rig"));
    QVERIFY2(exported.ok(), qPrintable(exported.error));

    const PresetTables tables = setup.bytes.tables();
    QByteArray expected =
        withSettings ? FullBackup::serialize(tables, record.toBytes()) : TvkFile::serialize(tables);
    if (withNames) {
      // The head counts the names, so that a file cut after a whole name is known as cut.
      if (!withSettings) expected.prepend("[backup]\r\nsettings=0\r\nnames=0\r\nloops=0\r\n");
      expected.replace("names=0", "names=2") +=
          "[names]\r\n1=Clean 3\r\n128=Lead; wet = \"yes\"\r\n";
    }
    QCOMPARE(*exported.value, expected);

    // It reads back as the same setup, as far as a file holds one: the tables as the editors
    // take them.
    const FullBackup::LoadResult file = FullBackup::parse(*exported.value);
    QVERIFY2(file.ok(), qPrintable(file.message));
    QVERIFY(*file.tables == tables);
    QVERIFY(file.settings == setup.bytes.settings);
    QVERIFY(file.names == setup.names);
    QVERIFY(file.namesProblem.isEmpty());
  }

  // The file shows what the library holds, which is what a restore of it sends: settings the
  // device held otherwise come out as a backup writes them, and the file reads back whole.
  void exportsWhatARestoreSends() {
    Setup setup = sampleSetup(QStringLiteral("Raw"), 3);
    (*setup.bytes.settings)[1] = 200;  // no such MIDI channel
    QVERIFY(setups().store(setup).ok());
    const QByteArray exported = *fresh_.library->exportSetup(QStringLiteral("Raw")).value;
    QVERIFY(exported.contains("\r\nmidiChannel=255\r\n"));
    const FullBackup::LoadResult file = FullBackup::parse(exported);
    QVERIFY2(file.ok(), qPrintable(file.message));
    QVERIFY(file.settings == setup.bytes.kept().settings);
  }
};

QTEST_GUILESS_MAIN(LibraryStoreTest)
#include "test_library_store.moc"
