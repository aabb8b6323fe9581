// SPDX-License-Identifier: MIT
#include "sim/SimOptions.h"

#include <QTest>

#include <stdexcept>

using tarvik::parseSimOptions;
using tarvik::SimOptions;

namespace {
std::vector<std::string> split(const QString& line) {
  std::vector<std::string> args;
  for (const auto& part : line.split(' ', Qt::SkipEmptyParts)) args.push_back(part.toStdString());
  return args;
}
}  // namespace

class TestSimOptions : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void healthyDeviceByDefault() {
    const SimOptions options = parseSimOptions({});
    QCOMPARE(int(options.versionMajor), 1);
    QCOMPARE(int(options.versionMinor), 9);
    QVERIFY(!options.faults.silent && !options.faults.junkFrames && !options.faults.shortFrames);
    QCOMPARE(options.faults.answerFirst, -1);
    QCOMPARE(options.faults.badReadbackPage, -1);
    QCOMPARE(options.faults.stopAfterPages, -1);
    QCOMPARE(options.faults.loseReplyEvery, 0);
    QCOMPARE(options.faults.loseFrameEvery, 0);
    QCOMPARE(options.faults.dropFastMs, 0);
    QCOMPARE(options.faults.corruptReplyEvery, 0);
    QVERIFY(!options.faults.ignoreFirstSubmit);
    QCOMPARE(int(options.faults.submitStatus), 0xFF);
    QCOMPARE(options.startContents(), tarvik::TarvikContents::factory());
  }

  void optionsSetTheirFault_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("value");
    QTest::newRow("version") << "--version 2.10" << "version" << 210;
    QTest::newRow("silent") << "--silent" << "silent" << 1;
    QTest::newRow("answer first") << "--answer-first 7" << "answerFirst" << 7;
    QTest::newRow("delay") << "--delay 250" << "delay" << 250;
    QTest::newRow("status") << "--status 0" << "status" << 0;
    QTest::newRow("lose every fifth reply") << "--lose-reply 5"
                                            << "loseReply" << 5;
    QTest::newRow("lose every seventh frame") << "--lose-frame 7"
                                              << "loseFrame" << 7;
    QTest::newRow("drop frames closer than 4 ms") << "--drop-fast 4"
                                                  << "dropFast" << 4;
    QTest::newRow("corrupt every ninth reply byte") << "--corrupt-reply 9"
                                                    << "corruptReply" << 9;
    QTest::newRow("ignore the first submit") << "--ignore-first-submit"
                                             << "ignoreFirstSubmit" << 1;
    QTest::newRow("short frames") << "--short-frames" << "shortFrames" << 1;
    QTest::newRow("junk") << "--junk" << "junk" << 1;
    // Counted from 1, as the configurator reports the pages; the fault is the wire's number.
    QTest::newRow("bad read-back of the third page") << "--bad-readback 3"
                                                     << "badReadback" << 2;
    QTest::newRow("reply 9 for bootloader") << "--reply9-for-bootloader" << "reply9" << 1;
    QTest::newRow("stop after pages") << "--stop-after-pages 5" << "stopAfterPages" << 5;
    QTest::newRow("echo") << "--echo" << "echo" << 1;
  }
  void optionsSetTheirFault() {
    QFETCH(QString, line);
    QFETCH(QString, field);
    QFETCH(int, value);
    const SimOptions o = parseSimOptions(split(line));
    const std::map<QString, int> fields{
        {"version", o.versionMajor * 100 + o.versionMinor},
        {"silent", o.faults.silent},
        {"answerFirst", o.faults.answerFirst},
        {"delay", o.faults.replyDelayMs},
        {"status", o.faults.submitStatus},
        {"loseReply", o.faults.loseReplyEvery},
        {"loseFrame", o.faults.loseFrameEvery},
        {"dropFast", o.faults.dropFastMs},
        {"corruptReply", o.faults.corruptReplyEvery},
        {"ignoreFirstSubmit", o.faults.ignoreFirstSubmit},
        {"shortFrames", o.faults.shortFrames},
        {"junk", o.faults.junkFrames},
        {"badReadback", o.faults.badReadbackPage},
        {"reply9", o.faults.reply9ForBootloader},
        {"stopAfterPages", o.faults.stopAfterPages},
        {"echo", o.echo},
    };
    QCOMPARE(fields.at(field), value);
    // Every option the parser takes is in the help.
    const std::string option = split(line).front();
    QVERIFY2(tarvik::simUsage().find("  " + option + " ") != std::string::npos, option.c_str());
  }

  void contentsFollowSeedAndRecord() {
    const SimOptions seeded = parseSimOptions(split("--seed 17"));
    QCOMPARE(seeded.startContents(), tarvik::TarvikContents::fromSeed(17));
    const SimOptions withRecord =
        parseSimOptions(split("--seed 17 --record 0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,255"));
    const auto contents = withRecord.startContents();
    QCOMPARE(contents.presets, tarvik::TarvikContents::fromSeed(17).presets);
    QCOMPARE(int(contents.configRecord[0]), 0);
    QCOMPARE(int(contents.configRecord[19]), 255);
  }

  void badCommandLinesAreRefused_data() {
    QTest::addColumn<QString>("line");
    QTest::newRow("unknown option") << "--fast";
    QTest::newRow("version without minor") << "--version 19";
    QTest::newRow("version above a byte") << "--version 1.300";
    QTest::newRow("missing value") << "--delay";
    QTest::newRow("negative delay") << "--delay -5";
    QTest::newRow("status not a number") << "--status ok";
    QTest::newRow("record too short") << "--record 1,2,3";
    QTest::newRow("record too long") << "--record 0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0";
    QTest::newRow("unknown MIDI system") << "--api winmm";
    QTest::newRow("bad read-back of page 0: pages count from 1") << "--bad-readback 0";
    QTest::newRow("losing one reply in none") << "--lose-reply 0";
    QTest::newRow("losing frames without a number") << "--lose-frame";
    QTest::newRow("dropping frames closer than 0 ms") << "--drop-fast 0";
    QTest::newRow("dropping frames closer than a second and more") << "--drop-fast 1001";
    QTest::newRow("corrupting one byte in none") << "--corrupt-reply 0";
    QTest::newRow("corrupting without a number") << "--corrupt-reply many";
  }
  void badCommandLinesAreRefused() {
    QFETCH(QString, line);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, parseSimOptions(split(line)));
  }
};

QTEST_GUILESS_MAIN(TestSimOptions)
#include "test_sim_options.moc"
