// SPDX-License-Identifier: MIT
// Connect and download, the waits that give up, and what the dispatcher does with replies that
// come unasked or broken; the machine talks to the simulated Tarvik over the real link.
#include "MachineRig.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace tarvik;
using namespace tarvik::test;

Q_DECLARE_METATYPE(Bytes)

class TransferMachineTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void connectIdentifiesSevenTimesThenDownloadsEverything() {
    Rig rig;
    QCOMPARE(rig.defaultConnectTimeout, 1000);
    QVERIFY(rig.start(Chain::Connect));
    QCOMPARE(rig.events.all, QStringList{"running:on"});
    QVERIFY(rig.machine.connectTimer().isActive());
    QVERIFY(rig.machine.chainRunning());

    QVERIFY(rig.settle());

    QCOMPARE(rig.commands(),
             codesOf({Command::Identify, Command::Identify, Command::Identify, Command::Identify,
                      Command::Identify, Command::Identify, Command::Identify,
                      Command::DownloadPresets, Command::DownloadConfig, Command::DownloadCcMap,
                      Command::DownloadPcRemap}));
    QCOMPARE(rig.device().ignoredInputs(), 0);
    QCOMPARE(rig.machine.identifyCount(), 6);
    QCOMPARE(rig.machine.deviceVersion(), QStringLiteral("1.9"));
    QCOMPARE(rig.events.log, kCompleteConnectLog);
    QCOMPARE(rig.machine.unaskedReplies(), 0);

    // The report of the version comes before its log line; each block is reported once it is
    // in the configuration, and the chain ends once.
    const QStringList reports{"running:on",
                              "identified:1.9:same",
                              "received:Presets",
                              "received:Record",
                              "received:CcMap",
                              "received:PcRemap",
                              "running:off",
                              "finished:Connect"};
    QStringList withoutLog = rig.events.all;
    withoutLog.removeIf([](const QString& event) { return event.startsWith("log:"); });
    QCOMPARE(withoutLog, reports);
    QVERIFY(rig.events.all.indexOf("identified:1.9:same") <
            rig.events.all.indexOf("log:" + kCompleteConnectLog[0]));
    QVERIFY(!rig.machine.replyWatchdog().isActive());
    QVERIFY(!rig.machine.connectTimer().isActive());

    const TarvikContents& device = rig.device().contents();
    QCOMPARE(bytes(rig.configuration.presetPayload()), bytes(device.presets));
    QCOMPARE(bytes(rig.configuration.ccMapPayload()), bytes(device.ccMap));
    QCOMPARE(bytes(rig.configuration.pcRemapPayload()), bytes(device.pcRemap));
    QCOMPARE(bytes(rig.configuration.recordBytes()), bytes(device.configRecord));

