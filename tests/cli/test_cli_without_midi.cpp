// SPDX-License-Identifier: MIT
// The real tarvik-cli where no MIDI system can be reached: no JACK server of the name it is
// given, and (on the machines the tests run on) no ALSA sequencer. ALSA and JACK then write their
// own lines about it; they are for --verbose, and without it the program's error is its one line.
#include <QProcess>
#include <QTest>
#include <QUuid>

class CliWithoutMidiTest : public QObject {
  Q_OBJECT

  struct Run {
    int exitCode = -1;
    QStringList errLines;
  };

  static Run run(const QStringList& arguments) {
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // A server name nobody runs, and none started for it.
    environment.insert(QStringLiteral("JACK_DEFAULT_SERVER"),
                       QStringLiteral("tarvik-none-") + QUuid::createUuid().toString(QUuid::Id128));
    environment.insert(QStringLiteral("JACK_NO_START_SERVER"), QStringLiteral("1"));
    cli.setProcessEnvironment(environment);
    cli.start(QStringLiteral(TARVIK_CLI_PATH), arguments);
    Run result;
    if (!cli.waitForFinished(60000)) {
      cli.kill();
      cli.waitForFinished();
      return result;
    }
    if (cli.exitStatus() == QProcess::NormalExit) result.exitCode = cli.exitCode();
    result.errLines = QString::fromLocal8Bit(cli.readAllStandardError())
                          .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return result;
  }

 private Q_SLOTS:
  void theLibrariesSpeakOnlyWhenAskedTo_data() {
    QTest::addColumn<bool>("verbose");
    QTest::newRow("plain: the program's own line alone") << false;
    QTest::newRow("--verbose: what ALSA and JACK said, then the program's line") << true;
  }
  void theLibrariesSpeakOnlyWhenAskedTo() {
    QFETCH(bool, verbose);
    const Run plain = run({QStringLiteral("ports")});
    if (plain.exitCode == 0) QSKIP("a MIDI system was reached here: nothing fails to report");
    QCOMPARE(plain.exitCode, 1);
    QCOMPARE(plain.errLines.size(), 1);
    const QString ownLine = plain.errLines.front();
    QVERIFY2(ownLine.startsWith(QStringLiteral("tarvik-cli: No MIDI ports are available: ")),
             qPrintable(ownLine));
    if (!verbose) return;

    const Run loud = run({QStringLiteral("ports"), QStringLiteral("--verbose")});
    QCOMPARE(loud.exitCode, 1);
    QVERIFY2(loud.errLines.size() > 1, qPrintable(loud.errLines.join('\n')));
    QCOMPARE(loud.errLines.constLast(), ownLine);
    // JACK's client library said the server could not be reached, in its own words.
    const QStringList libraries = loud.errLines.mid(0, loud.errLines.size() - 1);
    QVERIFY2(!libraries.filter(QStringLiteral("server"), Qt::CaseInsensitive).isEmpty(),
             qPrintable(libraries.join('\n')));
    QVERIFY(libraries.filter(QStringLiteral("tarvik-cli")).isEmpty());
  }
};

QTEST_GUILESS_MAIN(CliWithoutMidiTest)
#include "test_cli_without_midi.moc"
