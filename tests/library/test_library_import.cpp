// SPDX-License-Identifier: MIT
// Importing files: each .tvk or backup file becomes a setup named after it, all of them in one
// transaction. Any file a restore would refuse, or a name that is taken, refuses the whole
// import with the file and the reason, and the library stays as it was.
#include <QTemporaryDir>
#include <QTest>

#include "config/FullBackup.h"
#include "config/TvkFile.h"
#include "config/UserFile.h"
#include "library/LibraryRig.h"
#include "library/SetupLibrary.h"

using namespace tarvik;
using namespace tarvik::test;

namespace {

PresetTables tablesFor(int seed) {
  PresetTables tables;
  for (int row = 0; row < kTableSize; ++row) {
    tables.setMask(row, static_cast<std::uint8_t>(row + seed));
    tables.setCc(row, (row + seed) % PresetTables::kCcItems);
    tables.setPcRemap(row, (row * 3 + seed) % PresetTables::kPcRemapItems);
  }
  return tables;
}

FullBackup::Settings settingsFor(int seed) {
  ConfigRecord record;
  record.debounceTime = 10 + seed;
  record.magicFunction = 0;
  return record.toBytes();
}

}  // namespace

class LibraryImportTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  std::unique_ptr<SetupLibrary> library_;

  QString file(const QString& name) const { return dir_.filePath(name); }

 private Q_SLOTS:
  void init() {
    QVERIFY(dir_.isValid());
    QDir(dir_.path()).removeRecursively();
    QVERIFY(QDir().mkpath(dir_.filePath(QStringLiteral("other"))));
    SetupLibrary::Opened opened = SetupLibrary::open(file(QStringLiteral("library.sqlite")));
    QVERIFY2(opened.library, qPrintable(opened.error));
    library_ = std::move(opened.library);

    PresetNames names;
    names.setName(9, QStringLiteral("Solo"));
    QVERIFY(TvkFile::save(file(QStringLiteral("plain.tvk")), tablesFor(1)));
    QVERIFY(UserFile::write(file(QStringLiteral("full.backup.tvk")),
                            FullBackup::serialize(tablesFor(2), settingsFor(2), names)));
    QVERIFY(TvkFile::save(file(QStringLiteral("other/plain.tvk")), tablesFor(3)));
    QVERIFY(UserFile::write(file(QStringLiteral("bad settings.tvk")),
                            FullBackup::serialize(tablesFor(4), settingsFor(4))
                                .replace("debounceTime=14", "debounceTime=255")));
    QVERIFY(writeFile(file(QStringLiteral("notes.txt")), "just some notes\n"));
    QVERIFY(QFile::copy(file(QStringLiteral("plain.tvk")),
                        file(QString::fromUtf8("live\u202Ekvt.tvk"))));
    QVERIFY(UserFile::write(
        file(QStringLiteral("long name.tvk")),
        TvkFile::serialize(tablesFor(5)) + "[names]\r\n3=" + QByteArray(41, 'x') + "\r\n"));
    // Already in the library, with a note that a replacing import keeps.
    Setup existing = sampleSetup(QStringLiteral("plain"), 9, QStringLiteral("my note"));
    QVERIFY(library_->setups().store(existing).ok());
  }
  void cleanup() { library_.reset(); }

  void importsEachFileAsASetupNamedAfterIt() {
    const Result<QStringList> imported = library_->importFiles(
        {file(QStringLiteral("full.backup.tvk")), file(QStringLiteral("other/plain.tvk"))},
        IfExists::Replace);
    QVERIFY2(imported.ok(), qPrintable(imported.error));
    QCOMPARE(*imported.value, (QStringList{"full.backup", "plain"}));

    const Setup full = *library_->setups().setup(QStringLiteral("full.backup")).value;
    QVERIFY(full.bytes == ConfigBytes::fromTables(tablesFor(2), settingsFor(2)));
    QCOMPARE(full.names.name(9), QStringLiteral("Solo"));
    QCOMPARE(full.note, QString());
    const Setup plain = *library_->setups().setup(QStringLiteral("plain")).value;
    QVERIFY(plain.bytes == ConfigBytes::fromTables(tablesFor(3)));
    QVERIFY(plain.names.isEmpty());
    QCOMPARE(plain.note, QStringLiteral("my note"));
  }

  void refusesTheWholeImport_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("refused");  // the file named in the reason
    QTest::addColumn<QString>("reason");
    QTest::newRow("settings a restore would refuse")
        << QStringList{"full.backup.tvk", "bad settings.tvk"} << "bad settings.tvk"
        << "debounceTime=255 cannot be sent";
    QTest::newRow("a file that is no configuration")
        << QStringList{"full.backup.tvk", "notes.txt"} << "notes.txt"
        << "no preset sections";
    QTest::newRow("a file that is not there")
        << QStringList{"full.backup.tvk", "gone.tvk"} << "gone.tvk"
        << "gone.tvk: ";
    QTest::newRow("a name that is taken, last in the import")
        << QStringList{"full.backup.tvk", "other/plain.tvk"} << "other/plain.tvk"
        << "a setup named \"plain\" exists";
    QTest::newRow("two files of one name")
        << QStringList{"plain.tvk", "full.backup.tvk", "other/plain.tvk"} << "other/plain.tvk"
        << "also becomes a setup named \"plain\"";
    QTest::newRow("a preset name that cannot be kept")
        << QStringList{"full.backup.tvk", "long name.tvk"} << "long name.tvk"
        << "[names]: the name of preset 3 is longer than 40 characters";
    QTest::newRow("a file name that turns the writing direction")
        << QStringList{"full.backup.tvk", QString::fromUtf8("live\u202Ekvt.tvk")}
        << QString::fromUtf8("live\u202Ekvt.tvk") << "live<U+202E>kvt\" holds U+202E";
  }
  void refusesTheWholeImport() {
    QFETCH(QStringList, files);
    QFETCH(QString, refused);
    QFETCH(QString, reason);
    QStringList paths;
    for (const QString& name : files) paths.append(file(name));
    const QList<SetupSummary> before = *library_->setups().list().value;
    const ConfigBytes plainBefore = library_->setups().setup(QStringLiteral("plain")).value->bytes;

    const Result<QStringList> imported = library_->importFiles(paths, IfExists::Refuse);
    QVERIFY(!imported.ok());
    QVERIFY2(imported.error.startsWith(file(refused) + ": "), qPrintable(imported.error));
    QVERIFY2(imported.error.contains(reason), qPrintable(imported.error));
    QVERIFY(!imported.error.contains(u'\n'));
    QCOMPARE(*library_->setups().list().value, before);
    QVERIFY(library_->setups().setup(QStringLiteral("plain")).value->bytes == plainBefore);
  }
};

QTEST_GUILESS_MAIN(LibraryImportTest)
#include "test_library_import.moc"
