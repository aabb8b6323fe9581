// SPDX-License-Identifier: MIT
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "config/FullBackup.h"
#include "config/TvkFile.h"

using tarvik::PresetTables;
using tarvik::TvkFile;

namespace {

QByteArray readAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  return file.readAll();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

PresetTables identityDefaults() {
  PresetTables tables;
  tables.deselectAll();
  tables.defaultProgramChange();
  return tables;
}

// Settings as a device holds them, with the interlock group a cut can shorten (246 to 24).
tarvik::FullBackup::Settings lockedSettings() {
  tarvik::ConfigRecord record;
  record.lockMask = 246;
  return record.toBytes();
}

// A backup as the library exports it: the tables, the settings, two names and two labels.
QByteArray namedBackup() {
  tarvik::PresetNames names;
  names.setName(0, QStringLiteral("Chorus crunch"));
  names.setName(4, QStringLiteral("Solo"));
  tarvik::LoopLabels labels;
  labels.setLabel(0, QStringLiteral("Fuzz"));
  labels.setLabel(2, QStringLiteral("Delay"));
  return tarvik::FullBackup::serialize(identityDefaults(), lockedSettings(), names, labels);
}

}  // namespace

class TvkFileTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void startStateFileBytes() {
    PresetTables tables;
    tables.setMask(0, 0x05);
    tables.setCc(0, 0);
    tables.setPcRemap(0, 0);
    const QByteArray text = TvkFile::serialize(tables);
    QVERIFY(
        text.startsWith("[0]\r\npc=5\r\ncc=0\r\npcremap=0\r\n"
                        "[1]\r\npc=0\r\ncc=8\r\npcremap=-1\r\n[2]\r\n"));
    QVERIFY(text.endsWith("[127]\r\npc=0\r\ncc=8\r\npcremap=-1\r\n"));
    QCOMPARE(text.count("\r\n"), 128 * 4);
    QCOMPARE(text.count('\n'), 128 * 4);
    QCOMPARE(text.count("pc=0\r\ncc=8\r\npcremap=-1\r\n"), 127);
  }

  void saveAndLoadRestoreEverything() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    PresetTables tables;
    for (int row = 0; row < PresetTables::kRows; ++row) {
      tables.setMask(row, static_cast<std::uint8_t>(row * 7));
      tables.setCc(row, row % 10 == 9 ? -1 : row % 9);
      tables.setPcRemap(row, row % 3 == 0 ? -1 : (row * 5) % 129);
    }
    const QString path = dir.filePath("round trip.tvk");
    QVERIFY(TvkFile::save(path, tables));
    QCOMPARE(readAll(path), TvkFile::serialize(tables));
    const TvkFile::LoadResult loaded = TvkFile::load(path);
    QVERIFY(loaded.ok());
    QCOMPARE(*loaded.tables, tables);
    QCOMPARE(loaded.tables->cc(9), -1);
    QCOMPARE(loaded.tables->pcRemap(0), -1);
  }

  void saveReplacesAnOlderLongerFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("old.tvk");
    QVERIFY(writeAll(path, QByteArray(20000, 'x')));
    const PresetTables tables;
    QVERIFY(TvkFile::save(path, tables));
    QCOMPARE(readAll(path), TvkFile::serialize(tables));
  }

  void loadValues_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("cc");
    QTest::addColumn<int>("pcRemap");
    QTest::newRow("decimal") << QByteArray("[3]\npc=5\ncc=2\npcremap=9\n") << 5 << 2 << 9;
    QTest::newRow("all loops") << QByteArray("[3]\r\npc=255\r\n") << 255 << 0 << 3;
    QTest::newRow("hex 0x") << QByteArray("[3]\npc=0x81\n") << 0x81 << 0 << 3;
    QTest::newRow("hex 0X upper case digits") << QByteArray("[3]\npc=0X8F\n") << 0x8F << 0 << 3;
    QTest::newRow("hex dollar") << QByteArray("[3]\npc=$81\n") << 0x81 << 0 << 3;
    QTest::newRow("bits above the loops ignored") << QByteArray("[3]\npc=256\n") << 0 << 0 << 3;
    QTest::newRow("bit 8 and loop 1") << QByteArray("[3]\npc=257\n") << 1 << 0 << 3;
    QTest::newRow("text is the default")
        << QByteArray("[3]\npc=abc\ncc=x\npcremap=?\n") << 0 << 0 << 3;
    QTest::newRow("trailing garbage is the default")
        << QByteArray("[3]\npc=12abc\n") << 0 << 0 << 3;
    QTest::newRow("doubled hex prefix is the default")
        << QByteArray("[3]\npc=0x0x81\ncc=0X0x2\npcremap=0x0X05\n") << 0 << 0 << 3;
    QTest::newRow("dollar then 0x is the default")
        << QByteArray("[3]\npc=$0x81\ncc=$0X2\npcremap=$0x05\n") << 0 << 0 << 3;
    QTest::newRow("blank inside a number is the default")
        << QByteArray("[3]\npc=$ 81\ncc=- 2\npcremap=0x 05\n") << 0 << 0 << 3;
    QTest::newRow("empty value is the default")
        << QByteArray("[3]\npc=\ncc=\npcremap=\n") << 0 << 0 << 3;
    QTest::newRow("cc 12 has no selection") << QByteArray("[3]\ncc=12\n") << 0 << -1 << 3;
    QTest::newRow("cc -1 has no selection") << QByteArray("[3]\ncc=-1\n") << 0 << -1 << 3;
    QTest::newRow("pcremap 128 is none") << QByteArray("[3]\npcremap=128\n") << 0 << 0 << 128;
    QTest::newRow("pcremap -1 has no selection") << QByteArray("[3]\npcremap=-1\n") << 0 << 0 << -1;
    QTest::newRow("pcremap 129 has no selection")
        << QByteArray("[3]\npcremap=129\n") << 0 << 0 << -1;
    QTest::newRow("upper-case keys") << QByteArray("[3]\nPC=3\nCc=4\nPCREMAP=5\n") << 3 << 4 << 5;
    QTest::newRow("spaces around names and values")
        << QByteArray("[3]\n  pc = 6 \ncc =1\n") << 6 << 1 << 3;
    QTest::newRow("first of repeated keys counts")
        << QByteArray("[3]\npc=1\npc=2\n") << 1 << 0 << 3;
    QTest::newRow("comments are skipped")
        << QByteArray("; saved\n[3]\n# note\npc=7\n") << 7 << 0 << 3;
  }
  void loadValues() {
    QFETCH(QByteArray, text);
    QFETCH(int, mask);
    QFETCH(int, cc);
    QFETCH(int, pcRemap);
    const TvkFile::LoadResult loaded = TvkFile::parse(text);
    QVERIFY(loaded.ok());
    QCOMPARE(int(loaded.tables->mask(3)), mask);
    QCOMPARE(loaded.tables->cc(3), cc);
    QCOMPARE(loaded.tables->pcRemap(3), pcRemap);
  }

  void otherRowsTakeDefaults() {
    const TvkFile::LoadResult loaded = TvkFile::parse("[3]\r\npc=255\r\n");
    QVERIFY(loaded.ok());
    PresetTables expected = identityDefaults();
    expected.setMask(3, 0xFF);
    QCOMPARE(*loaded.tables, expected);
  }

  // A load fills what a cut or hand-edited file lacks with defaults; a whole read (restore,
  // import, diff) refuses the file instead, naming the first gap. Both count the same gaps. A
  // file cut where every section still reads has no gaps: its last line without a line end, or
  // a section shorter than the backup's head counts, tells the whole read.
  void gapsAreCountedAndRefusedByWholeReads_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("first");  // empty: no gaps
    QTest::addColumn<int>("incompleteRows");
    QTest::addColumn<QStringList>("unreadable");
    QTest::addColumn<QString>("refused");  // why a whole read refuses it; empty: taken
    const QByteArray whole = TvkFile::serialize(identityDefaults());
    QTest::newRow("a whole file") << whole << QString() << 0 << QStringList() << QString();
    QTest::newRow("cut after a whole row") << whole.left(400) << "section [14] is missing" << 114
                                           << QStringList() << "section [14] is missing";
    QTest::newRow("cut inside a row's last key")
        << whole.left(390) << "section [13] has no pcremap" << 115 << QStringList()
        << "section [13] has no pcremap";
    QTest::newRow("a header at the cut") << whole.left(406) << "section [14] has no pc" << 114
                                         << QStringList() << "section [14] has no pc";
    QByteArray unreadable = whole;
    unreadable.replace("[3]\r\npc=0", "[3]\r\npc=abc")
        .replace("[7]\r\npc=0\r\ncc=0", "[7]\r\npc=0\r\ncc=999");
    QTest::newRow("values that do not read back")
        << unreadable << "[3] pc=abc cannot be read" << 0 << QStringList{"[3] pc=abc", "[7] cc=999"}
        << "[3] pc=abc cannot be read";
    QByteArray outOfRange = whole;
    outOfRange.replace("[5]\r\npc=0", "[5]\r\npc=256").replace("pcremap=9\r\n", "pcremap=129\r\n");
    QTest::newRow("numbers the rows cannot hold")
        << outOfRange << "[5] pc=256 cannot be read" << 0
        << QStringList{"[5] pc=256", "[9] pcremap=129"} << "[5] pc=256 cannot be read";

    const QString inALine = "the file ends inside a line: it is cut short";
    PresetTables remapped = identityDefaults();
    remapped.setPcRemap(127, 74);
    const QByteArray tvk = TvkFile::serialize(remapped);
    QTest::newRow("a .tvk cut inside its last value, pcremap=74 read as 7")
        << tvk.chopped(3) << QString() << 0 << QStringList() << inALine;
    QTest::newRow("cut between CR and LF")
        << tvk.chopped(1) << QString() << 0 << QStringList() << inALine;
    QTest::newRow("LF line ends") << QByteArray(tvk).replace("\r\n", "\n") << QString() << 0
                                  << QStringList() << QString();
    const QByteArray backup = tarvik::FullBackup::serialize(remapped, lockedSettings());
    QTest::newRow("a backup cut inside its last setting, lockMask=246 read as 24")
        << backup.chopped(3) << QString() << 0 << QStringList() << inALine;
    QTest::newRow("a backup cut inside [settings") << backup.left(backup.indexOf("[settings]") + 6)
                                                   << QString() << 0 << QStringList() << inALine;
    QTest::newRow("a backup cut right before [settings]")
        << backup.left(backup.indexOf("[settings]")) << QString() << 0 << QStringList()
        << "[settings] holds 0 of the 20 entries written to it: the file is cut short";
    const QByteArray named = namedBackup();
    QTest::newRow("cut inside a name")
        << named.left(named.indexOf("=Solo") + 3) << QString() << 0 << QStringList() << inALine;
    QTest::newRow("cut after a whole name")
        << named.left(named.indexOf("5=Solo")) << QString() << 0 << QStringList()
        << "[names] holds 1 of the 2 entries written to it: the file is cut short";
    QTest::newRow("cut inside a label")
        << named.chopped(4) << QString() << 0 << QStringList() << inALine;
    QTest::newRow("a backup of an earlier version, without the head")
        << named.mid(named.indexOf("[0]")) << QString() << 0 << QStringList() << QString();
  }
  void gapsAreCountedAndRefusedByWholeReads() {
    QFETCH(QByteArray, text);
    QFETCH(QString, first);
    QFETCH(int, incompleteRows);
    QFETCH(QStringList, unreadable);
    QFETCH(QString, refused);
    const TvkFile::LoadResult loaded = TvkFile::parse(text);
    QVERIFY(loaded.ok());
    QCOMPARE(loaded.gaps.first, first);
    QCOMPARE(loaded.gaps.incompleteRows, incompleteRows);
    QCOMPARE(loaded.gaps.unreadable, unreadable);
    QVERIFY(tarvik::FullBackup::parse(text).ok());
    const tarvik::FullBackup::LoadResult strict = tarvik::FullBackup::parseWhole(text);
    QCOMPARE(strict.ok(), refused.isEmpty());
    QCOMPARE(strict.message, refused);
  }

  // A backup cut at any byte, inside a line or at its end, in the head, the tables, the
  // settings, the names or the labels, is refused by a whole read; only the whole file is taken.
  void everyCutOfABackupIsRefused() {
    const QByteArray named = namedBackup();
    QVERIFY(tarvik::FullBackup::parseWhole(named).ok());
    for (qsizetype size = 0; size < named.size(); ++size) {
      const tarvik::FullBackup::LoadResult cut = tarvik::FullBackup::parseWhole(named.left(size));
      if (cut.ok()) QFAIL(qPrintable(QStringLiteral("the first %1 bytes are taken").arg(size)));
    }
  }

  void theGapSummaryCountsRowsAndNamesTheFirstValues() {
    QByteArray text = TvkFile::serialize(identityDefaults()).left(400);
    for (int row = 0; row < 10; ++row) {
      text.replace("[" + QByteArray::number(row) + "]\r\npc=0",
                   "[" + QByteArray::number(row) + "]\r\npc=x");
    }
    QCOMPARE(TvkFile::parse(text).gaps.summary(),
             "114 of 128 rows missing or incomplete; values that could not be read: [0] pc=x, "
             "[1] pc=x, [2] pc=x, [3] pc=x, [4] pc=x, [5] pc=x, [6] pc=x, [7] pc=x, 2 more");
  }

  void fileWithoutPcRemapKeysLoadsIdentity() {
    PresetTables saved;
    saved.setMask(1, 0x10);
    QByteArray text = TvkFile::serialize(saved);
    text.replace("pcremap=-1\r\n", "");
    const TvkFile::LoadResult loaded = TvkFile::parse(text);
    QVERIFY(loaded.ok());
    QCOMPARE(int(loaded.tables->mask(1)), 0x10);
    QCOMPARE(loaded.tables->cc(1), 8);
    for (int row = 0; row < PresetTables::kRows; ++row) {
      QCOMPARE(loaded.tables->pcRemap(row), row);
    }
  }

  void refusedFiles_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("keys outside sections") << QByteArray("pc=5\ncc=1\n");
    QTest::newRow("only foreign sections") << QByteArray("[presets]\npc=5\n[128]\npc=1\n");
    QTest::newRow("leading zero is another section") << QByteArray("[03]\npc=5\n");
    QTest::newRow("not an ini file") << QByteArray("\x89PNG\r\n\x1a\n", 8);
  }
  void refusedFiles() {
    QFETCH(QByteArray, text);
    QTemporaryDir dir;
    const QString path = dir.filePath("foreign.tvk");
    QVERIFY(writeAll(path, text));
    const TvkFile::LoadResult loaded = TvkFile::load(path);
    QCOMPARE(loaded.error, TvkFile::LoadError::NoSections);
    QVERIFY(!loaded.tables);
    QVERIFY(loaded.message.contains(path));
  }

  void missingFileIsRefused() {
    QTemporaryDir dir;
    const QString path = dir.filePath("absent.tvk");
    const TvkFile::LoadResult loaded = TvkFile::load(path);
    QCOMPARE(loaded.error, TvkFile::LoadError::Unreadable);
    QVERIFY(!loaded.tables);
    QVERIFY(loaded.message.contains(path));
  }

  void directoryIsRefused() {
    QTemporaryDir dir;
    const TvkFile::LoadResult loaded = TvkFile::load(dir.path());
    QVERIFY(!loaded.ok());
  }

  void failedSaveKeepsTheOldFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.tvk");
    const QByteArray old = "[0]\r\npc=1\r\ncc=1\r\npcremap=1\r\n";
    QVERIFY(writeAll(path, old));

    // A file size limit binds root as well: the new contents cannot be written anywhere.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = 512;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool saved_ok = TvkFile::save(path, PresetTables{});
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!saved_ok);
    QCOMPARE(readAll(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.tvk"});
  }

  void saveBelowARegularFileFails() {
    QTemporaryDir dir;
    const QString blocker = dir.filePath("plain");
    QVERIFY(writeAll(blocker, "data"));
    QVERIFY(!TvkFile::save(blocker + "/inside.tvk", PresetTables{}));
    QCOMPARE(readAll(blocker), QByteArray("data"));
  }

  void saveOverADirectoryFails() {
    QTemporaryDir dir;
    const QString target = dir.filePath("folder.tvk");
    QVERIFY(QDir().mkdir(target));
    QVERIFY(!TvkFile::save(target, PresetTables{}));
    QVERIFY(QFileInfo(target).isDir());
  }
};

QTEST_APPLESS_MAIN(TvkFileTest)
#include "test_tvk_file.moc"
