// SPDX-License-Identifier: MIT
#include "app/EventLog.h"

#include <QListWidget>
#include <QTest>

class EventLogTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void formatsTimeStamp_data() {
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("line");
    QTest::newRow("leading zeros everywhere") << QTime(9, 5, 3, 7) << "abc" << "[09:05:03.007] abc";
    QTest::newRow("last millisecond of the day")
        << QTime(23, 59, 59, 999) << "x" << "[23:59:59.999] x";
    QTest::newRow("empty message keeps the space") << QTime(0, 0, 0, 0) << "" << "[00:00:00.000] ";
  }
  void formatsTimeStamp() {
    QFETCH(QTime, time);
    QFETCH(QString, message);
    QFETCH(QString, line);
    QCOMPARE(tarvik::logLine(time, message), line);
  }

  void newestLineIsSelectedAndRawLinesDoNotMoveSelection() {
    QListWidget list;
    tarvik::EventLog log(list);
    for (int i = 0; i < 500; ++i) log.addLog(QString::number(i));
    QCOMPARE(list.count(), 500);
    QCOMPARE(list.currentRow(), 499);
    QVERIFY(list.item(0)->text().endsWith(QStringLiteral("] 0")));
    QVERIFY(list.item(499)->text().endsWith(QStringLiteral("] 499")));
    log.appendRaw(QString());
    log.appendRaw(QString());
    QCOMPARE(list.count(), 502);
    QCOMPARE(list.item(501)->text(), QString());
    QCOMPARE(list.currentRow(), 499);
  }
};

QTEST_MAIN(EventLogTest)
#include "test_event_log.moc"
