// SPDX-License-Identifier: MIT
#include <QSignalSpy>
#include <QTest>
#include <numeric>
#include <vector>

#include "config/LoopLabels.h"
#include "config/PresetNames.h"
#include "config/PresetTables.h"
#include "tools/TrafficLine.h"
#include "tools/TrafficMeaning.h"
#include "tools/TrafficModel.h"

using tarvik::TrafficDirection;
using tarvik::TrafficModel;
using Bytes = std::vector<std::uint8_t>;

Q_DECLARE_METATYPE(TrafficDirection)

namespace {

Bytes counting(std::size_t size) {
  Bytes bytes(size);
  std::iota(bytes.begin(), bytes.end(), std::uint8_t{0xA0});
  return bytes;
}

}  // namespace

class TrafficModelTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void rows_data() {
    QTest::addColumn<TrafficDirection>("direction");
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("full");
    QTest::addColumn<QString>("toolTip");  // empty: none

    QTest::newRow("nibble frame out is shown whole")
        << TrafficDirection::Out << Bytes{0xF0, 0x0F, 0x0F, 0xF7}
        << "[09:05:03.007] out    4  F0 0F 0F F7"
        << "[09:05:03.007] out    4  F0 0F 0F F7"
        << "";
    QTest::newRow("program change in keeps its two bytes")
        << TrafficDirection::In << Bytes{0xC5, 0x09} << "[09:05:03.007] in     2  C5 09"
        << "[09:05:03.007] in     2  C5 09"
        << "";
    const QString whole24 =
        "A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF B0 B1 B2 B3 B4 B5 B6 B7";
    QTest::newRow("24 bytes still fit whole")
        << TrafficDirection::In << counting(24) << "[09:05:03.007] in    24  " + whole24
        << "[09:05:03.007] in    24  " + whole24 << "";
    QTest::newRow("25 bytes lose their middle, not their ends")
        << TrafficDirection::In << counting(25)
        << "[09:05:03.007] in    25  A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF \u2026 B5 B6 "
           "B7 B8"
        << "[09:05:03.007] in    25  " + whole24 + " B8"
        << "A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF\nB0 B1 B2 B3 B4 B5 B6 B7 B8";
    QTest::newRow("reply of 259 bytes")
        << TrafficDirection::In << counting(259)
        << "[09:05:03.007] in   259  A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF \u2026 9F A0 "
           "A1 A2"
        << "[09:05:03.007] in   259  " + tarvik::hexBytes(counting(259))
        << QString();  // checked below by its shape
  }
  void rows() {
    QFETCH(TrafficDirection, direction);
    QFETCH(Bytes, bytes);
    QFETCH(QString, shown);
    QFETCH(QString, full);
    QFETCH(QString, toolTip);

    TrafficModel model;
    model.setClock([] { return QTime(9, 5, 3, 7); });
    model.record(direction, bytes.data(), bytes.size());
    model.flush();
    QCOMPARE(model.rowCount(), 1);
    const QModelIndex row = model.index(0);
    QCOMPARE(model.data(row, Qt::DisplayRole).toString(), shown);
    QCOMPARE(model.data(row, TrafficModel::FullLineRole).toString(), full);
    QCOMPARE(model.fullLine(0), full);
    QCOMPARE(model.direction(0), direction);
    QVERIFY(std::ranges::equal(model.bytes(0), bytes));

    const QVariant tip = model.data(row, Qt::ToolTipRole);
    if (bytes.size() <= tarvik::kTrafficWholeBytes) {
      QVERIFY(!tip.isValid());
    } else if (!toolTip.isEmpty()) {
      QCOMPARE(tip.toString(), toolTip);
    } else {
      // Every byte, sixteen to a line.
      const QStringList lines = tip.toString().split(QLatin1Char('\n'));
      QCOMPARE(lines.size(), 17);
      QCOMPARE(lines.join(QLatin1Char(' ')), tarvik::hexBytes(bytes));
    }
  }

  // A channel message is told in the editors' words as they are when the row is shown; a
  // transfer's frames are not.
  void rowsSayWhatAMessageMeans() {
    tarvik::PresetTables tables;
    tarvik::PresetNames names;
    tarvik::LoopLabels labels;
    tables.setCc(20, 3);
    tables.setCc(21, 0);
    names.setName(5, QStringLiteral("Lead"));
    labels.setLabel(2, QStringLiteral("Delay"));
    TrafficModel model;
    model.setClock([] { return QTime(9, 5, 3, 7); });
    model.setMeaning([&](std::span<const std::uint8_t> bytes) {
      return tarvik::TrafficMeaning::of(bytes, tables, names, labels);
    });
    for (const Bytes& message : {Bytes{0xC0, 0x05}, Bytes{0xC3, 0x06}, Bytes{0xB0, 20, 127},
                                 Bytes{0xB0, 21, 0}, Bytes{0xF0, 0x0F, 0x0F, 0xF7}})
      model.record(TrafficDirection::In, message.data(), message.size());
    model.flush();
    QCOMPARE(model.fullLines(),
             QStringList({"[09:05:03.007] in     2  C0 05  preset 6 \"Lead\"",
                          "[09:05:03.007] in     2  C3 06  preset 7",
                          "[09:05:03.007] in     3  B0 14 7F  CC 20: LOOP 3 (Delay)",
                          "[09:05:03.007] in     3  B0 15 00  CC 21: no loop",
                          "[09:05:03.007] in     4  F0 0F 0F F7"}));
    labels.setLabel(2, QString());
    QCOMPARE(model.data(model.index(2), Qt::DisplayRole).toString(),
             QStringLiteral("[09:05:03.007] in     3  B0 14 7F  CC 20: LOOP 3"));
  }

  void keepsEveryMessageApartAndInOrder() {
    TrafficModel model;
    const Bytes first = counting(300);
    const Bytes second{0xF0, 0x00, 0x01, 0xF7};
    const Bytes third{0xB0, 0x07, 0x64};
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.record(TrafficDirection::In, first.data(), first.size());
    model.record(TrafficDirection::Out, second.data(), second.size());
    model.record(TrafficDirection::In, third.data(), third.size());
    QCOMPARE(model.rowCount(), 0);
    // The burst becomes rows in one go, without anyone asking.
    QVERIFY(inserted.wait(20000));
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 0);
    QCOMPARE(inserted.at(0).at(2).toInt(), 2);
    QVERIFY(std::ranges::equal(model.bytes(0), first));
    QVERIFY(std::ranges::equal(model.bytes(1), second));
    QVERIFY(std::ranges::equal(model.bytes(2), third));
    QCOMPARE(model.fullLines().size(), 3);
    QVERIFY(model.fullLines().at(1).endsWith(QStringLiteral("] out    4  F0 00 01 F7")));
  }

  void pauseDropsMessagesAndClearEmpties() {
    TrafficModel model;
    const Bytes frame{0xF0, 0x0F, 0x0F, 0xF7};
    model.record(TrafficDirection::Out, frame.data(), frame.size());
    model.setPaused(true);
    model.record(TrafficDirection::In, frame.data(), frame.size());
    model.flush();
    QCOMPARE(model.rowCount(), 1);
    model.setPaused(false);
    model.record(TrafficDirection::In, frame.data(), frame.size());
    model.flush();
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.direction(1), TrafficDirection::In);

    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.clear();
    QCOMPARE(reset.count(), 1);
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(model.fullLines().isEmpty());
    model.record(TrafficDirection::Out, frame.data(), frame.size());
    model.flush();
    QCOMPARE(model.rowCount(), 1);
    QVERIFY(std::ranges::equal(model.bytes(0), frame));
  }
};

QTEST_GUILESS_MAIN(TrafficModelTest)
#include "test_traffic_model.moc"
