// SPDX-License-Identifier: MIT
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QListView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <utility>
#include <vector>

#include "WindowRig.h"
#include "app/TrafficWindow.h"
#include "app/WindowPlacement.h"
#include "core/CoreParts.h"
#include "link/Framing.h"
#include "tools/TrafficHistory.h"
#include "tools/TrafficLine.h"
#include "tools/ui/TestControllerTab.h"

using namespace tarvik;
using tarvik::testing::kWaitMs;
using tarvik::testing::WindowRig;

namespace {

using Message = std::pair<TrafficDirection, std::vector<std::uint8_t>>;

// What goes over the wire for a connect to a device with firmware 1.9 holding `contents`: every
// byte of a command in its own nibble frame, each reply one frame.
std::vector<Message> connectTraffic(const TarvikContents& contents) {
  std::vector<Message> wire;
  auto command = [&wire](std::uint8_t code) {
    for (const std::uint8_t byte : {std::uint8_t{0xFF}, code}) {
      const auto frame = nibbleFrame(byte);
      wire.emplace_back(TrafficDirection::Out,
                        std::vector<std::uint8_t>(frame.begin(), frame.end()));
    }
  };
  auto reply = [&wire](std::uint8_t code, std::span<const std::uint8_t> items) {
    wire.emplace_back(TrafficDirection::In, buildReplyFrame(code, items));
  };
  for (int i = 0; i < 7; ++i) {
    command(0x01);
    wire.emplace_back(TrafficDirection::In,
                      std::vector<std::uint8_t>{0xF0, 0x01, 0x00, 0x01, 0x00, 0x09, 0xF7});
  }
  command(0x02);
  reply(0x02, contents.presets);
  command(0x03);
  reply(0x03, contents.configRecord);
  command(0x06);
  reply(0x06, contents.ccMap);
  command(0x12);
  reply(0x12, contents.pcRemap);
  return wire;
}

// "out F0 0F 0F F7": a failed comparison names the first message that differs.
QString described(TrafficDirection direction, std::span<const std::uint8_t> bytes) {
  return (direction == TrafficDirection::In ? QStringLiteral("in ") : QStringLiteral("out ")) +
         hexBytes(bytes);
}

QStringList described(const std::vector<Message>& messages) {
  QStringList lines;
  for (const auto& [direction, bytes] : messages) lines << described(direction, bytes);
  return lines;
}

QStringList listed(const TrafficModel& model) {
  QStringList lines;
  for (int row = 0; row < model.rowCount(); ++row)
    lines << described(model.direction(row), model.bytes(row));
  return lines;
}

bool connectAndWait(WindowRig& rig) {
  QSignalSpy finished(rig.core.get(), &ConfiguratorCore::transferFinished);
  rig.button("Button1")->click();
  const bool ended = finished.wait(kWaitMs);
  if (TrafficWindow* traffic = rig.form->trafficWindow()) traffic->model().flush();
  return ended;
}

TrafficWindow* openTraffic(WindowRig& rig) {
  rig.button("TrafficButton")->click();
  return rig.form->trafficWindow();
}

}  // namespace

class TrafficWindowTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void listsEveryByteOfAConnectInOrder() {
    const TarvikContents contents = TarvikContents::fromSeed(3);
    WindowRig rig(contents);
    TrafficWindow* traffic = openTraffic(rig);
    QVERIFY(traffic != nullptr);
    QVERIFY(traffic->isVisible());
    QVERIFY(traffic->isWindow());
    QVERIFY(rig.form->isVisible());  // not modal, beside the main window
    QVERIFY(connectAndWait(rig));

    const std::vector<Message> expected = connectTraffic(contents);
    QCOMPARE(expected.size(), std::size_t{33});
    QCOMPARE(listed(traffic->model()), described(expected));

    // The presets reply (row 23) is shortened on screen; copying takes every byte.
    const QModelIndex presets = traffic->model().index(23);
    QCOMPARE(traffic->model().bytes(23).size(), std::size_t{259});
    QVERIFY(presets.data().toString().contains(QStringLiteral(" in   259  F0 02 ")));
    QVERIFY(presets.data().toString().contains(QStringLiteral("\u2026")));
    QItemSelectionModel* selection = traffic->list()->selectionModel();
    selection->select(presets, QItemSelectionModel::Select);
    selection->select(traffic->model().index(0), QItemSelectionModel::Select);
    traffic->copyAction()->trigger();
    const QString copied = QGuiApplication::clipboard()->text();
    QCOMPARE(copied,
             traffic->model().fullLine(0) + QLatin1Char('\n') + traffic->model().fullLine(23));
    QVERIFY(copied.endsWith(hexBytes(expected[23].second)));
    QVERIFY(!copied.contains(QStringLiteral("\u2026")));

