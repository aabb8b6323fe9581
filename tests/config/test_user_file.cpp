// SPDX-License-Identifier: MIT
// The one reader and writer of the user's files: what it refuses before reading, what a full
// disk leaves behind, and how an error line shows an odd path.
#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "config/FullBackup.h"
#include "config/TvkFile.h"
#include "config/UserFile.h"
#include "support/FileFaults.h"

using namespace tarvik;
using tarvik::testing::fileBytes;
using tarvik::testing::FileSizeLimit;

class UserFileTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QVERIFY(testing::makeFifo(dir_.filePath("fifo.tvk")));
    QVERIFY(QDir(dir_.path()).mkdir("folder.tvk"));
    QVERIFY(testing::makeHugeFile(dir_.filePath("huge.tvk"), 64 * UserFile::kMaxSize));
    QVERIFY(testing::makeHugeFile(dir_.filePath("just-too-large.tvk"), UserFile::kMaxSize + 1));
  }

  // Every file reader (load, restore, import, diff, flash) goes through the same check, which
  // must come before the first byte is read: opening a FIFO waits for a writer, and /dev/zero
  // never ends.
  void whatIsNoConfigurationFileIsRefusedUnread_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a FIFO, which would wait for a writer")
        << dir_.filePath("fifo.tvk") << "not a regular file";
    QTest::newRow("a device without end") << "/dev/zero"
                                          << "not a regular file";
    QTest::newRow("a folder") << dir_.filePath("folder.tvk") << "not a regular file";
    QTest::newRow("a file far too large") << dir_.filePath("huge.tvk") << "too large";
    QTest::newRow("one byte over the limit") << dir_.filePath("just-too-large.tvk") << "too large";
  }
  void whatIsNoConfigurationFileIsRefusedUnread() {
    QFETCH(QString, path);
    QFETCH(QString, reason);
    const FullBackup::LoadResult backup = FullBackup::load(path);
    QVERIFY(!backup.ok());
    QVERIFY2(backup.message.startsWith(path + ": ") && backup.message.contains(reason),
             qPrintable(backup.message));
    const TvkFile::LoadResult tvk = TvkFile::load(path);
    QVERIFY(!tvk.ok());
    QVERIFY2(tvk.message.contains(reason), qPrintable(tvk.message));
  }

  // Standard input has no size to look at: it is read up to the limit and no further.
  void aStreamIsReadUpToTheLimit_data() {
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("at the limit") << UserFile::kMaxSize << true;
    QTest::newRow("past the limit") << UserFile::kMaxSize + 1 << false;
  }
  void aStreamIsReadUpToTheLimit() {
    QFETCH(qint64, size);
    QFETCH(bool, accepted);
    QByteArray bytes(size, 'x');
    QBuffer stream(&bytes);
    QVERIFY(stream.open(QIODevice::ReadOnly));
    const UserFile::Read read = UserFile::read(stream, "standard input");
    QCOMPARE(read.ok(), accepted);
    if (accepted) QCOMPARE(read.bytes->size(), size);
    if (!accepted) QVERIFY2(read.error.startsWith("standard input: "), qPrintable(read.error));
  }

  // The disk fills before, during or at the end of the new contents: the old file stays whole
  // and no temporary file is left beside it.
  void aFullDiskLeavesTheOldFileWhole_data() {
    QTest::addColumn<int>("room");
    QTest::newRow("no room at all") << 0;
    QTest::newRow("room for part of the file") << 1000;
    QTest::newRow("room for all but the last byte") << 4999;
  }
  void aFullDiskLeavesTheOldFileWhole() {
    QFETCH(int, room);
    QTemporaryDir dir;
    const QString path = dir.filePath("rig.tvk");
    const QByteArray old = TvkFile::serialize(PresetTables{});
    QVERIFY(testing::putFile(path, old));
    bool written = true;
    QString error;
    {
      const FileSizeLimit full(static_cast<rlim_t>(room));
      written = UserFile::write(path, QByteArray(5000, 'n'), &error);
    }
    QVERIFY(!written);
    QVERIFY2(error.startsWith(path + ": "), qPrintable(error));
    QCOMPARE(fileBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"rig.tvk"});
    QVERIFY(UserFile::write(path, QByteArray(5000, 'n')));
    QCOMPARE(fileBytes(path), QByteArray(5000, 'n'));
  }

  void anOddPathStaysOnOneLine_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("shown");
    QTest::newRow("a plain path as it is") << "/home/me/my rig \"live\".tvk"
                                           << "/home/me/my rig \"live\".tvk";
    QTest::newRow("a line break") << "/tmp/a\nb.tvk"
                                  << "\"/tmp/a\\nb.tvk\"";
    QTest::newRow("a carriage return, a tab, a quote") << "/tmp/a\r\t\"b.tvk"
                                                       << "\"/tmp/a\\r\\t\\\"b.tvk\"";
    QTest::newRow("an escape sequence") << "/tmp/\x1b[2Jx.tvk"
                                        << "\"/tmp/\\u001b[2Jx.tvk\"";
    QTest::newRow("a Unicode line separator") << QString("/tmp/a") + QChar(0x2028) + "b.tvk"
                                              << "\"/tmp/a\\u2028b.tvk\"";
  }
  void anOddPathStaysOnOneLine() {
    QFETCH(QString, path);
    QFETCH(QString, shown);
    QCOMPARE(UserFile::shown(path), shown);
    const QString message = FullBackup::load(path).message;
    QVERIFY2(message.startsWith(shown + ": "), qPrintable(message));
  }
};

QTEST_APPLESS_MAIN(UserFileTest)
#include "test_user_file.moc"
