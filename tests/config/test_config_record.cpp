// SPDX-License-Identifier: MIT
#include <QTest>

#include "config/ConfigRecord.h"
#include "config/RecordCases.h"

using tarvik::ConfigRecord;
using namespace tarvik::testing;

class ConfigRecordTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void startStateBytes() {
    const Record expected{0, 0, 0, 0, 0, 0, 0, 10, 255, 0, 0, 0, 0, 0, 0, 255, 255, 0, 0, 0};
    QCOMPARE(ConfigRecord{}.toBytes(), expected);
  }

  void receivedRecordIsSentBack_data() { addRoundTripRows(); }
  void receivedRecordIsSentBack() {
    QFETCH(QByteArray, received);
    QFETCH(QByteArray, sentBack);
    ConfigRecord record;
    const Record items = toRecord(received);
    record.apply(items);
    QCOMPARE(fromRecord(record.toBytes()), sentBack);
  }

  void ccSelectorsKeepTheirValuesUnlessCcMessageArrives() {
    ConfigRecord record;
    record.magicFunction = 2;
    record.magicChannel = 3;
    record.magicChange = 4;
    record.magicValue = 5;
    record.apply(toRecord(recordBytes({{8, 1}, {9, 9}, {10, 9}, {11, 9}})));
    QCOMPARE(record.magicFunction, 1);
    QCOMPARE(record.magicChannel, 3);
    QCOMPARE(record.magicChange, 4);
    QCOMPARE(record.magicValue, 5);
  }

  void programSelectorsFallBackToNone_data() {
    QTest::addColumn<int>("received");
    QTest::addColumn<int>("index");
    QTest::newRow("0 is program 1") << 0 << 0;
    QTest::newRow("127 is program 128") << 127 << 127;
    QTest::newRow("128 is none") << 128 << ConfigRecord::kProgramNone;
    QTest::newRow("255 is none") << 255 << ConfigRecord::kProgramNone;
  }
  void programSelectorsFallBackToNone() {
    QFETCH(int, received);
    QFETCH(int, index);
    ConfigRecord record;
    record.apply(toRecord(recordBytes({{15, received}, {16, received}})));
    QCOMPARE(record.bypassProgram, index);
    QCOMPARE(record.expressionCC, index);
  }

  void noSelectionGoesOutAs255() {
    ConfigRecord record;
    record.midiChannel = -1;
    record.magicFunction = 2;
    record.magicValue = -1;
    const Record bytes = record.toBytes();
    QCOMPARE(bytes[1], 255);
    QCOMPARE(bytes[8], 2);
    QCOMPARE(bytes[11], 255);
  }
};

QTEST_APPLESS_MAIN(ConfigRecordTest)
#include "test_config_record.moc"
