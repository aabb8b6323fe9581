// SPDX-License-Identifier: MIT
// What the machine does while the flash owns the link, and that the bootloader's replies are
// never the machine's (the flash hears them itself, test_flash_replies); the replies arrive over
// the real link.
#include <QSignalSpy>
#include <QTest>

#include "MachineRig.h"

using namespace tarvik;
using namespace tarvik::test;

Q_DECLARE_METATYPE(Bytes)

class BootloaderRepliesTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  // While the flash owns the link, a stray reply must not put a download or a submit into the
  // bootloader session: it is only logged.
  void configurationRepliesAreIgnoredWhileFlashing_data() {
    QTest::addColumn<Bytes>("frame");
    QTest::addColumn<int>("code");
    QTest::newRow("identify") << frameOf({0xF0, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7}) << 1;
    QTest::newRow("presets") << buildReplyFrame(2, Bytes(kTableSize, 0x01)) << 2;
    QTest::newRow("config status") << frameOf({0xF0, 0x04, 0x0F, 0x0F, 0xF7}) << 4;
    QTest::newRow("presets status") << frameOf({0xF0, 0x05, 0x0F, 0x0F, 0xF7}) << 5;
    QTest::newRow("cc map acknowledged") << frameOf({0xF0, 0x07, 0xF7}) << 7;
    QTest::newRow("pc remap acknowledged") << frameOf({0xF0, 0x13, 0xF7}) << 19;
  }
  void configurationRepliesAreIgnoredWhileFlashing() {
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
  }

  // Whether or not the flash owns the link, a bootloader reply moves nothing in the machine: no
  // log line, no command, no chain. A confirmed write is the flash's to report.
  void bootloaderRepliesAreLeftToTheFlash_data() {
    QTest::addColumn<Bytes>("frame");
    QTest::addColumn<bool>("flashing");
    const std::vector<std::pair<const char*, Bytes>> frames{
        {"bootloader entered", frameOf({0xF0, 0x08, 0xF7})},
        {"page read-back", buildReplyFrame(9, Bytes(kFlashPageSize, 0xAB))},
        {"cut page read-back", buildReplyFrame(9, Bytes(100, 0xAB))},
        {"flash written", frameOf({0xF0, 0x11, 0xF7})},
    };
    for (const auto& [name, frame] : frames) {
      QTest::addRow("%s, flashing", name) << frame << true;
      QTest::addRow("%s, no flash", name) << frame << false;
    }
  }
  void bootloaderRepliesAreLeftToTheFlash() {
    QFETCH(Bytes, frame);
    QFETCH(bool, flashing);
    Rig rig;
    rig.device().setVersion(2, 0);
    QVERIFY(rig.connect());
    rig.events.clear();
    const std::size_t sent = rig.wire().size();
    rig.machine.setFlashOwnsLink(flashing);

    QVERIFY(rig.deliver(frame));
    QVERIFY(rig.events.all.isEmpty());
    QCOMPARE(rig.wire().size(), sent);
    QVERIFY(!rig.machine.chainRunning());
  }
};

QTEST_GUILESS_MAIN(BootloaderRepliesTest)
#include "test_bootloader_replies.moc"
