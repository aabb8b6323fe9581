// SPDX-License-Identifier: MIT
#include <QEventLoop>
#include <QPaintEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "app/AfterFirstFrame.h"

using namespace tarvik;

namespace {

constexpr int kWaitMs = 20000;

class CountingWindow : public QWidget {
 public:
  int paints = 0;

 protected:
  void paintEvent(QPaintEvent*) override { ++paints; }
};

}  // namespace

class TestAfterFirstFrame : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void runsOnceAfterTheFirstPaint() {
    CountingWindow window;
    int runs = 0;
    int paintsBefore = -1;
    QEventLoop loop;
    new AfterFirstFrame(window, [&] {
      ++runs;
      paintsBefore = window.paints;
      loop.quit();
    });
    // Nothing is drawn until the window shows.
    QCoreApplication::processEvents();
    QCOMPARE(runs, 0);

    window.show();
    QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
    loop.exec();
    QCOMPARE(runs, 1);
    QVERIFY(paintsBefore >= 1);
    window.repaint();
    QCoreApplication::processEvents();
    QCOMPARE(runs, 1);
  }

  void goesWithTheWindowUnrun() {
    int runs = 0;
    {
      CountingWindow window;
      new AfterFirstFrame(window, [&] { ++runs; });
      // Painted, and gone before the event loop ran the work queued behind the paint.
      QPaintEvent paint(window.rect());
      QCoreApplication::sendEvent(&window, &paint);
      QCOMPARE(window.paints, 1);
    }
    QCoreApplication::processEvents();
    QCOMPARE(runs, 0);
  }
};

QTEST_MAIN(TestAfterFirstFrame)
#include "test_after_first_frame.moc"
