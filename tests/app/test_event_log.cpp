// SPDX-License-Identifier: MIT
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/EventLog.h"
#include "support/FakeDialogs.h"
#include "support/FileFaults.h"

class EventLogTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void formatsTimeStamp_data() {
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("line");
    QTest::newRow("leading zeros everywhere") << QTime(9, 5, 3, 7) << "abc"
                                              << "[09:05:03.007] abc";
    QTest::newRow("last millisecond of the day") << QTime(23, 59, 59, 999) << "x"
                                                 << "[23:59:59.999] x";
    QTest::newRow("empty message keeps the space") << QTime(0, 0, 0, 0) << ""
                                                   << "[00:00:00.000] ";
  }
  void formatsTimeStamp() {
    QFETCH(QTime, time);
    QFETCH(QString, message);
    QFETCH(QString, line);
    QCOMPARE(tarvik::logLine(time, message), line);
  }

  void newestLineIsSelectedAndRawLinesDoNotMoveSelection() {
    QListWidget list;
    tarvik::testing::FakeDialogs dialogs;
    tarvik::EventLog log(list, dialogs, nullptr);
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

  void contextMenuCopiesSavesAndClears() {
    QListWidget list;
    tarvik::testing::FakeDialogs dialogs;
    tarvik::EventLog log(list, dialogs, nullptr);
    QCOMPARE(list.contextMenuPolicy(), Qt::ActionsContextMenu);
    QStringList texts;
    for (const QAction* action : list.actions()) texts << action->text();
    QCOMPARE(texts, (QStringList{"Copy", "Save log...", "Clear"}));

    log.addLog(QStringLiteral("download presets..."));
    log.addLog(QStringLiteral("128 presets complete"));
    // Detail is one line in the list, shown on hover, and goes beneath it when copied or saved.
    const QStringList detail{QStringLiteral("ALSA lib seq_hw.c:466:(snd_seq_hw_open) failed"),
                             QStringLiteral("jack server is not running")};
    log.addLog(QStringLiteral("No MIDI ports are available"), detail);
    log.appendRaw(QString());
    QCOMPARE(list.count(), 4);
    QCOMPARE(list.item(2)->toolTip(), detail.join('\n'));
    const QString withDetail = list.item(2)->text() + "\n    " + detail[0] + "\n    " + detail[1];
    list.setCurrentRow(2);
    log.copyAction()->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), withDetail);
    list.setCurrentRow(0);
    log.copyAction()->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), list.item(0)->text());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.txt"));
    dialogs.nextFileName = path;
    log.saveAction()->trigger();
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(saved.readAll()),
             list.item(0)->text() + '\n' + list.item(1)->text() + '\n' + withDetail + "\n\n");
    QCOMPARE(dialogs.fileSuffixes, QStringList{QStringLiteral("txt")});
    QVERIFY(dialogs.errors.empty());

    // A folder cannot be written as a file: the error box says where.
    dialogs.nextFileName = dir.path();
    log.saveAction()->trigger();
    QCOMPARE(dialogs.errors.size(), std::size_t{1});
    QVERIFY(dialogs.errors.front().text.contains(dir.path()));

    // A disk that fills while the log is saved leaves the log saved before whole.
    const QByteArray savedBefore = tarvik::testing::fileBytes(path);
    for (int i = 0; i < 100; ++i) log.addLog(QStringLiteral("line %1").arg(i));
    dialogs.nextFileName = path;
    {
      const tarvik::testing::FileSizeLimit full(static_cast<rlim_t>(savedBefore.size()));
      log.saveAction()->trigger();
    }
    QCOMPARE(dialogs.errors.size(), std::size_t{2});
    QCOMPARE(tarvik::testing::fileBytes(path), savedBefore);

    log.clearAction()->trigger();
    QCOMPARE(list.count(), 0);
    log.addLog(QStringLiteral("after"));
    QCOMPARE(list.currentRow(), 0);
  }

  // The log draws its lines from layouts it keeps; what it shows must not differ from what the
  // list's own item delegate draws: selected and plain lines, a line too long for its row,
  // the list disabled, and the same lines again once the font changed.
  void drawnLinesLookAsTheItemDelegateDrawsThem() {
    const QStringList lines = {QStringLiteral("[09:05:03.007] connect to Tarvik..."),
                               QStringLiteral("[09:05:03.120] 128 presets complete"), QString(),
                               QStringLiteral("x").repeated(400),
                               QStringLiteral("[09:05:04.000] Tarvik found, Version 1.9")};
    tarvik::testing::FakeDialogs dialogs;
    auto make = [&](bool cached) {
      auto list = std::make_unique<QListWidget>();
      list->resize(420, 140);
      if (cached) {
        tarvik::EventLog log(*list, dialogs, nullptr);
      } else {
        list->setUniformItemSizes(true);
      }
      list->addItems(lines);
      list->setCurrentRow(1);
      return list;
    };
    const auto plain = make(false);
    const auto cached = make(true);
    QVERIFY(cached->itemDelegate() != plain->itemDelegate());
    QCOMPARE(cached->grab().toImage(), plain->grab().toImage());
    cached->setEnabled(false);
    plain->setEnabled(false);
    QCOMPARE(cached->grab().toImage(), plain->grab().toImage());
    QFont bigger = cached->font();
    bigger.setPointSize(bigger.pointSize() + 4);
    cached->setEnabled(true);
    plain->setEnabled(true);
    cached->setFont(bigger);
    plain->setFont(bigger);
    QCOMPARE(cached->grab().toImage(), plain->grab().toImage());
  }
};

QTEST_MAIN(EventLogTest)
#include "test_event_log.moc"
