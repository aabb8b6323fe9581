// SPDX-License-Identifier: MIT
// What goes wrong around the library file is named for what it is: a full disk, a read-only
// folder and another program's lock are never called a damaged library, and the library opens
// with all it held once the cause is gone. A program writing to the library keeps no other
// from opening and reading it; only a write waits for it, and then says why it gave up.
#include <sys/mount.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>

#include "library/LibraryRig.h"
#include "library/SetupLibrary.h"

using namespace tarvik;
using namespace tarvik::test;

namespace {

// A small disk of its own (tmpfs), which the test fills or makes read-only. Needs the right to
// mount, which the tests have as root; without it the test is skipped and says so.
class SmallDisk {
 public:
  SmallDisk() {
    if (!dir_.isValid()) {
      problem_ = QStringLiteral("no temporary folder");
    } else if (::mount("tarvik-test", path().toLocal8Bit().constData(), "tmpfs", 0, "size=2m") !=
               0) {
      problem_ = QStringLiteral("cannot mount a small tmpfs here (%1)")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
  }
  ~SmallDisk() {
    if (problem_.isEmpty()) ::umount2(path().toLocal8Bit().constData(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  const QString& problem() const { return problem_; }
  QString path() const { return dir_.path(); }
  QString file(const QString& name) const { return dir_.filePath(name); }

  // Writes a file until no byte more fits.
  bool fill() {
    QFile filler(file(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    const QByteArray block(4096, '\0');
    while (filler.write(block) == block.size()) {
    }
    return true;
  }
  void empty() { QFile::remove(file(QStringLiteral("filler"))); }
  bool setReadOnly(bool readOnly) {
    const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
    return ::mount("tarvik-test", path().toLocal8Bit().constData(), "tmpfs", flags, "size=2m") == 0;
  }

 private:
  QTemporaryDir dir_;
  QString problem_;
};

// A connection of another program that holds the write lock until it is destroyed.
struct OtherWriter {
  explicit OtherWriter(const QString& path, const QStringList& first = {}) : raw(path) {
    error = raw.exec(first + QStringList{QStringLiteral("BEGIN IMMEDIATE"),
                                         QStringLiteral("DELETE FROM setups")});
  }
  RawDatabase raw;
  QString error;
};

bool storeOne(const QString& path, const QString& name) {
  SetupLibrary::Opened opened = SetupLibrary::open(path);
  return opened.library && opened.library->setups().store(sampleSetup(name, 1)).ok();
}

}  // namespace

class LibraryFaultsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void namesTheCauseAndNeverCallsItDamaged_data() {
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("step");  // "open" or "store" fails
    QTest::addColumn<QString>("reason");
    QTest::newRow("a full disk when opening") << "full"
                                              << "open"
                                              << "the disk is full";
    QTest::newRow("a full disk when storing") << "full"
                                              << "store"
                                              << "the disk is full";
    QTest::newRow("a read-only folder") << "readOnly"
                                        << "open"
                                        << "can only be read";
    QTest::newRow("a new library in a read-only folder") << "readOnlyNew"
                                                         << "open"
                                                         << "can only be read";
    QTest::newRow("another program's exclusive lock")
        << "exclusive"
        << "open"
        << "another program (or another configurator window) is writing";
  }
  void namesTheCauseAndNeverCallsItDamaged() {
    QFETCH(QString, cause);
    QFETCH(QString, step);
    QFETCH(QString, reason);
    SmallDisk disk;
    if (!disk.problem().isEmpty()) QSKIP(qPrintable(disk.problem()));
    const QString path = disk.file(QStringLiteral("library.sqlite"));
    if (cause != "readOnlyNew") QVERIFY(storeOne(path, QStringLiteral("kept")));

    std::unique_ptr<SetupLibrary> open;
    if (step == "store") {
      SetupLibrary::Opened opened = SetupLibrary::open(path);
      QVERIFY2(opened.library, qPrintable(opened.error));
      open = std::move(opened.library);
    }
    std::unique_ptr<OtherWriter> other;
    if (cause == "full") QVERIFY(disk.fill());
    if (cause.startsWith("readOnly")) QVERIFY(disk.setReadOnly(true));
    if (cause == "exclusive") {
      other = std::make_unique<OtherWriter>(path, QStringList{"PRAGMA locking_mode = EXCLUSIVE"});
      QCOMPARE(other->error, QString());
    }

    QString error;
    if (step == "open") {
      SetupLibrary::Opened opened = SetupLibrary::open(path, {}, 0);
      QVERIFY(!opened.library);
      error = opened.error;
    } else {
      error = open->setups().store(sampleSetup(QStringLiteral("new"), 2)).error;
    }
    QVERIFY2(error.startsWith(path + ": "), qPrintable(error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY2(!error.contains(QStringLiteral("damaged")), qPrintable(error));

    open.reset();
    other.reset();
    disk.empty();
    QVERIFY(disk.setReadOnly(false));
    SetupLibrary::Opened again = SetupLibrary::open(path);
    QVERIFY2(again.library, qPrintable(again.error));
    QCOMPARE(again.library->setups().list().value->size(), cause == "readOnlyNew" ? 0 : 1);
  }

  // Another program is inside a write; opening and reading go on at once beside it (a busy
  // timeout of 0 fails anything that would wait), and a write waits its timeout, then names
  // the holder.
  void readersGoOnBesideAWriterAndAWriteSaysWhoHoldsTheLock() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("library.sqlite"));
    QVERIFY(storeOne(path, QStringLiteral("kept")));
    auto other = std::make_unique<OtherWriter>(path);
    QCOMPARE(other->error, QString());

    SetupLibrary::Opened reader = SetupLibrary::open(path, {}, 0);
    QVERIFY2(reader.library, qPrintable(reader.error));
    const Result<QList<SetupSummary>> listed = reader.library->setups().list();
    QVERIFY2(listed.ok(), qPrintable(listed.error));
    QCOMPARE(listed.value->size(), 1);
    QVERIFY(reader.library->setups().setup(QStringLiteral("kept")).ok());
    QVERIFY(reader.library->history().list().ok());

    constexpr int kTimeoutMs = 300;
    SetupLibrary::Opened writer = SetupLibrary::open(path, {}, kTimeoutMs);
    QVERIFY2(writer.library, qPrintable(writer.error));
    QElapsedTimer waited;
    waited.start();
    const Outcome refused = writer.library->setups().store(sampleSetup(QStringLiteral("new"), 2));
    QVERIFY(waited.elapsed() >= kTimeoutMs);
    QVERIFY(!refused.ok());
    QVERIFY2(refused.error.contains(
                 QStringLiteral("another program (or another configurator window) is writing")),
             qPrintable(refused.error));
    QVERIFY2(refused.error.contains(QStringLiteral(" s for it to finish")),
             qPrintable(refused.error));

    other.reset();
    QVERIFY(writer.library->setups().store(sampleSetup(QStringLiteral("new"), 2)).ok());
  }
};

QTEST_GUILESS_MAIN(LibraryFaultsTest)
#include "test_library_faults.moc"
