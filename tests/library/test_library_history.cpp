// SPDX-License-Identifier: MIT
// The device history: a snapshot equal to the newest one is not stored again, the newest 1,000
// are kept, and a snapshot comes back with its time, its event and every byte.
#include <QTemporaryDir>
#include <QTest>

#include "library/LibraryRig.h"
#include "library/SetupLibrary.h"

using namespace tarvik;
using namespace tarvik::test;

class LibraryHistoryTest : public QObject {
  Q_OBJECT

  FreshLibrary fresh_;
  DrivenClock& clock_ = fresh_.clock;

  DeviceHistory& history() { return fresh_.library->history(); }

 private Q_SLOTS:
  void init() {
    const QString error = fresh_.open();
    QVERIFY2(error.isEmpty(), qPrintable(error));
  }
  void cleanup() { fresh_.library.reset(); }

  void storesASnapshotUnlessItEqualsTheNewest_data() {
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("stored");
    QTest::newRow("the same blocks again, after another event") << "same" << false;
    QTest::newRow("one byte of a table differs") << "table" << true;
    QTest::newRow("one byte of the settings differs") << "setting" << true;
    QTest::newRow("the same tables without the settings") << "noSettings" << true;
    // The backup before a flash is found by its event, not hidden behind an equal download.
    QTest::newRow("the same blocks, marked") << "marked" << true;
  }
  void storesASnapshotUnlessItEqualsTheNewest() {
    QFETCH(QString, second);
    QFETCH(bool, stored);
    const ConfigBytes first = sampleBytes(1);
    ConfigBytes next = first;
    if (second == "table") next.pcRemap[127] ^= 0x01;
    if (second == "setting") (*next.settings)[19] ^= 0x80;
    if (second == "noSettings") next.settings.reset();

    QCOMPARE(history().add(QStringLiteral("download"), first).value, std::optional(true));
    clock_.advance();
    if (second == "marked") {
      const Result<qint64> marked =
          history().addMarked(QStringLiteral("before firmware 2.0"), next);
      QVERIFY2(marked.ok(), qPrintable(marked.error));
      QCOMPARE(history().snapshot(*marked.value).value->event,
               QStringLiteral("before firmware 2.0"));
    } else {
      const Result<bool> added = history().add(QStringLiteral("submit"), next);
      QVERIFY2(added.ok(), qPrintable(added.error));
      QCOMPARE(*added.value, stored);
    }
    QCOMPARE(history().list().value->size(), stored ? 2 : 1);
  }

  // Only the newest counts: going back to an earlier state is a change worth keeping.
  void storesAReturnToAnOlderState() {
    QVERIFY(*history().add(QStringLiteral("download"), sampleBytes(1)).value);
    QVERIFY(*history().add(QStringLiteral("submit"), sampleBytes(2)).value);
    QVERIFY(*history().add(QStringLiteral("restore"), sampleBytes(1)).value);
    QCOMPARE(history().list().value->size(), 3);
  }

  void listsNewestFirstAndReturnsEveryByte() {
    const QDateTime firstTime = clock_.now;
    QVERIFY(*history().add(QStringLiteral("download"), sampleBytes(1)).value);
    const QDateTime secondTime = clock_.advance(60000);
    QVERIFY(*history().add(QStringLiteral("restore"), sampleBytes(2, false)).value);

    const QList<SnapshotSummary> list = *history().list().value;
    QCOMPARE(list.size(), 2);
    QCOMPARE(list[0].event, QStringLiteral("restore"));
    QCOMPARE(list[0].time, secondTime);
    QCOMPARE(list[1].event, QStringLiteral("download"));
    QCOMPARE(list[1].time, firstTime);
    QVERIFY(list[0].id > list[1].id);

    const Result<Snapshot> older = history().snapshot(list[1].id);
    QVERIFY2(older.ok(), qPrintable(older.error));
    QVERIFY(older.value->bytes == sampleBytes(1).kept());
    QCOMPARE(older.value->event, QStringLiteral("download"));
    QVERIFY(history().snapshot(list[0].id).value->bytes == sampleBytes(2, false).kept());
    QVERIFY(!history().snapshot(list[0].id + 100).ok());
  }

  // The newest kLimit stay, whatever the clock did: a clock set back does not make the newest
  // snapshot look old.
  void keepsTheNewestThousand() {
    constexpr int kAdded = DeviceHistory::kLimit + 5;
    for (int i = 0; i < kAdded; ++i) {
      ConfigBytes bytes = sampleBytes(0);
      bytes.presets[0] = static_cast<std::uint8_t>(i);
      bytes.presets[1] = static_cast<std::uint8_t>(i >> 8);
      clock_.advance(i == kAdded - 1 ? -3600000 : 1000);
      const Result<bool> added = history().add(QStringLiteral("submit %1").arg(i), bytes);
      QVERIFY2(added.ok() && *added.value, qPrintable(added.error));
    }
    const QList<SnapshotSummary> list = *history().list().value;
    QCOMPARE(list.size(), DeviceHistory::kLimit);
    QCOMPARE(list.first().event, QStringLiteral("submit %1").arg(kAdded - 1));
    QCOMPARE(list.last().event, QStringLiteral("submit %1").arg(kAdded - DeviceHistory::kLimit));
  }

  void refusesASnapshotWithoutAnEvent() {
    const Result<bool> added = history().add(QString(), sampleBytes(1));
    QVERIFY(!added.ok());
    QVERIFY(history().list().value->isEmpty());
  }
};

QTEST_GUILESS_MAIN(LibraryHistoryTest)
#include "test_library_history.moc"