    // Eleven commands of two frames each; the last goes out as F0 0F 0F F7, F0 01 02 F7.
    const auto wire = rig.wire();
    QCOMPARE(wire.size(), std::size_t{22});
    QCOMPARE(wire[20], frameOf({0xF0, 0x0F, 0x0F, 0xF7}));
    QCOMPARE(wire[21], frameOf({0xF0, 0x01, 0x02, 0xF7}));
  }

  void configCountComesFromFrameLength() {
    Rig rig;
    rig.setFaults([](SimFaults& f) { f.answerFirst = 8; });  // DownloadConfig goes unanswered
    QVERIFY(rig.start(Chain::Connect));
    QVERIFY(rig.awaitCommands(9));
    Bytes record = bytes(knownContents(5).configRecord);
    record.push_back(0x77);  // a 45-byte reply 3
    QVERIFY(rig.deliver(buildReplyFrame(3, record)));
    QVERIFY(rig.events.log.contains(QStringLiteral("21 config items found")));
    record.pop_back();
    QCOMPARE(bytes(rig.configuration.recordBytes()), record);
    QCOMPARE(rig.commandsFrom(9), codesOf({Command::DownloadCcMap}));
  }

  void otherFirmwareVersionsAreRejected_data() {
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("version");
    QTest::newRow("older minor") << 1 << 8 << "1.8";
    QTest::newRow("two-digit minor is not a decimal fraction") << 1 << 10 << "1.10";
    QTest::newRow("newer major") << 2 << 0 << "2.0";
  }
  void otherFirmwareVersionsAreRejected() {
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, version);
    Rig rig;
    rig.device().setVersion(static_cast<std::uint8_t>(major), static_cast<std::uint8_t>(minor));
    const PresetTables before = rig.configuration.tables();
    QVERIFY(rig.connect());

    QCOMPARE(rig.commands(), std::vector<int>(7, int(Command::Identify)));
    // The chain is over before the report, whose handler may show a modal box; the log line
    // comes after it. Nothing calls the chain finished: the device was not read.
    const QString found = QStringLiteral("Tarvik found! Firmware-Version: ") + version;
    QCOMPARE(rig.events.all,
             QStringList({"running:on", "running:off", "identified:" + version + ":other",
                          "log:" + found}));
    QVERIFY(!rig.machine.replyWatchdog().isActive());
    QVERIFY(rig.configuration.tables() == before);

    // A further identify reply compares again and still sends nothing.
    rig.events.clear();
    QVERIFY(rig.deliver(buildReplyFrame(1, Bytes{std::uint8_t(major), std::uint8_t(minor)})));
    QCOMPARE(rig.commandCount(), 7);
    QCOMPARE(rig.events.all, QStringList({"identified:" + version + ":other", "log:" + found}));
  }

  void silentDeviceTimesOutAfterConnectInterval() {
    Rig rig;
    rig.setFaults([](SimFaults& f) { f.silent = true; });
    // Nothing can come before this time-out: the device never answers.
    rig.machine.setConnectTimeout(50);
    QSignalSpy timedOut(&rig.machine, &TransferMachine::connectTimedOut);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(rig.start(Chain::Connect));
    QVERIFY(timedOut.wait(kWait));
    QVERIFY(clock.elapsed() >= 45);
    // Idle before the report, so a box shown for it sees no chain running.
    QCOMPARE(rig.events.all, QStringList({"running:on", "running:off", "timedOut"}));
    QVERIFY(!rig.machine.connectTimer().isActive());
    QVERIFY(!rig.machine.chainRunning());
    QCOMPARE(rig.commands(), codesOf({Command::Identify}));

    // A reply that turns up after the time-out is still acted on: the handshake carries on.
    rig.setFaults([](SimFaults& f) { f.silent = false; });
    rig.tarvik().holdReplies(true);
    QVERIFY(rig.deliver(buildReplyFrame(1, Bytes{1, 9})));
    QCOMPARE(rig.machine.identifyCount(), 1);
    rig.tarvik().holdReplies(false);
    QVERIFY(rig.settle());
    QCOMPARE(rig.events.log, kCompleteConnectLog);
    QCOMPARE(timedOut.size(), 1);
  }

  void identifyReplyStopsConnectTimer() {
    Rig rig;
    rig.setFaults([](SimFaults& f) { f.answerFirst = 1; });
    QVERIFY(rig.start(Chain::Connect));
    QVERIFY(rig.machine.connectTimer().isActive());
    QVERIFY(rig.awaitCommands(2));
    QVERIFY(!rig.machine.connectTimer().isActive());
    QVERIFY(rig.machine.replyWatchdog().isActive());
    QVERIFY(rig.machine.chainRunning());
    QCOMPARE(rig.events.all, QStringList{"running:on"});
  }

  // The device takes the command but its reply is held until the watchdog has given up; then
  // the reply comes, late.
  void silentDeviceMidChainIsGivenUp_data() {
    QTest::addColumn<Chain>("chain");
    QTest::addColumn<int>("answers");
    QTest::addColumn<QString>("activity");
    QTest::addColumn<int>("pending");
    QTest::newRow("after first identify reply")
        << Chain::Connect << 1 << "identifying" << int(Command::Identify);
    QTest::newRow("waiting for presets")
        << Chain::Connect << 7 << "downloading presets" << int(Command::DownloadPresets);
    QTest::newRow("waiting for config")
        << Chain::Connect << 8 << "downloading config" << int(Command::DownloadConfig);
    QTest::newRow("waiting for cc map")
        << Chain::Connect << 9 << "downloading control changes" << int(Command::DownloadCcMap);
    QTest::newRow("waiting for pc remap")
        << Chain::Connect << 10 << "downloading program change remap table"
        << int(Command::DownloadPcRemap);
    QTest::newRow("submitting config")
        << Chain::SubmitConfig << 0 << "submitting config" << int(Command::SubmitConfig);
    QTest::newRow("submitting presets")
        << Chain::SubmitPresets << 0 << "submitting presets" << int(Command::SubmitPresets);
    QTest::newRow("submitting cc map")
        << Chain::SubmitPresets << 1 << "submitting control changes" << int(Command::SubmitCcMap);
    QTest::newRow("submitting pc remap")
        << Chain::SubmitPresets << 2 << "submitting program change remap table"
        << int(Command::SubmitPcRemap);
  }
  void silentDeviceMidChainIsGivenUp() {
    QFETCH(Chain, chain);
    QFETCH(int, answers);
    QFETCH(QString, activity);
    QFETCH(int, pending);
    Rig rig;
    // One try, so that one late reply stands for the abandoned chain (the tries are the
    // submits' test).
    rig.machine.setCare({0, 0});
    int held = 0;
    QObject::connect(&rig.tarvik(), &InProcessTarvik::replyHeld, &rig.tarvik(), [&] {
      if (++held <= answers) rig.tarvik().releaseHeld();
    });
    rig.tarvik().holdReplies(true);
    QVERIFY(rig.start(chain));
    QVERIFY(QTest::qWaitFor([&] { return held == answers + 1; }, kWait));
    // The device has answered and its reply is held: nothing else can happen first.
    QSignalSpy aborted(&rig.machine, &TransferMachine::chainAborted);
    rig.machine.setReplyWatchdog(0);
    QVERIFY(aborted.wait(kWait));

    const QString abortedEvent = "aborted:" + nameOf(chain) + ":NoReply:" + activity + ":";
    QCOMPARE(rig.events.all.mid(rig.events.all.size() - 3),
             QStringList({"log:no reply from Tarvik while " + activity + " - transfer aborted",
                          "running:off", abortedEvent}));
    QCOMPARE(rig.machine.step(), Step::Idle);
    QCOMPARE(rig.commands().back(), pending);

    // The device wakes up late: the abandoned chain must not go on behind the user's back.
    const std::size_t sent = rig.wire().size();
    const QStringList before = rig.events.all;
    QSignalSpy logged(&rig.machine, &TransferMachine::logLine);
    rig.tarvik().releaseHeld();
    QVERIFY(logged.wait(kWait));
    QCOMPARE(rig.wire().size(), sent);
    QCOMPARE(rig.events.all,
             before + QStringList{QStringLiteral("log:late reply %1 from Tarvik after the transfer "
                                                 "was aborted - ignored")
                                      .arg(pending)});
    QCOMPARE(rig.machine.step(), Step::Idle);

    // Starting the chain again is a new run, answered as usual.
    rig.tarvik().holdReplies(false);
    rig.machine.setReplyWatchdog(60000);
    QVERIFY(rig.start(chain));
    QVERIFY(rig.settle());
    // A submit after the give-up is confirmed, but not taken for stored: the device may have
    // read its start as the rest of the lost command.
    if (chain == Chain::Connect) {
      QCOMPARE(rig.events.log.last(), kCompleteConnectLog.last());
    } else {
      QVERIFY(rig.events.log.contains(QStringLiteral("transmission successful")));
      QVERIFY(rig.events.log.last().contains(QLatin1String("a command before went unanswered")));
    }
    QCOMPARE(rig.events.all.last(), "finished:" + nameOf(chain));
    QCOMPARE(rig.events.matching("aborted:").size(), 1);
  }

  void identifyReplyAfterChainRunsItAgain() {
    Rig rig;
    QVERIFY(rig.connect());
    const std::size_t first = rig.device().received().size();
    rig.events.clear();

    QVERIFY(rig.deliver(buildReplyFrame(1, Bytes{1, 9})));
    QVERIFY(rig.settle());
    QCOMPARE(rig.commandsFrom(first), codesOf({Command::DownloadPresets, Command::DownloadConfig,
                                               Command::DownloadCcMap, Command::DownloadPcRemap}));
    QCOMPARE(rig.events.log, kCompleteConnectLog);
    QCOMPARE(rig.machine.identifyCount(), 6);
    QCOMPARE(rig.events.all.last(), QStringLiteral("finished:Connect"));
  }

  void unsolicitedReplyContinuesItsChain_data() {
    QTest::addColumn<Bytes>("frame");
    QTest::addColumn<int>("next");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("presets ask for config")
        << buildReplyFrame(2, Bytes(kTableSize, 0x01)) << int(Command::DownloadConfig)
        << QStringList{"128 presets complete", "download config..."};
    QTest::newRow("config asks for cc map")
        << buildReplyFrame(3, Bytes(kConfigRecordSize, 0x01)) << int(Command::DownloadCcMap)
        << QStringList{"20 config items found", "download control changes..."};
    QTest::newRow("cc map asks for pc remap")
        << buildReplyFrame(6, Bytes(kTableSize, 0x01)) << int(Command::DownloadPcRemap)
        << QStringList{"control changes complete", "download programm change remap table..."};
    QTest::newRow("presets status sends cc map")
        << frameOf({0xF0, 0x05, 0x0F, 0x0F, 0xF7}) << int(Command::SubmitCcMap)
        << QStringList{"transmission successful", "submit control changes"};
    QTest::newRow("cc map acknowledged sends pc remap")
        << frameOf({0xF0, 0x07, 0xF7}) << int(Command::SubmitPcRemap)
        << QStringList{"submit programm change remap table"};
  }
  void unsolicitedReplyContinuesItsChain() {
    QFETCH(Bytes, frame);
    QFETCH(int, next);
    QFETCH(QStringList, log);
    Rig rig;
    rig.setFaults([](SimFaults& f) { f.silent = true; });
    QSignalSpy unasked(&rig.machine, &TransferMachine::unaskedReply);
    QVERIFY(rig.deliver(frame));
    QCOMPARE(rig.commands(), std::vector<int>{next});
    QCOMPARE(rig.events.log, log);
    // Another program asked for it: counted and reported once the machine has acted on it.
    QCOMPARE(rig.machine.unaskedReplies(), 1);
    QCOMPARE(unasked.size(), 1);
    QCOMPARE(unasked.front().front().toInt(), int(frame[1]));
    // Another program asked for it: counted and reported once the machine has acted on it.

    if (next == int(Command::SubmitCcMap)) {
      QCOMPARE(rig.payloadOf(Command::SubmitCcMap), bytes(rig.configuration.ccMapPayload()));
    }
    // Something now waits for the device, so the watchdog watches it.
    QVERIFY(rig.machine.chainRunning());
    QVERIFY(rig.machine.replyWatchdog().isActive());
  }

  void junkDuringChainChangesNothing_data() {
    QTest::addColumn<Bytes>("frame");
    QTest::newRow("not a sysex start") << frameOf({0x90, 0x05, 0x0F, 0x0F, 0xF7});
    QTest::newRow("code 0") << buildReplyFrame(0, Bytes(kTableSize, 0));
    QTest::newRow("code 10") << buildReplyFrame(10, Bytes(kTableSize, 0));
    QTest::newRow("code 16") << buildReplyFrame(16, Bytes(kTableSize, 0));
    QTest::newRow("code 20") << buildReplyFrame(20, Bytes(kTableSize, 0));
    QTest::newRow("code 255") << buildReplyFrame(255, Bytes(kTableSize, 0));
    QTest::newRow("status reply without status") << frameOf({0xF0, 0x05, 0xF7});
    QTest::newRow("identify without version") << frameOf({0xF0, 0x01, 0xF7});
    QTest::newRow("cut-off preset table") << buildReplyFrame(2, Bytes(100, 0));
    QTest::newRow("cut-off page read-back") << buildReplyFrame(9, Bytes(100, 0));
    // The bootloader's replies are the flash's, also when none runs.
    QTest::newRow("bootloader entered") << frameOf({0xF0, 0x08, 0xF7});
    QTest::newRow("page read-back") << buildReplyFrame(9, Bytes(kFlashPageSize, 0));
    QTest::newRow("flash written") << frameOf({0xF0, 0x11, 0xF7});
  }
  void junkDuringChainChangesNothing() {
    QFETCH(Bytes, frame);
    Rig rig;
    rig.setFaults([](SimFaults& f) { f.silent = true; });
    QVERIFY(rig.start(Chain::SubmitPresets));
    const QStringList before = rig.events.all;
    const std::size_t sent = rig.wire().size();

    QVERIFY(rig.deliver(frame));
    QCOMPARE(rig.events.all, before);
    QCOMPARE(rig.wire().size(), sent);
    QCOMPARE(rig.machine.step(), Step::SubmittingPresets);
    QVERIFY(rig.machine.replyWatchdog().isActive());
  }

  void chainsNeverInterleave() {
    Rig rig;
    rig.setFaults([](SimFaults& f) { f.silent = true; });
    QVERIFY(rig.start(Chain::SubmitPresets));
    const QStringList before = rig.events.all;
    const std::size_t sent = rig.wire().size();
    QVERIFY(!rig.start(Chain::Connect));
    QVERIFY(!rig.start(Chain::SubmitConfig));
    QVERIFY(!rig.start(Chain::SubmitPresets));
    QCOMPARE(rig.events.all, before);
    QCOMPARE(rig.wire().size(), sent);
    QVERIFY(!rig.machine.connectTimer().isActive());
  }

  void flashOwningTheLinkRefusesEveryChain() {
    Rig rig;
    rig.machine.setFlashOwnsLink(true);
    QVERIFY(!rig.start(Chain::Connect));
    QVERIFY(!rig.start(Chain::SubmitConfig));
    QVERIFY(!rig.start(Chain::SubmitPresets));
    QVERIFY(rig.events.all.isEmpty());
    QVERIFY(rig.wire().empty());
    QVERIFY(!rig.machine.chainRunning());
    // Given back, the link takes chains again.
    rig.machine.setFlashOwnsLink(false);
    QVERIFY(rig.start(Chain::SubmitConfig));
    QVERIFY(rig.settle());
    QCOMPARE(rig.events.all.last(), QStringLiteral("finished:SubmitConfig"));
  }

  void lostPortEndsTheChain() {
    Rig rig;
    rig.setFaults([](SimFaults& f) { f.silent = true; });
    QVERIFY(rig.start(Chain::SubmitConfig));
    rig.machine.abortForLostPort(QStringLiteral("Tarvik MIDI"));
    QCOMPARE(rig.events.all.mid(rig.events.all.size() - 3),
             QStringList({"log:MIDI port Tarvik MIDI vanished while submitting config - transfer "
                          "aborted",
                          "running:off", "aborted:SubmitConfig:PortGone:submitting config:Tarvik MIDI"}));
    QVERIFY(!rig.machine.replyWatchdog().isActive());
    // With nothing running there is nothing to end.
    const QStringList before = rig.events.all;
    rig.machine.abortForLostPort(QStringLiteral("Tarvik MIDI"));
    QCOMPARE(rig.events.all, before);
  }
};

QTEST_GUILESS_MAIN(TransferMachineTest)
#include "test_transfer_machine.moc"
