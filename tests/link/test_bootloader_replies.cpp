// SPDX-License-Identifier: MIT
// The replies the flash waits on, and what the machine does with everything else while the
// flash owns the link; the replies arrive over the real link.
#include "MachineRig.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarvik;
using namespace tarvik::test;

Q_DECLARE_METATYPE(Bytes)

class BootloaderRepliesTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  // While the flash owns the link, a stray reply must not put a download or a submit into the
  // bootloader session; only the bootloader's own replies count.
  void onlyBootloaderRepliesActWhileFlashing_data() {
    QTest::addColumn<Bytes>("frame");
    QTest::addColumn<int>("code");
    QTest::newRow("identify") << frameOf({0xF0, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7}) << 1;
    QTest::newRow("presets") << buildReplyFrame(2, Bytes(kTableSize, 0x01)) << 2;
    QTest::newRow("config status") << frameOf({0xF0, 0x04, 0x0F, 0x0F, 0xF7}) << 4;
    QTest::newRow("presets status") << frameOf({0xF0, 0x05, 0x0F, 0x0F, 0xF7}) << 5;
    QTest::newRow("cc map acknowledged") << frameOf({0xF0, 0x07, 0xF7}) << 7;
    QTest::newRow("pc remap acknowledged") << frameOf({0xF0, 0x13, 0xF7}) << 19;
  }
  void onlyBootloaderRepliesActWhileFlashing() {
    QFETCH(Bytes, frame);
    QFETCH(int, code);
    Rig rig;
    rig.machine.setFlashOwnsLink(true);
    const PresetTables before = rig.configuration.tables();
    QVERIFY(rig.deliver(frame));
    QVERIFY(rig.wire().empty());
    QCOMPARE(rig.events.all,
             QStringList{QStringLiteral("log:reply %1 from Tarvik ignored while the firmware is "
                                        "flashed")
                             .arg(code)});
    QVERIFY(!rig.machine.chainRunning());
    QVERIFY(rig.configuration.tables() == before);

    QVERIFY(rig.deliver(frameOf({0xF0, 0x08, 0xF7})));
    QVERIFY(rig.machine.bootloaderFlag());
    QCOMPARE(rig.events.all.last(), QStringLiteral("bootloader"));
  }

  void shortPageReadBackEndsTheWaitOnlyDuringAFlash() {
    const Bytes cut = buildReplyFrame(9, Bytes(100, 0xAB));
    Rig flashing;
    flashing.machine.setFlashOwnsLink(true);
    QVERIFY(flashing.deliver(cut));
    QVERIFY(flashing.machine.bootloaderFlag());
    QCOMPARE(flashing.machine.pageReadBack(), QStringLiteral("AB").repeated(100));
    QCOMPARE(flashing.events.all, QStringList{"bootloader"});

    Rig idle;
    QVERIFY(idle.deliver(cut));
    QVERIFY(!idle.machine.bootloaderFlag());
    QVERIFY(idle.machine.pageReadBack().isEmpty());
    QVERIFY(idle.events.all.isEmpty());
  }

  void pageReadBackIsCompleteBeforeFlag() {
    Rig rig;
    Bytes page(kFlashPageSize);
    QString expected;
    for (int i = 0; i < kFlashPageSize; ++i) {
      page[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 2 + 1);
      expected += QStringLiteral("%1").arg(i * 2 + 1, 2, 16, QLatin1Char('0')).toUpper();
    }
    QCOMPARE(expected.left(6), QStringLiteral("010305"));
    QCOMPARE(expected.size(), 256);

    QString seenText;
    bool seenFlag = false;
    connect(&rig.machine, &TransferMachine::bootloaderReply, this, [&] {
      seenText = rig.machine.pageReadBack();
      seenFlag = rig.machine.bootloaderFlag();
    });
    rig.machine.clearBootloaderFlag();
    QVERIFY(rig.deliver(buildReplyFrame(9, page)));
    QVERIFY(seenFlag);
    QCOMPARE(seenText, expected);
    QCOMPARE(rig.machine.pageReadBack(), expected);
    QCOMPARE(rig.events.all, QStringList{"bootloader"});
    QVERIFY(rig.wire().empty());

    // Reply 8 raises the same flag and leaves the read-back alone.
    rig.machine.clearBootloaderFlag();
    seenFlag = false;
    QVERIFY(rig.deliver(frameOf({0xF0, 0x08, 0xF7})));
    QVERIFY(seenFlag);
    QVERIFY(rig.machine.bootloaderFlag());
    QCOMPARE(rig.machine.pageReadBack(), expected);
  }

  void hexDigitsAreUpperCase() {
    Rig rig;
    Bytes page(kFlashPageSize, 0xAB);
    page[0] = 0x0A;
    page[1] = 0xFF;
    QVERIFY(rig.deliver(buildReplyFrame(9, page)));
    QVERIFY(rig.machine.pageReadBack().startsWith(QStringLiteral("0AFFABAB")));
  }

  // Reply 17 only reports: hiding the tabs and the empty log lines are the window's business.
  void flashWrittenOnlyLogsAndReports() {
    Rig rig;
    rig.device().setVersion(2, 0);
    QVERIFY(rig.connect());
    rig.events.clear();

    QVERIFY(rig.deliver(frameOf({0xF0, 0x11, 0xF7})));
    QCOMPARE(rig.events.all, QStringList({"log:Firmware update successful! Reboot Tarvik...",
                                          "flashWritten"}));
    QVERIFY(!rig.machine.chainRunning());
    QCOMPARE(rig.commandCount(), 7);
  }
};

QTEST_GUILESS_MAIN(BootloaderRepliesTest)
#include "test_bootloader_replies.moc"
