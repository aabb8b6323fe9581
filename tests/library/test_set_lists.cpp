// SPDX-License-Identifier: MIT
// Set lists in the library: kept whole and in order, refused for what they hold, and brought
// into a library of the layout before them.
#include <QTemporaryDir>
#include <QTest>

#include "library/LibraryRig.h"
#include "library/Schema.h"

Q_DECLARE_METATYPE(tarvik::SetList)

using namespace tarvik;
using namespace tarvik::test;

namespace {

SetSong song(const QString& name, std::uint8_t mask, int pcRemap, int preset) {
  return {name,
          QStringLiteral("capo %1").arg(preset),
          {mask, pcRemap, QStringLiteral("P%1").arg(preset)},
          QStringLiteral("Rig"),
          preset,
          {}};
}

SetList friday() {
  return {QStringLiteral("Friday"),
          {song(QStringLiteral("Opener"), 0x81, 4, 9), song(QStringLiteral("Ballad"), 0, -1, 2),
           song(QStringLiteral("Closer"), 0xFF, PresetTables::kPcRemapNone, 128)}};
}

}  // namespace

class SetListTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void keepsSongsInOrderAndReplacesWhole() {
    QTemporaryDir dir;
    SetupLibrary::Opened opened = SetupLibrary::open(dir.filePath(QStringLiteral("l.sqlite")));
    QVERIFY2(opened.library, qPrintable(opened.error));
    SetListStore& lists = opened.library->setLists();
    SetList set = friday();
    set.songs[1].loopLabels = QStringLiteral("Fuzz\nDelay");
    QVERIFY(lists.save(set, IfExists::Refuse).ok());
    QCOMPARE(*lists.setList(QStringLiteral("Friday")).value, set);
    QVERIFY(!lists.save(set, IfExists::Refuse).ok());
    QVERIFY(lists.save({QStringLiteral("empty"), {}}, IfExists::Refuse).ok());
    QCOMPARE(lists.setList(QStringLiteral("empty")).value->songs.size(), 0);

    set.songs.removeFirst();
    std::swap(set.songs[0], set.songs[1]);
    QVERIFY(lists.save(set, IfExists::Replace).ok());
    QCOMPARE(*lists.setList(QStringLiteral("Friday")).value, set);
    const QList<SetListSummary> listed = *lists.list().value;
    QCOMPARE(listed.size(), 2);
    QCOMPARE(listed[0].name, QStringLiteral("empty"));
    QCOMPARE(listed[1].songs, 2);

    QVERIFY(!lists.rename(QStringLiteral("Friday"), QStringLiteral("empty")).ok());
    QVERIFY(lists.rename(QStringLiteral("Friday"), QStringLiteral("Saturday")).ok());
    QVERIFY(lists.remove(QStringLiteral("Saturday")).ok());
    QVERIFY(!lists.setList(QStringLiteral("Saturday")).ok());
    RawDatabase raw(dir.filePath(QStringLiteral("l.sqlite")));
    // The songs went with their list.
    QCOMPARE(raw.value("SELECT count(*) FROM set_songs").toInt(), 0);
  }

  // A song's preset named when names could hold format characters comes back without them, so
  // that the set stores again as it reads.
  void aPresetNameOfAnEarlierVersionReadsCleaned() {
    QTemporaryDir dir;
    SetupLibrary::Opened opened = SetupLibrary::open(dir.filePath(QStringLiteral("l.sqlite")));
    QVERIFY2(opened.library, qPrintable(opened.error));
    SetListStore& lists = opened.library->setLists();
    QVERIFY(lists.save(friday(), IfExists::Refuse).ok());
    {
      RawDatabase raw(dir.filePath(QStringLiteral("l.sqlite")));
      QCOMPARE(raw.exec({QString::fromUtf8("UPDATE set_songs SET preset_name = 'P9\u202E'")}),
               QString());
    }
    const Result<SetList> read = lists.setList(QStringLiteral("Friday"));
    QVERIFY2(read.ok(), qPrintable(read.error));
    QCOMPARE(read.value->songs[0].preset.name, QStringLiteral("P9"));
    QVERIFY(lists.save(*read.value, IfExists::Replace).ok());
  }

  void refusesWhatASetCannotHold_data() {
    QTest::addColumn<SetList>("set");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("song");
    SetList noName = friday();
    noName.name.clear();
    QTest::newRow("a set list without a name") << noName << "needs a name" << -1;
    SetList lineBreak = friday();
    lineBreak.songs[2].name = QStringLiteral("Close\nr");
    QTest::newRow("a song with a line break") << lineBreak << "U+000A" << 2;
    SetList preset = friday();
    preset.songs[1].sourcePreset = 129;
    QTest::newRow("a preset past 128") << preset << "129" << 1;
    SetList long129 = friday();
    while (long129.songs.size() <= kTableSize) long129.songs.append(long129.songs.first());
    QTest::newRow("more songs than presets") << long129 << "at most 128 songs" << -1;
  }
  void refusesWhatASetCannotHold() {
    QFETCH(SetList, set);
    QFETCH(QString, reason);
    QFETCH(int, song);
    int at = -2;
    QVERIFY2(SetListStore::problem(set, &at).contains(reason),
             qPrintable(SetListStore::problem(set)));
    QCOMPARE(at, song);
    QTemporaryDir dir;
    SetupLibrary::Opened opened = SetupLibrary::open(dir.filePath(QStringLiteral("l.sqlite")));
    QVERIFY(!opened.library->setLists().save(set, IfExists::Refuse).ok());
    QCOMPARE(opened.library->setLists().list().value->size(), 0);
  }

  // A library of layout 2 (setups and history, no set lists, no loop labels) opens, keeps its
  // setups, which read without labels and take them afterwards, and takes set lists.
  void upgradesLayout2() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("l.sqlite"));
    const Setup blues = sampleSetup(QStringLiteral("Blues"), 4);
    {
      SetupLibrary::Opened opened = SetupLibrary::open(path);
      QVERIFY(opened.library->setups().store(blues).ok());
    }
    {
      RawDatabase raw(path);
      QCOMPARE(raw.exec(kBackToLayout2), QString());
    }
    {
      SetupLibrary::Opened opened = SetupLibrary::open(path);
      QVERIFY2(opened.library, qPrintable(opened.error));
      SetupStore& setups = opened.library->setups();
      const Result<Setup> read = setups.setup(QStringLiteral("Blues"));
      QVERIFY2(read.ok(), qPrintable(read.error));
      QCOMPARE(read.value->bytes, blues.bytes.kept());
      QCOMPARE(read.value->names, blues.names);
      QVERIFY(read.value->labels.isEmpty());
      LoopLabels labels;
      labels.setLabel(0, QStringLiteral("Fuzz"));
      QVERIFY(setups.replace(QStringLiteral("Blues"), blues.bytes, blues.names, labels).ok());
      QCOMPARE(setups.setup(QStringLiteral("Blues")).value->labels, labels);
      QVERIFY(opened.library->setLists().save(friday(), IfExists::Refuse).ok());
      QCOMPARE(*opened.library->setLists().setList(QStringLiteral("Friday")).value, friday());
    }
    QCOMPARE(RawDatabase(path).value("PRAGMA user_version").toInt(), Schema::kVersion);
  }
};

QTEST_GUILESS_MAIN(SetListTest)
#include "test_set_lists.moc"
