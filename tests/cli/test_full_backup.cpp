// SPDX-License-Identifier: MIT
// The full backup file: golden bytes, round trips, what a plain .tvk reader makes of it, and
// the [settings] sections that are refused because they would not restore as written.
#include <QTemporaryDir>
#include <QTest>

#include "config/FullBackup.h"
#include "config/TvkFile.h"

using namespace tarvik;

namespace {

FullBackup::Settings sampleSettings() {
  // Debounce 90, channel 3, omni, loops 1+3 muted, 5/6 ms, loop 8 momentary, on time 10,
  // "CC Message" on channel 2, CC 7 value 127, the switches, program 128 / "none", interlock 1+2.
  return {90, 2, 1, 5, 5, 6, 128, 10, 2, 1, 6, 127, 1, 0, 1, 127, 255, 1, 0, 3};
}

PresetTables sampleTables() {
  PresetTables tables;
  tables.setMask(0, 5);
  tables.setCc(0, 0);
  tables.setPcRemap(0, 0);
  tables.setMask(127, 0xFF);
  tables.setCc(127, 3);
  tables.setPcRemap(127, PresetTables::kPcRemapNone);
  return tables;
}

const QByteArray kSettingsSection =
    "[settings]\r\n"
    "debounceTime=90\r\nmidiChannel=2\r\nomniMode=1\r\nmuteMask=5\r\nmuteBeforeDelay=5\r\n"
    "muteAfterDelay=6\r\nswitchMask=128\r\nswitchOnTime=10\r\nmagicFunction=2\r\n"
    "magicChannel=1\r\nmagicChange=6\r\nmagicValue=127\r\nsendCcInIam=1\r\nbankExpander=0\r\n"
    "doublePressBypass=1\r\nbypassProgram=127\r\nexpressionCC=255\r\nboundlessBank=1\r\n"
    "ampRackMode=0\r\nlockMask=3\r\n";

QByteArray settingsText(const QByteArray& lines) { return "[settings]\r\n" + lines; }

// A whole settings section with one line replaced (or dropped, for an empty replacement).
QByteArray settingsWith(const QByteArray& key, const QByteArray& line) {
  QByteArray text;
  for (const QByteArray& existing : kSettingsSection.split('\n')) {
    const QByteArray trimmed = existing.trimmed();
    if (trimmed.isEmpty()) continue;
    if (trimmed.startsWith(key + '=')) {
      if (!line.isEmpty()) text += line + "\r\n";
    } else {
      text += trimmed + "\r\n";
    }
  }
  return text;
}

}  // namespace

class FullBackupTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void writesItsHeadTheTvkTextThenTheSettingsInWireOrder() {
    const QByteArray text = FullBackup::serialize(sampleTables(), sampleSettings());
    QCOMPARE(text, "[backup]\r\nsettings=20\r\nnames=0\r\nloops=0\r\n" +
                       TvkFile::serialize(sampleTables()) + kSettingsSection);
    QVERIFY(text.contains("\r\n[0]\r\npc=5\r\ncc=0\r\npcremap=0\r\n[1]\r\npc=0\r\ncc=8\r\n"));
  }

  void readsBackWhatItWrote() {
    const FullBackup::LoadResult read =
        FullBackup::parse(FullBackup::serialize(sampleTables(), sampleSettings()));
    QVERIFY2(read.ok(), qPrintable(read.message));
    QVERIFY(*read.tables == sampleTables());
    QVERIFY(read.settings.has_value());
    QVERIFY(*read.settings == sampleSettings());
  }

  // Settings the editors hold before any download (a Pin-20 function with no selection) are
  // written as a restore would send them, so that the program takes back every file it writes.
  void writesTheStartStateAsAFileItTakesBack() {
    const FullBackup::Settings start = ConfigRecord().toBytes();
    QCOMPARE(start[8], std::uint8_t{0xFF});
    const FullBackup::LoadResult read = FullBackup::parse(FullBackup::serialize({}, start));
    QVERIFY2(read.ok(), qPrintable(read.message));
    QCOMPARE((*read.settings)[8], std::uint8_t{0});
  }

  // The window's "Load from File" reads a full backup as the .tvk file it starts with.
  void aTvkReaderIgnoresTheSettings() {
    const TvkFile::LoadResult plain = TvkFile::parse(TvkFile::serialize(sampleTables()));
    const TvkFile::LoadResult full =
        TvkFile::parse(FullBackup::serialize(sampleTables(), sampleSettings()));
    QVERIFY(plain.ok());
    QVERIFY(full.ok());
    QVERIFY(*full.tables == *plain.tables);
    QVERIFY(*full.tables == sampleTables());
  }

  void aPlainTvkFileHasNoSettings() {
    const FullBackup::LoadResult read = FullBackup::parse(TvkFile::serialize(sampleTables()));
    QVERIFY(read.ok());
    QVERIFY(*read.tables == sampleTables());
    QVERIFY(!read.settings.has_value());
  }

  void settingsNamesIgnoreCase() {
    QByteArray section = kSettingsSection;
    section.replace("[settings]", "[Settings]").replace("debounceTime", "DEBOUNCETIME");
    const FullBackup::LoadResult read =
        FullBackup::parse(TvkFile::serialize(sampleTables()) + section);
    QVERIFY2(read.ok(), qPrintable(read.message));
    QVERIFY(*read.settings == sampleSettings());
  }

  void refusesSettingsThatWouldNotRestoreAsWritten_data() {
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QString>("named");
    QTest::newRow("a key is missing")
        << settingsText(settingsWith("lockMask", {})) << "lockMask is missing";
    QTest::newRow("an unknown key")
        << settingsText(settingsWith("lockMask", "lockMask=3\r\nlockmasks=1"))
        << "unknown key \"lockmasks\"";
    QTest::newRow("a key twice") << settingsText(
                                        settingsWith("omniMode", "omniMode=1\r\nomniMode=0"))
                                 << "omniMode appears twice";
    QTest::newRow("not a number") << settingsText(settingsWith("muteMask", "muteMask=five"))
                                  << "muteMask=five is not a number";
    QTest::newRow("above a byte") << settingsText(settingsWith("muteMask", "muteMask=256"))
                                  << "muteMask=256 is not a number";
    QTest::newRow("hexadecimal") << settingsText(settingsWith("muteMask", "muteMask=0x05"))
                                 << "muteMask=0x05 is not a number";
    QTest::newRow("negative") << settingsText(settingsWith("muteMask", "muteMask=-1"))
                              << "muteMask=-1 is not a number";
    QTest::newRow("debounce above its range")
        << settingsText(settingsWith("debounceTime", "debounceTime=255"))
        << "debounceTime=255 cannot be sent as it is (it would go out as 254)";
    QTest::newRow("no such channel") << settingsText(settingsWith("midiChannel", "midiChannel=16"))
                                     << "midiChannel=16 cannot be sent";
    QTest::newRow("on time zero") << settingsText(settingsWith("switchOnTime", "switchOnTime=0"))
                                  << "switchOnTime=0 cannot be sent";
    QTest::newRow("no such function")
        << settingsText(settingsWith("magicFunction", "magicFunction=7")) << "magicFunction=7";
    QTest::newRow("a switch that is neither on nor off")
        << settingsText(settingsWith("sendCcInIam", "sendCcInIam=2")) << "sendCcInIam=2";
    QTest::newRow("a CC-message value without that function")
        << settingsText(settingsWith("magicFunction", "magicFunction=1")) << "magicChannel=1";
    QTest::newRow("an empty section") << QByteArray("[settings]\r\nx\r\n") << "[settings]";
  }
  void refusesSettingsThatWouldNotRestoreAsWritten() {
    QFETCH(QByteArray, section);
    QFETCH(QString, named);
    const FullBackup::LoadResult read =
        FullBackup::parse(TvkFile::serialize(sampleTables()) + section);
    QVERIFY(!read.ok());
    QVERIFY2(read.message.contains(named), qPrintable(read.message));
  }

  void refusesWhatTvkFileRefuses() {
    const FullBackup::LoadResult read = FullBackup::parse(kSettingsSection);
    QVERIFY(!read.ok());
    QVERIFY2(read.message.contains(QStringLiteral("no preset sections")), qPrintable(read.message));
  }

  void savesAtomicallyAndNamesTheFileWhenItCannotBeRead() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("rig.tvk"));
    QVERIFY(FullBackup::save(path, sampleTables(), sampleSettings()));
    const FullBackup::LoadResult read = FullBackup::load(path);
    QVERIFY2(read.ok(), qPrintable(read.message));
    QVERIFY(*read.settings == sampleSettings());

    QVERIFY(!FullBackup::save(dir.filePath(QStringLiteral("missing/rig.tvk")), sampleTables(),
                              sampleSettings()));
    const FullBackup::LoadResult missing =
        FullBackup::load(dir.filePath(QStringLiteral("none.tvk")));
    QVERIFY(!missing.ok());
    QVERIFY(missing.message.startsWith(dir.filePath(QStringLiteral("none.tvk")) + ": "));
  }
};

QTEST_GUILESS_MAIN(FullBackupTest)
#include "test_full_backup.moc"
