// SPDX-License-Identifier: MIT
// The two submit chains against the simulated Tarvik over the real link: what goes on the wire,
// what the device keeps, what the machine reports for stored and refused blocks, and how a send
// that fails half-way ends a chain.
#include <QSignalSpy>
#include <QTest>

#include "MachineRig.h"
#include "support/ManualClock.h"

using namespace tarvik;
using namespace tarvik::test;

Q_DECLARE_METATYPE(Bytes)

class SubmitChainsTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void submitChains_data() {
    QTest::addColumn<Chain>("chain");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("config stored")
        << Chain::SubmitConfig << 0xFF << QStringList{"submit config", "transmission successful"};
    QTest::newRow("config refused")
        << Chain::SubmitConfig << 0x00
        << QStringList{"submit config", "Tarvik did not store the advanced settings (status 0x00)"};
    QTest::newRow("presets stored")
        << Chain::SubmitPresets << 0xFF
        << QStringList{"submit presets", "transmission successful", "submit control changes",
                       "submit programm change remap table", "transmission successful"};
    // The two tables still go out, but the chain must not end in a success.
    QTest::newRow("presets refused")
        << Chain::SubmitPresets << 0x00
        << QStringList{"submit presets", "Tarvik did not store the presets (status 0x00)",
                       "submit control changes", "submit programm change remap table"};
    QTest::newRow("presets refused with another status")
        << Chain::SubmitPresets << 0x7E
        << QStringList{"submit presets", "Tarvik did not store the presets (status 0x7E)",
                       "submit control changes", "submit programm change remap table"};
  }
  void submitChains() {
    QFETCH(Chain, chain);
    QFETCH(int, status);
    QFETCH(QStringList, log);
    const bool config = chain == Chain::SubmitConfig;
    const bool success = status == kStatusSuccess;
    Rig rig;
    const TarvikContents before = rig.device().contents();
    rig.setFaults([status](SimFaults& f) { f.submitStatus = static_cast<std::uint8_t>(status); });
    QVERIFY(rig.start(chain));
    QCOMPARE(rig.events.all.mid(0, 2), QStringList({"log:" + log[0], "running:on"}));
    QVERIFY(rig.settle());

    QCOMPARE(rig.commands(), config ? codesOf({Command::SubmitConfig})
                                    : codesOf({Command::SubmitPresets, Command::SubmitCcMap,
                                               Command::SubmitPcRemap}));
    QCOMPARE(rig.device().ignoredInputs(), 0);
    QCOMPARE(rig.events.log, log);
    const auto wire = rig.wire();
    const TarvikContents& device = rig.device().contents();
    if (config) {
      QCOMPARE(wire.size(), std::size_t{2 + kConfigRecordSize});
      QCOMPARE(wire[1], frameOf({0xF0, 0x00, 0x04, 0xF7}));
      QCOMPARE(rig.payloadOf(Command::SubmitConfig), bytes(rig.configuration.recordBytes()));
      QCOMPARE(bytes(device.configRecord),
               success ? bytes(rig.configuration.recordBytes()) : bytes(before.configRecord));
    } else {
      QCOMPARE(wire.size(), std::size_t{3 * (2 + kTableSize)});
      QCOMPARE(rig.payloadOf(Command::SubmitPresets), bytes(rig.configuration.presetPayload()));
      QCOMPARE(rig.payloadOf(Command::SubmitCcMap), bytes(rig.configuration.ccMapPayload()));
      QCOMPARE(rig.payloadOf(Command::SubmitPcRemap), bytes(rig.configuration.pcRemapPayload()));
      // Command byte 0x13 of the remap table: F0 01 03 F7 right after the marker.
      QCOMPARE(wire[2 * (2 + kTableSize) + 1], frameOf({0xF0, 0x01, 0x03, 0xF7}));
      QCOMPARE(bytes(device.presets),
               success ? bytes(rig.configuration.presetPayload()) : bytes(before.presets));
      QCOMPARE(bytes(device.ccMap), bytes(rig.configuration.ccMapPayload()));
      QCOMPARE(bytes(device.pcRemap), bytes(rig.configuration.pcRemapPayload()));
    }

    // A confirmation names exactly what went out for its block; a refused block has none.
    std::map<Block, QByteArray> expectedStored;
    const auto asBytes = [](const auto& payload) {
      return QByteArray(reinterpret_cast<const char*>(payload.data()),
                        static_cast<qsizetype>(payload.size()));
    };
    if (config && success) {
      expectedStored[Block::Record] = asBytes(rig.payloadOf(Command::SubmitConfig));
    }
    if (!config) {
      if (success) expectedStored[Block::Presets] = asBytes(rig.payloadOf(Command::SubmitPresets));
      expectedStored[Block::CcMap] = asBytes(rig.payloadOf(Command::SubmitCcMap));
      expectedStored[Block::PcRemap] = asBytes(rig.payloadOf(Command::SubmitPcRemap));
    }
    QVERIFY(rig.events.stored == expectedStored);

    const QString finished = "finished:" + nameOf(chain);
    if (success) {
      QCOMPARE(rig.events.all.last(), finished);
      QVERIFY(rig.events.matching("refused:").isEmpty());
      return;
    }
    // One refusal, once the chain has given everything back.
    const Block block = config ? Block::Record : Block::Presets;
    const QString hex = QStringLiteral("%1").arg(status, 2, 16, QLatin1Char('0')).toUpper();
    QCOMPARE(rig.events.all.mid(rig.events.all.size() - 3),
             QStringList({"running:off", finished, "refused:" + nameOf(block) + ":0x" + hex}));
    QVERIFY2(refusalText(block, std::uint8_t(status)).startsWith(log[1]),
             qPrintable(refusalText(block, std::uint8_t(status))));

    // The next submit that the device stores is a success again.
    rig.setFaults([](SimFaults& f) { f.submitStatus = kStatusSuccess; });
    QVERIFY(rig.start(chain));
    QVERIFY(rig.settle());
    QCOMPARE(rig.events.log.last(), QStringLiteral("transmission successful"));
    QCOMPARE(rig.events.all.last(), finished);
    QCOMPARE(rig.events.matching("refused:").size(), 1);
  }

  void refusalTextsNameTheBlock_data() {
    QTest::addColumn<Block>("block");
    QTest::addColumn<QString>("text");
    QTest::newRow("record") << Block::Record
                            << "Tarvik did not store the advanced settings (status 0x00). Please "
                               "submit again.";
    QTest::newRow("presets")
        << Block::Presets
        << "Tarvik did not store the presets (status 0x00). The control changes and the program "
           "change remap table were sent; please submit again.";
    QTest::newRow("a table") << Block::CcMap << "Tarvik did not store the tables (status 0x00).";
  }
  void refusalTextsNameTheBlock() {
    QFETCH(Block, block);
    QFETCH(QString, text);
    QCOMPARE(refusalText(block, 0x00), text);
  }

  void ccMapIsReadWhenReply5Arrives() {
    Rig rig;
    rig.tarvik().holdReplies(true);
    QVERIFY(rig.start(Chain::SubmitPresets));
    // The device's answer is held; an edit made now must be what goes out.
    QCOMPARE(rig.tarvik().pendingReplies(), 1);
    std::array<std::uint8_t, kTableSize> threes{};
    threes.fill(0x03);
    rig.configuration.applyCcMap(threes);
    rig.tarvik().holdReplies(false);
    QVERIFY(rig.settle());
    QCOMPARE(rig.payloadOf(Command::SubmitCcMap), Bytes(kTableSize, 0x03));
    QCOMPARE(bytes(rig.events.stored.at(Block::CcMap)), Bytes(kTableSize, 0x03));
  }

  void reply19AlwaysReportsSuccess_data() {
    QTest::addColumn<Bytes>("frame");
    QTest::newRow("bare acknowledgement") << frameOf({0xF0, 0x13, 0xF7});
    QTest::newRow("with a zero item") << frameOf({0xF0, 0x13, 0x00, 0x00, 0xF7});
  }
  void reply19AlwaysReportsSuccess() {
    QFETCH(Bytes, frame);
    Rig rig;
    QVERIFY(rig.deliver(frame));
    // Nothing was sent, so nothing is confirmed as stored.
    QCOMPARE(rig.events.all,
             QStringList({"log:transmission successful", "finished:SubmitPresets"}));
    QVERIFY(rig.device().received().empty());
  }

  // A failed send is reported, not thrown: the chain ends and the link is free again.
  void sendErrorEndsChain_data() {
    QTest::addColumn<Chain>("chain");
    QTest::addColumn<int>("failAtByte");  // 1-based, counted from the chain's first byte
    QTest::addColumn<QString>("activity");
    QTest::newRow("first identify") << Chain::Connect << 1 << "identifying";
    // Seven identifies (14 bytes), then the marker of the presets request goes through.
    QTest::newRow("presets request") << Chain::Connect << 16 << "downloading presets";
    QTest::newRow("config record payload") << Chain::SubmitConfig << 10 << "submitting config";
    QTest::newRow("cc map payload")
        << Chain::SubmitPresets << 130 + 40 << "submitting control changes";
  }
  void sendErrorEndsChain() {
    QFETCH(Chain, chain);
    QFETCH(int, failAtByte);
    QFETCH(QString, activity);
    Rig rig;
    rig.sim.service().failCall("outLongMsg", failAtByte - 1, MidiResult::Error);
    QSignalSpy aborted(&rig.machine, &TransferMachine::chainAborted);
    // The start itself went through; the failure ends the chain at once or on a later reply.
    QVERIFY(rig.start(chain));
    QVERIFY(!aborted.isEmpty() || aborted.wait(kWait));

    QCOMPARE(aborted.size(), 1);
    QCOMPARE(rig.events.all.mid(rig.events.all.size() - 2),
             QStringList({"running:off",
                          "aborted:" + nameOf(chain) + ":SendFailed:" + activity +
                              ":An unspecified error occurred in the in-memory MIDI service."}));
    QCOMPARE(rig.machine.step(), Step::Idle);
    QVERIFY(!rig.machine.connectTimer().isActive());
    QVERIFY(!rig.machine.replyWatchdog().isActive());
    QVERIFY(rig.events.matching("timedOut").isEmpty());
    QCOMPARE(int(rig.wire().size()), failAtByte - 1);

    // The link is free again for the next attempt.
    QVERIFY(rig.start(Chain::SubmitConfig));
    QCOMPARE(int(rig.wire().size()), failAtByte - 1 + 2 + kConfigRecordSize);
  }

  // The device hears every try of a submit and stays silent for the first `silentTries`; with
  // `lateAnswers`, it never answers and the test hands in that many replies after the last try,
  // as the slow answers of earlier tries come. Only the try lines and the chain's end are
  // compared.
  void aCommandWithoutReplyIsSentAgain_data() {
    QTest::addColumn<int>("retries");
    QTest::addColumn<int>("silentTries");
    QTest::addColumn<int>("lateAnswers");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("end");
    const QString finished = QStringLiteral("finished:SubmitConfig");
    const QString aborted = QStringLiteral("aborted:SubmitConfig:NoReply:submitting config:");
    QTest::newRow("answered on the second try")
        << 2 << 1 << 0 << QStringList{"SubmitConfig: no reply, try 2 of 3"} << finished;
    QTest::newRow("no try answered")
        << 2 << 3 << 0
        << QStringList{"SubmitConfig: no reply, try 2 of 3", "SubmitConfig: no reply, try 3 of 3"}
        << aborted;
    QTest::newRow("no retries") << 0 << 1 << 0 << QStringList() << aborted;
    QTest::newRow("both tries answered late")
        << 1 << 1 << 2
        << QStringList{"SubmitConfig: no reply, try 2 of 2",
                       "late reply 4 from Tarvik to an earlier try - ignored"}
        << finished;
  }
  void aCommandWithoutReplyIsSentAgain() {
    QFETCH(int, retries);
    QFETCH(int, silentTries);
    QFETCH(int, lateAnswers);
    QFETCH(QStringList, lines);
    QFETCH(QString, end);
    Rig rig;
    auto* clock = new testing::ManualClock;
    rig.machine.setWatchdogClock(std::unique_ptr<WaitClock>(clock));
    rig.machine.setCare({0, retries});
    rig.setFaults([](SimFaults& faults) { faults.silent = true; });
    QVERIFY(rig.start(Chain::SubmitConfig));
    for (int tried = 1; tried <= silentTries; ++tried) {
      QVERIFY(rig.awaitCommands(tried));
      if (tried == silentTries && lateAnswers == 0)
        rig.setFaults([](SimFaults& faults) { faults.silent = false; });
      // The wait runs out: the next try goes out, or the chain ends after the last.
      QVERIFY(clock->running());
      clock->advance(24 * 3600 * 1000);
    }
    for (int late = 0; late < lateAnswers; ++late)
      QVERIFY(rig.deliver(buildReplyFrame(4, Bytes{kStatusSuccess})));
    QVERIFY(rig.settle());

    QStringList tried;
    for (const QString& line : rig.events.log)
      if (line.contains(QLatin1String("try"))) tried << line;
    QCOMPARE(tried, lines);
    QCOMPARE(rig.events.matching(end.section(u':', 0, 0) + u':').join(u' '), end);
    QCOMPARE(rig.commandCount(), std::min(silentTries, retries) + 1);
    QCOMPARE(rig.machine.unaskedReplies(), 0);
    QCOMPARE(rig.machine.lostReply(), end.startsWith(QLatin1String("aborted")));
    // After a wait ran out, a confirmation may answer a mix of two sends: nothing counts as
    // stored until a download has read the device in step again.
    QVERIFY(rig.events.stored.empty());
    rig.setFaults([](SimFaults& faults) { faults.silent = false; });
    rig.machine.setWatchdogClock(nullptr);
    QVERIFY(rig.start(Chain::SubmitConfig) && rig.settle());
    QVERIFY(rig.events.stored.empty());
    QVERIFY(rig.connect());
    QVERIFY(rig.start(Chain::SubmitConfig) && rig.settle());
    QCOMPARE(rig.events.stored.count(Block::Record), std::size_t{1});
  }
};

QTEST_GUILESS_MAIN(SubmitChainsTest)
#include "test_submit_chains.moc"
