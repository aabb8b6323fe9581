// SPDX-License-Identifier: MIT
#include "FakeTarvik.h"
#include "RecordingEditors.h"
#include "RecordingView.h"
#include "link/TransferMachine.h"
#include "support/ConnectLog.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace tarvik;
using namespace tarvik::test;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Step = TransferMachine::Step;

constexpr int kWait = 5000;  // generous; every wait ends as soon as its condition holds

using tarvik::testing::kCompleteConnectLog;

const QString kMismatchText = QStringLiteral(
    "Your Tarvik Version does not match to this software! Please Update Firmware or Software!");

// One machine wired to a fake device, a recording view and recording editors.
struct Rig {
  FakeTarvik device;
  RecordingView view;
  RecordingEditors editors;
  TransferMachine machine{device, view, editors};

  Rig() {
    device.attach(&machine);
    for (int i = 0; i < kTableSize; ++i) {
      const auto row = static_cast<std::size_t>(i);
      editors.presets[row] = static_cast<std::uint8_t>(0xFF - i);
      editors.ccMap[row] = static_cast<std::uint8_t>(i % 8);
      editors.pcRemap[row] = static_cast<std::uint8_t>(i == 5 ? 0xFF : i);
    }
    for (int i = 0; i < kConfigRecordSize; ++i) {
      editors.record[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 11);
    }
  }

  bool button(ChainButton b) { return view.buttons[b]; }

  // Presses connect and lets the device answer until the machine is back at rest.
  bool connect() {
    machine.resetIdentifyCount();
    if (!machine.startConnect()) {
      return false;
    }
    return QTest::qWaitFor([this] { return !machine.chainRunning(); }, kWait);
  }
};

Bytes payloadOf(Command command, const std::vector<FakeTarvik::ReceivedCommand>& commands) {
  for (const auto& received : commands) {
    if (received.command == command) {
      return received.payload;
    }
  }
  return {};
}

template <std::size_t N>
Bytes bytes(const std::array<std::uint8_t, N>& table) {
  return Bytes(table.begin(), table.end());
}

