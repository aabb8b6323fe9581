// SPDX-License-Identifier: MIT
// The JACK rig's verdict on a server start: the JACK tests may skip only where jackd is missing.
#include <QStandardPaths>
#include <QTest>

#include "support/JackRig.h"

using tarvik::testing::JackRig;

class TestJackRig : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void startVerdict_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<QString>("problemPart");
    QTest::newRow("jackd missing skips")
        << "tarvik-test-no-such-jackd" << static_cast<int>(JackRig::Start::Missing)
        << "is not installed";
    // An installed server that exits at once stands for one that cannot start on this machine.
    QTest::newRow("jackd that does not come up fails")
        << QStandardPaths::findExecutable(QStringLiteral("false"))
        << static_cast<int>(JackRig::Start::Failed) << "did not come up";
  }
  void startVerdict() {
    QFETCH(QString, program);
    QFETCH(int, verdict);
    QFETCH(QString, problemPart);
    QVERIFY(!program.isEmpty());
    const QByteArray serverBefore = qgetenv("JACK_DEFAULT_SERVER");
    JackRig rig;
    rig.jackdProgram = program;
    QCOMPARE(static_cast<int>(rig.startServer()), verdict);
    QVERIFY2(rig.startProblem().contains(problemPart), qPrintable(rig.startProblem()));
    // A failed start leaves the environment as it found it for the next rig.
    QCOMPARE(qgetenv("JACK_DEFAULT_SERVER"), serverBefore);
  }
};

QTEST_GUILESS_MAIN(TestJackRig)
#include "test_jack_rig.moc"