    // "Save..." writes every full line as plain text.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("traffic.txt"));
    rig.dialogs.nextFileName = path;
    rig.find<QPushButton>("SaveButton")->click();
    QCOMPARE(rig.dialogs.fileSuffixes, QStringList{QStringLiteral("txt")});
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(saved.readAll()),
             traffic->model().fullLines().join(QLatin1Char('\n')) + QLatin1Char('\n'));
  }

  // The history behind the window is the link's tap from the start: the window lists what went
  // over the wire before it was first opened and while it was closed, but nothing while paused.
  void listsWhatCameBeforeAndWhileClosedButNotWhilePaused() {
    const TarvikContents contents = TarvikContents::fromSeed(3);
    WindowRig rig(contents);
    QVERIFY(CoreParts::link(*rig.core).trafficTap() != nullptr);
    QCOMPARE(rig.form->trafficWindow(), nullptr);
    QVERIFY(connectAndWait(rig));

    TrafficWindow* traffic = openTraffic(rig);
    const QStringList connect = described(connectTraffic(contents));
    QCOMPARE(listed(traffic->model()), connect);

    traffic->close();
    QVERIFY(connectAndWait(rig));
    QCOMPARE(traffic->model().rowCount(), connect.size());
    QCOMPARE(openTraffic(rig), traffic);
    QCOMPARE(listed(traffic->model()), connect + connect);

    // Paused, it keeps nothing, and opened again it does not take that back from the history.
    QPushButton* pause = rig.find<QPushButton>("PauseButton");
    pause->click();
    QVERIFY(traffic->model().paused());
    QVERIFY(connectAndWait(rig));
    traffic->close();
    QCOMPARE(openTraffic(rig), traffic);
    QCOMPARE(traffic->model().rowCount(), 2 * connect.size());

    // The test controller's messages are listed both ways (the device echoes them).
    pause->click();
    traffic->clearButton()->click();
    rig.device().setEcho(true);
    QSignalSpy echoed(rig.core.get(), &ConfiguratorCore::shortMessageReceived);
    auto* tester = rig.form->findChild<TestControllerTab*>();
    QVERIFY(tester != nullptr);
    tester->programSendButton()->click();
    QVERIFY(echoed.wait(kWaitMs));
    traffic->model().flush();
    const std::vector<Message> programChange{{TrafficDirection::Out, {0xC0, 0x00}},
                                             {TrafficDirection::In, {0xC0, 0x00}}};
    QCOMPARE(listed(traffic->model()), described(programChange));
  }

  // The history keeps the newest 2,000 messages: a window opened after more lists those.
  void anOpeningAfterMoreThanTheHistoryHoldsListsTheNewest() {
    WindowRig rig;
    QVERIFY(rig.connectAndDownload());
    auto* tester = rig.form->findChild<TestControllerTab*>();
    QVERIFY(tester != nullptr);
    // Each press sends one program change; the connect's own messages go out of the ring.
    const int presses = int(TrafficHistory::kCapacity) + 1;
    for (int i = 0; i < presses; ++i) tester->programSendButton()->click();
    TrafficWindow* traffic = openTraffic(rig);
    QCOMPARE(traffic->model().rowCount(), int(TrafficHistory::kCapacity));
    const std::vector<Message> programChange{{TrafficDirection::Out, {0xC0, 0x00}}};
    QCOMPARE(described(traffic->model().direction(0), traffic->model().bytes(0)),
             described(programChange).constFirst());
  }

  // Opened for the first time, the window stands beside the main window, not over its port
  // lists; a remembered geometry (tested with the remembered state) wins.
  void opensBesideTheMainWindow() {
    WindowRig rig;
    const QRect screen = rig.form->screen()->availableGeometry();
    rig.form->move(screen.topLeft());
    TrafficWindow* traffic = openTraffic(rig);
    const QRect main = rig.form->frameGeometry();
    const QRect frame = traffic->frameGeometry();
    QVERIFY2(!frame.intersects(main), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                     .arg(frame.x())
                                                     .arg(frame.y())
                                                     .arg(frame.width())
                                                     .arg(frame.height())));
    QVERIFY2(screen.width() >= 1920, "the test runs on a wide screen (see CMakeLists.txt)");
    QCOMPARE(frame.top(), main.top());
    QVERIFY(frame.left() > main.right());
    QVERIFY(screen.contains(frame));
  }

  // Where it goes when the screen lacks room on one side or another. The main window starts in
  // the middle of the screen, where no side has room on a 1600 x 1000 screen.
  void placementBesideFallsBackInOrder_data() {
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("keepClear");
    QTest::addColumn<QRect>("expected");
    const QSize size(720, 400);
    const QRect wide(0, 0, 1920, 1080);
    const QRect middle(393, 208, 814, 584);
    const QRect small(0, 0, 1600, 1000);
    const QRect lists(417, 257, 377, 193);
    QTest::newRow("room on the right")
        << QRect(0, 0, 814, 584) << wide << QRect() << QRect(QPoint(822, 0), size);
    QTest::newRow("no room on the right: below")
        << QRect(1100, 0, 814, 584) << wide << QRect() << QRect(QPoint(1100, 592), size);
    QTest::newRow("below, slid left onto the screen")
        << QRect(1400, 0, 500, 584) << wide << QRect() << QRect(QPoint(1200, 592), size);
    QTest::newRow("neither right nor below: left")
        << QRect(1100, 500, 814, 584) << wide << QRect() << QRect(QPoint(372, 500), size);
    QTest::newRow("no room anywhere: where it overlaps least, above")
        << QRect(300, 300, 1500, 700) << wide << QRect() << QRect(QPoint(300, 0), size);
    QTest::newRow("in the middle: the right edge of the screen, clear of the port lists")
        << middle << small << lists << QRect(QPoint(880, 208), size);
    QTest::newRow("in the middle, the right side over what stays clear: below")
        << middle << small << QRect(700, 260, 500, 193) << QRect(QPoint(393, 600), size);
  }
  void placementBesideFallsBackInOrder() {
    QFETCH(QRect, main);
    QFETCH(QRect, screen);
    QFETCH(QRect, keepClear);
    QFETCH(QRect, expected);
    QCOMPARE(WindowPlacement::beside(main, QSize(720, 400), screen, keepClear), expected);
  }
};

QTEST_MAIN(TrafficWindowTest)
#include "test_traffic_window.moc"