Bytes frameOf(std::initializer_list<int> values) {
  Bytes frame;
  for (int v : values) {
    frame.push_back(static_cast<std::uint8_t>(v));
  }
  return frame;
}

}  // namespace

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
    rig.machine.setConnectTimeout(50);
    rig.machine.setReplyWatchdog(60000);
    QVERIFY(rig.machine.startConnect());
    QTRY_COMPARE_WITH_TIMEOUT(rig.device.count(Command::Identify), 2, kWait);
    QVERIFY(!rig.machine.connectTimer().isActive());
    QTest::qWait(150);  // well past the connect interval: no time-out box may appear now
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
    rig.machine.setReplyWatchdog(80);
    if (chain == "connect") {
      QVERIFY(rig.machine.startConnect());
    } else if (chain == "config") {
      QVERIFY(rig.machine.startSubmitConfig());
    } else {
      QVERIFY(rig.machine.startSubmitPresets());
    }
    QVERIFY(!rig.button(chainButton));

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

    // The device wakes up late: its reply is handled as usual and the chain runs to its end.
    rig.device.answersLeft = -1;
    rig.machine.DoSysExData(rig.device.replyTo(static_cast<Command>(pending)));
    QTRY_VERIFY_WITH_TIMEOUT(!rig.machine.chainRunning(), kWait);
    if (chain == "connect") {
      QCOMPARE(rig.view.log.last(), kCompleteConnectLog.last());
      QCOMPARE(rig.device.commandSequence().back(), Command::DownloadPcRemap);
    } else if (chain == "config") {
      QCOMPARE(rig.view.log.last(), QStringLiteral("transmission successful"));
    } else {
      QCOMPARE(rig.device.commandSequence().back(), Command::SubmitPcRemap);
      QCOMPARE(rig.view.log.last(), QStringLiteral("transmission successful"));
    }
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

  void submitConfigChain_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("success logged")
        << 0xFF << QStringList{"submit config", "transmission successful"};
    QTest::newRow("failure status not logged") << 0x00 << QStringList{"submit config"};
  }
  void submitConfigChain() {
    QFETCH(int, status);
    QFETCH(QStringList, log);
    Rig rig;
    rig.device.submitStatus = static_cast<std::uint8_t>(status);
    QVERIFY(rig.machine.startSubmitConfig());
    QCOMPARE(rig.view.transcript.mid(0, 3),
             QStringList({"button:SubmitConfig:off", "cursor:busy", "log:submit config"}));
    QTRY_VERIFY_WITH_TIMEOUT(!rig.machine.chainRunning(), kWait);

    QCOMPARE(rig.device.wire.size(), std::size_t{2 + kConfigRecordSize});
    QCOMPARE(Bytes(rig.device.wire[1].begin(), rig.device.wire[1].end()),
             frameOf({0xF0, 0x00, 0x04, 0xF7}));
    QCOMPARE(int(rig.device.commands.size()), 1);
    QCOMPARE(payloadOf(Command::SubmitConfig, rig.device.commands), bytes(rig.editors.record));
    QCOMPARE(rig.view.log, log);
    QVERIFY(rig.button(ChainButton::SubmitConfig));
    QVERIFY(!rig.view.busy);
    QVERIFY(rig.view.boxes.empty());
  }

  void submitPresetsChain_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("success logged")
        << 0xFF
        << QStringList{"submit presets", "transmission successful", "submit control changes",
                       "submit programm change remap table", "transmission successful"};
    QTest::newRow("failure status still sends cc map")
        << 0x00
        << QStringList{"submit presets", "submit control changes",
                       "submit programm change remap table", "transmission successful"};
  }
  void submitPresetsChain() {
    QFETCH(int, status);
    QFETCH(QStringList, log);
    Rig rig;
    rig.device.submitStatus = static_cast<std::uint8_t>(status);
    QVERIFY(rig.machine.startSubmitPresets());
    QCOMPARE(rig.view.transcript.mid(0, 3),
             QStringList({"button:SubmitPresets:off", "cursor:busy", "log:submit presets"}));
    QTRY_VERIFY_WITH_TIMEOUT(!rig.machine.chainRunning(), kWait);

    const std::vector<Command> expected{Command::SubmitPresets, Command::SubmitCcMap,
                                        Command::SubmitPcRemap};
    QVERIFY(rig.device.commandSequence() == expected);
    QCOMPARE(rig.device.wire.size(), std::size_t{3 * (2 + kTableSize)});
    QCOMPARE(rig.device.stray, 0);
    QCOMPARE(payloadOf(Command::SubmitPresets, rig.device.commands), bytes(rig.editors.presets));
    QCOMPARE(payloadOf(Command::SubmitCcMap, rig.device.commands), bytes(rig.editors.ccMap));
    QCOMPARE(payloadOf(Command::SubmitPcRemap, rig.device.commands), bytes(rig.editors.pcRemap));
    // Command byte 0x13 of the remap table: F0 01 03 F7 right after the marker.
    QCOMPARE(Bytes(rig.device.wire[2 * (2 + kTableSize) + 1].begin(),
                   rig.device.wire[2 * (2 + kTableSize) + 1].end()),
             frameOf({0xF0, 0x01, 0x03, 0xF7}));
    QCOMPARE(rig.view.log, log);
    QVERIFY(rig.button(ChainButton::SubmitPresets));
    QVERIFY(!rig.view.busy);
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
    rig.machine.DoSysExData(buildReplyFrame(9, page));
    QVERIFY(seenFlag);
    QCOMPARE(seenText, expected);
    QCOMPARE(rig.machine.pageReadBack(), expected);
    QVERIFY(rig.view.transcript.isEmpty());
    QVERIFY(rig.device.commands.empty());

    // Reply 8 raises the same flag and leaves the read-back alone.
    rig.machine.clearBootloaderFlag();
    seenFlag = false;
    rig.machine.DoSysExData(frameOf({0xF0, 0x08, 0xF7}));
    QVERIFY(seenFlag);
    QVERIFY(rig.machine.bootloaderFlag());
    QCOMPARE(rig.machine.pageReadBack(), expected);
  }

  void hexDigitsAreUpperCase() {
    Rig rig;
    Bytes page(kFlashPageSize, 0xAB);
    page[0] = 0x0A;
    page[1] = 0xFF;
    rig.machine.DoSysExData(buildReplyFrame(9, page));
    QVERIFY(rig.machine.pageReadBack().startsWith(QStringLiteral("0AFFABAB")));
  }

  void flashWrittenHidesTabsAndKeepsConnectButton() {
    Rig rig;
    rig.device.major = 2;  // mismatch: the connect button stays off for good
    QVERIFY(rig.connect());
    rig.view.transcript.clear();
    QSignalSpy written(&rig.machine, &TransferMachine::flashWritten);

    rig.machine.DoSysExData(frameOf({0xF0, 0x11, 0xF7}));
    QCOMPARE(written.count(), 1);
    QCOMPARE(rig.view.transcript, QStringList({"tab:2:off", "tab:3:off", "tab:4:off", "tab:5:off",
                                               "log:Firmware update successful! Reboot Tarvik...",
                                               "raw:", "raw:", "cursor:default"}));
    QVERIFY(!rig.button(ChainButton::Connect));
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
