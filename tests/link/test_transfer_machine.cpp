// SPDX-License-Identifier: MIT
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
    QSignalSpy running(&rig.machine, &TransferMachine::chainRunningChanged);
    rig.machine.resetIdentifyCount();
    QVERIFY(rig.machine.startConnect());
    QCOMPARE(rig.view.transcript.mid(0, 2), QStringList({"button:Connect:off", "cursor:busy"}));
    QVERIFY(rig.machine.connectTimer().isActive());
    QCOMPARE(rig.machine.connectTimer().interval(), TransferMachine::kConnectTimeoutMs);
    QVERIFY(rig.machine.chainRunning());

    QTRY_VERIFY_WITH_TIMEOUT(!rig.machine.chainRunning(), kWait);

    const std::vector<Command> expected{
        Command::Identify,      Command::Identify,        Command::Identify,
        Command::Identify,      Command::Identify,        Command::Identify,
        Command::Identify,      Command::DownloadPresets, Command::DownloadConfig,
        Command::DownloadCcMap, Command::DownloadPcRemap};
    QVERIFY(rig.device.commandSequence() == expected);
    QCOMPARE(rig.device.stray, 0);
    QCOMPARE(rig.machine.identifyCount(), 6);
    QCOMPARE(rig.view.log, kCompleteConnectLog);
    QCOMPARE(rig.view.version, QStringLiteral("1.9"));
    QCOMPARE(rig.view.transcriptMatching("tab:"),
             QStringList({"tab:2:on", "tab:3:on", "tab:4:on", "tab:5:on"}));
    QVERIFY(rig.view.boxes.empty());
    QVERIFY(rig.button(ChainButton::Connect));
    QVERIFY(!rig.view.busy);
    QVERIFY(!rig.machine.replyWatchdog().isActive());
    QCOMPARE(running.count(), 2);
    QCOMPARE(running.at(0).at(0).toBool(), true);
    QCOMPARE(running.at(1).at(0).toBool(), false);

    QVERIFY(rig.editors.appliedPresets == rig.device.presets);
    QVERIFY(rig.editors.appliedCcMap == rig.device.ccMap);
    QVERIFY(rig.editors.appliedPcRemap == rig.device.pcRemap);
    QVERIFY(rig.editors.appliedRecord.has_value());
    QCOMPARE(bytes(*rig.editors.appliedRecord), rig.device.record);

    // The last request goes out as F0 0F 0F F7, F0 01 02 F7.
    const auto& wire = rig.device.wire;
    QCOMPARE(Bytes(wire[wire.size() - 2].begin(), wire[wire.size() - 2].end()),
             frameOf({0xF0, 0x0F, 0x0F, 0xF7}));
    QCOMPARE(Bytes(wire.back().begin(), wire.back().end()), frameOf({0xF0, 0x01, 0x02, 0xF7}));
  }

  void configCountComesFromFrameLength() {
    Rig rig;
    rig.device.record.push_back(0x77);  // a 45-byte reply 3
    QVERIFY(rig.connect());
    QVERIFY(rig.view.log.contains(QStringLiteral("21 config items found")));
    QCOMPARE(bytes(*rig.editors.appliedRecord),
             Bytes(rig.device.record.begin(), rig.device.record.begin() + kConfigRecordSize));
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
    rig.device.major = static_cast<std::uint8_t>(major);
    rig.device.minor = static_cast<std::uint8_t>(minor);
    QVERIFY(rig.connect());

    QCOMPARE(rig.device.count(Command::Identify), 7);
    QCOMPARE(int(rig.device.commands.size()), 7);
    QCOMPARE(rig.view.boxes.size(), std::size_t{1});
    QCOMPARE(rig.view.boxes[0].caption, QStringLiteral("Error"));
    QCOMPARE(rig.view.boxes[0].text, kMismatchText);
    QCOMPARE(rig.view.log,
             QStringList{QStringLiteral("Tarvik found! Firmware-Version: ") + version});
    QCOMPARE(rig.view.version, version);
    QCOMPARE(rig.view.transcriptMatching("tab:"), QStringList{"tab:4:on"});
    // The box comes before the log line and the firmware tab.
    const int box = int(rig.view.transcript.indexOf("box:Error"));
    QVERIFY(box >= 0);
    QVERIFY(box < rig.view.transcript.indexOf("tab:4:on"));
    QVERIFY(box < rig.view.transcript.indexOf(QStringLiteral("log:") + rig.view.log[0]));
    QVERIFY(!rig.button(ChainButton::Connect));
    QVERIFY(!rig.view.busy);
    QVERIFY(!rig.machine.replyWatchdog().isActive());

    // A further identify reply compares again and still sends nothing.
    rig.machine.DoSysExData(rig.device.replyTo(Command::Identify));
    QCOMPARE(int(rig.device.commands.size()), 7);
    QCOMPARE(rig.view.boxes.size(), std::size_t{2});
    QVERIFY(!rig.button(ChainButton::Connect));
  }

  void silentDeviceTimesOutAfterConnectInterval() {
    Rig rig;
    rig.device.answersLeft = 0;
    rig.machine.setConnectTimeout(50);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(rig.machine.startConnect());
    QTRY_COMPARE_WITH_TIMEOUT(rig.view.boxes.size(), std::size_t{1}, kWait);
    QVERIFY(clock.elapsed() >= 45);
    QCOMPARE(rig.view.boxes[0].caption, QStringLiteral("Timeout!"));
    QCOMPARE(rig.view.boxes[0].text, QStringLiteral("No Tarvik found :("));
    QVERIFY(!rig.view.boxes[0].busyWhileShown);
    QVERIFY(rig.button(ChainButton::Connect));
    QVERIFY(!rig.view.busy);
    QVERIFY(rig.view.log.isEmpty());
    QVERIFY(!rig.machine.connectTimer().isActive());
    QVERIFY(!rig.machine.chainRunning());
    QCOMPARE(rig.device.count(Command::Identify), 1);

    // A reply that turns up after the box is still acted on: the handshake carries on.
    rig.device.answersLeft = -1;
    rig.machine.DoSysExData(rig.device.replyTo(Command::Identify));
    QCOMPARE(rig.machine.identifyCount(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(rig.view.log, kCompleteConnectLog, kWait);
    QCOMPARE(rig.view.boxes.size(), std::size_t{1});
  }

  void identifyReplyStopsConnectTimer() {
    Rig rig;
    rig.device.answersLeft = 1;
    QVERIFY(rig.machine.startConnect());
    QVERIFY(rig.machine.connectTimer().isActive());
    QTRY_COMPARE_WITH_TIMEOUT(rig.device.count(Command::Identify), 2, kWait);
    QVERIFY(!rig.machine.connectTimer().isActive());
    QVERIFY(rig.view.boxes.empty());
    QVERIFY(rig.view.busy);
    QVERIFY(!rig.button(ChainButton::Connect));
  }

  void silentDeviceMidChainIsGivenUp_data() {
    QTest::addColumn<QString>("chain");
    QTest::addColumn<int>("answers");
    QTest::addColumn<QString>("activity");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("pending");
    const int connect = int(ChainButton::Connect);
    const int config = int(ChainButton::SubmitConfig);
    const int presets = int(ChainButton::SubmitPresets);
    QTest::newRow("after first identify reply")
        << "connect" << 1 << "identifying" << connect << int(Command::Identify);
    QTest::newRow("waiting for presets")
        << "connect" << 7 << "downloading presets" << connect << int(Command::DownloadPresets);
    QTest::newRow("waiting for config")
        << "connect" << 8 << "downloading config" << connect << int(Command::DownloadConfig);
    QTest::newRow("waiting for cc map") << "connect" << 9 << "downloading control changes"
                                        << connect << int(Command::DownloadCcMap);
    QTest::newRow("waiting for pc remap")
        << "connect" << 10 << "downloading program change remap table" << connect
        << int(Command::DownloadPcRemap);
    QTest::newRow("submitting config")
        << "config" << 0 << "submitting config" << config << int(Command::SubmitConfig);
    QTest::newRow("submitting presets")
        << "presets" << 0 << "submitting presets" << presets << int(Command::SubmitPresets);
    QTest::newRow("submitting cc map")
        << "presets" << 1 << "submitting control changes" << presets << int(Command::SubmitCcMap);
    QTest::newRow("submitting pc remap")
        << "presets" << 2 << "submitting program change remap table" << presets
        << int(Command::SubmitPcRemap);
  }
  void silentDeviceMidChainIsGivenUp() {
    QFETCH(QString, chain);
    QFETCH(int, answers);
    QFETCH(QString, activity);
    QFETCH(int, button);
    QFETCH(int, pending);
    const auto chainButton = static_cast<ChainButton>(button);
    Rig rig;
    rig.device.answersLeft = answers;
    if (chain == "connect") {
      QVERIFY(rig.machine.startConnect());
    } else if (chain == "config") {
      QVERIFY(rig.machine.startSubmitConfig());
    } else {
      QVERIFY(rig.machine.startSubmitPresets());
    }
    QVERIFY(!rig.button(chainButton));
    // Once the device has taken the command it will not answer, nothing else can happen first.
    QTRY_COMPARE_WITH_TIMEOUT(int(rig.device.commands.size()), answers + 1, kWait);
    rig.machine.setReplyWatchdog(0);

    QTRY_COMPARE_WITH_TIMEOUT(rig.view.boxes.size(), std::size_t{1}, kWait);
    QCOMPARE(rig.view.boxes[0].caption, QStringLiteral("Error"));
    QVERIFY2(rig.view.boxes[0].text.contains(activity), qPrintable(rig.view.boxes[0].text));
    QVERIFY(!rig.view.boxes[0].busyWhileShown);
    QCOMPARE(rig.view.log.last(), QStringLiteral("no reply from Tarvik while ") + activity +
                                      QStringLiteral(" - transfer aborted"));
    QVERIFY(rig.button(chainButton));
    QVERIFY(!rig.view.busy);
    QCOMPARE(rig.machine.step(), Step::Idle);
    QCOMPARE(int(rig.device.commands.back().command), pending);

    // The device wakes up late: the abandoned chain must not go on behind the user's back.
    const std::size_t sent = rig.device.wire.size();
    const QStringList transcript = rig.view.transcript;
    rig.device.answersLeft = -1;
    rig.machine.DoSysExData(rig.device.replyTo(static_cast<Command>(pending)));
    QCOMPARE(rig.device.wire.size(), sent);
    QCOMPARE(rig.view.transcript.mid(0, transcript.size()), transcript);
    QCOMPARE(rig.view.transcript.mid(transcript.size()),
             QStringList{QStringLiteral("log:late reply %1 from Tarvik after the transfer was "
                                        "aborted - ignored")
                             .arg(pending)});
    QCOMPARE(rig.machine.step(), Step::Idle);

    // Starting the chain again is a new run, answered as usual.
    rig.machine.setReplyWatchdog(60000);
    rig.machine.resetIdentifyCount();
    if (chain == "connect") {
      QVERIFY(rig.machine.startConnect());
    } else if (chain == "config") {
      QVERIFY(rig.machine.startSubmitConfig());
    } else {
      QVERIFY(rig.machine.startSubmitPresets());
    }
    QTRY_VERIFY_WITH_TIMEOUT(!rig.machine.chainRunning(), kWait);
    QCOMPARE(rig.view.log.last(), chain == "connect" ? kCompleteConnectLog.last()
                                                     : QStringLiteral("transmission successful"));
    QCOMPARE(rig.view.boxes.size(), std::size_t{1});
    QVERIFY(rig.button(chainButton));
    QVERIFY(!rig.view.busy);
  }



  void identifyReplyAfterChainRunsItAgain() {
    Rig rig;
    QVERIFY(rig.connect());
    rig.device.forget();
    rig.view.log.clear();

    rig.machine.DoSysExData(rig.device.replyTo(Command::Identify));
    QTRY_VERIFY_WITH_TIMEOUT(!rig.machine.chainRunning(), kWait);
    const std::vector<Command> expected{Command::DownloadPresets, Command::DownloadConfig,
                                        Command::DownloadCcMap, Command::DownloadPcRemap};
    QVERIFY(rig.device.commandSequence() == expected);
    QCOMPARE(rig.view.log, kCompleteConnectLog);
    QCOMPARE(rig.machine.identifyCount(), 6);
    QVERIFY(rig.button(ChainButton::Connect));
  }

  void submitChains_data() {
    QTest::addColumn<QString>("chain");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("config stored")
        << "config" << 0xFF << QStringList{"submit config", "transmission successful"};
    QTest::newRow("config refused")
        << "config" << 0x00
        << QStringList{"submit config", "Tarvik did not store the advanced settings (status 0x00)"};
    QTest::newRow("presets stored")
        << "presets" << 0xFF
        << QStringList{"submit presets", "transmission successful", "submit control changes",
                       "submit programm change remap table", "transmission successful"};
    // The two tables still go out, but the chain must not end in a success.
    QTest::newRow("presets refused")
        << "presets" << 0x00
        << QStringList{"submit presets", "Tarvik did not store the presets (status 0x00)",
                       "submit control changes", "submit programm change remap table"};
    QTest::newRow("presets refused with another status")
        << "presets" << 0x7E
        << QStringList{"submit presets", "Tarvik did not store the presets (status 0x7E)",
                       "submit control changes", "submit programm change remap table"};
  }
  void submitChains() {
    QFETCH(QString, chain);
    QFETCH(int, status);
    QFETCH(QStringList, log);
    const bool config = chain == "config";
    const ChainButton button = config ? ChainButton::SubmitConfig : ChainButton::SubmitPresets;
    Rig rig;
    rig.device.submitStatus = static_cast<std::uint8_t>(status);
    QVERIFY(config ? rig.machine.startSubmitConfig() : rig.machine.startSubmitPresets());
    QCOMPARE(rig.view.transcript.mid(0, 3),
             QStringList({"button:" + RecordingView::name(button) + ":off", "cursor:busy",
                          "log:" + log[0]}));
    QTRY_VERIFY_WITH_TIMEOUT(!rig.machine.chainRunning(), kWait);

    const std::vector<Command> expected =
        config ? std::vector<Command>{Command::SubmitConfig}
               : std::vector<Command>{Command::SubmitPresets, Command::SubmitCcMap,
                                      Command::SubmitPcRemap};
    QVERIFY(rig.device.commandSequence() == expected);
    QCOMPARE(rig.device.stray, 0);
    const auto& wire = rig.device.wire;
    if (config) {
      QCOMPARE(wire.size(), std::size_t{2 + kConfigRecordSize});
      QCOMPARE(Bytes(wire[1].begin(), wire[1].end()), frameOf({0xF0, 0x00, 0x04, 0xF7}));
      QCOMPARE(payloadOf(Command::SubmitConfig, rig.device.commands), bytes(rig.editors.record));
    } else {
      QCOMPARE(wire.size(), std::size_t{3 * (2 + kTableSize)});
      QCOMPARE(payloadOf(Command::SubmitPresets, rig.device.commands), bytes(rig.editors.presets));
      QCOMPARE(payloadOf(Command::SubmitCcMap, rig.device.commands), bytes(rig.editors.ccMap));
      QCOMPARE(payloadOf(Command::SubmitPcRemap, rig.device.commands), bytes(rig.editors.pcRemap));
      // Command byte 0x13 of the remap table: F0 01 03 F7 right after the marker.
      const auto& remapCommand = wire[2 * (2 + kTableSize) + 1];
      QCOMPARE(Bytes(remapCommand.begin(), remapCommand.end()), frameOf({0xF0, 0x01, 0x03, 0xF7}));
    }
    QCOMPARE(rig.view.log, log);
    QVERIFY(rig.button(button));
    QVERIFY(!rig.view.busy);
    if (status == kStatusSuccess) {
      QVERIFY(rig.view.boxes.empty());
      return;
    }
    // One warning, once the chain has given everything back.
    QCOMPARE(rig.view.boxes.size(), std::size_t{1});
    QCOMPARE(rig.view.boxes[0].caption, QStringLiteral("Warning"));
    QVERIFY2(rig.view.boxes[0].text.startsWith(log[1]), qPrintable(rig.view.boxes[0].text));
    QVERIFY(!rig.view.boxes[0].busyWhileShown);
    QCOMPARE(rig.view.transcript.last(), QStringLiteral("warning:Warning"));

    // The next submit that the device stores is a success again.
    rig.device.submitStatus = kStatusSuccess;
    QVERIFY(config ? rig.machine.startSubmitConfig() : rig.machine.startSubmitPresets());
    QTRY_VERIFY_WITH_TIMEOUT(!rig.machine.chainRunning(), kWait);
    QCOMPARE(rig.view.log.last(), QStringLiteral("transmission successful"));
    QCOMPARE(rig.view.boxes.size(), std::size_t{1});
  }

  void ccMapIsReadWhenReply5Arrives() {
    Rig rig;
    QVERIFY(rig.machine.startSubmitPresets());
    // The device's answer is still queued; an edit made now must be what goes out.
    rig.editors.ccMap.fill(0x03);
    QTRY_VERIFY_WITH_TIMEOUT(!rig.machine.chainRunning(), kWait);
    QCOMPARE(payloadOf(Command::SubmitCcMap, rig.device.commands), Bytes(kTableSize, 0x03));
  }

  void reply19AlwaysReportsSuccess_data() {
    QTest::addColumn<Bytes>("frame");
    QTest::newRow("bare acknowledgement") << frameOf({0xF0, 0x13, 0xF7});
    QTest::newRow("with a zero item") << frameOf({0xF0, 0x13, 0x00, 0x00, 0xF7});
  }
  void reply19AlwaysReportsSuccess() {
    QFETCH(Bytes, frame);
    Rig rig;
    rig.machine.DoSysExData(frame);
    QCOMPARE(rig.view.log, QStringList{"transmission successful"});
    QVERIFY(rig.button(ChainButton::SubmitPresets));
    QVERIFY(!rig.view.busy);
    QVERIFY(rig.device.commands.empty());
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
    rig.device.answersLeft = 0;
    rig.machine.DoSysExData(frame);
    QCOMPARE(int(rig.device.commands.size()), 1);
    QCOMPARE(int(rig.device.commands[0].command), next);
    QCOMPARE(rig.view.log, log);
    if (next == int(Command::SubmitCcMap)) {
      QCOMPARE(rig.device.commands[0].payload, bytes(rig.editors.ccMap));
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
  }
  void junkDuringChainChangesNothing() {
    QFETCH(Bytes, frame);
    Rig rig;
    rig.device.answersLeft = 0;
    rig.machine.setReplyWatchdog(60000);
    QVERIFY(rig.machine.startSubmitPresets());
    const QStringList transcript = rig.view.transcript;
    const std::size_t sent = rig.device.wire.size();

    rig.machine.DoSysExData(frame);
    QCOMPARE(rig.view.transcript, transcript);
    QCOMPARE(rig.device.wire.size(), sent);
    QCOMPARE(rig.machine.step(), Step::SubmittingPresets);
    QVERIFY(rig.machine.replyWatchdog().isActive());
    QVERIFY(!rig.machine.bootloaderFlag());
  }




  void sendErrorEndsChainAndPropagates_data() {
    QTest::addColumn<QString>("chain");
    QTest::addColumn<int>("failAtByte");
    QTest::addColumn<int>("button");
    QTest::newRow("first identify") << "connect" << 1 << int(ChainButton::Connect);
    // Seven identifies (14 bytes), then the marker of the presets request goes through.
    QTest::newRow("presets request") << "connect" << 16 << int(ChainButton::Connect);
    QTest::newRow("config record payload") << "config" << 10 << int(ChainButton::SubmitConfig);
    QTest::newRow("cc map payload") << "presets" << 130 + 40 << int(ChainButton::SubmitPresets);
  }
  void sendErrorEndsChainAndPropagates() {
    QFETCH(QString, chain);
    QFETCH(int, failAtByte);
    QFETCH(int, button);
    const auto chainButton = static_cast<ChainButton>(button);
    Rig rig;
    rig.device.failAtByte = failAtByte;
    // Replies are delivered by hand here, so the error surfaces in the test and not in the
    // event loop.
    rig.device.answersLeft = 0;
    auto run = [&] {
      if (chain == "connect") {
        rig.machine.startConnect();
        for (int i = 0; i < 7; ++i) {
          rig.machine.DoSysExData(rig.device.replyTo(Command::Identify));
        }
      } else if (chain == "config") {
        rig.machine.startSubmitConfig();
      } else {
        rig.machine.startSubmitPresets();
        rig.machine.DoSysExData(rig.device.replyTo(Command::SubmitPresets));
      }
    };
    QVERIFY_THROWS_EXCEPTION(TMidiError, run());
    QVERIFY(rig.button(chainButton));
    QVERIFY(!rig.view.busy);
    QCOMPARE(rig.machine.step(), Step::Idle);
    QVERIFY(!rig.machine.connectTimer().isActive());
    QVERIFY(!rig.machine.replyWatchdog().isActive());
    QVERIFY(rig.view.boxes.empty());
    QCOMPARE(int(rig.device.wire.size()), failAtByte - 1);
    // The link is free again for the next attempt.
    rig.device.failAtByte = 0;
    rig.device.answersLeft = -1;
    QVERIFY(rig.machine.startSubmitConfig());
  }

  void chainsNeverInterleave() {
    Rig rig;
    rig.device.answersLeft = 0;
    rig.machine.setReplyWatchdog(60000);
    QVERIFY(rig.machine.startSubmitPresets());
    const QStringList transcript = rig.view.transcript;
    const std::size_t sent = rig.device.wire.size();
    QVERIFY(!rig.machine.startConnect());
    QVERIFY(!rig.machine.startSubmitConfig());
    QVERIFY(!rig.machine.startSubmitPresets());
    QCOMPARE(rig.view.transcript, transcript);
    QCOMPARE(rig.device.wire.size(), sent);
    QVERIFY(!rig.machine.connectTimer().isActive());
  }

  void linkReservedElsewhereRefusesEveryChain() {
    Rig rig;
    rig.view.reserved = true;
    QVERIFY(!rig.machine.startConnect());
    QVERIFY(!rig.machine.startSubmitConfig());
    QVERIFY(!rig.machine.startSubmitPresets());
    QVERIFY(rig.view.transcript.isEmpty());
    QVERIFY(rig.device.wire.empty());
    QVERIFY(!rig.machine.chainRunning());
  }
};

QTEST_GUILESS_MAIN(TransferMachineTest)
#include "test_transfer_machine.moc"
