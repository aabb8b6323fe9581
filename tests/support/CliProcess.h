// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

namespace tarvik::testing {

// What a run of the real tarvik-cli left: its exit code (-1 when it did not end by itself) and
// what it wrote.
struct CliResult {
  int exitCode = -1;
  QString out;
  QString err;
};

// Starts `program` in `cli`, whose environment and files the caller has set, feeds it `input`
// and waits up to `timeoutMs` for its end; one that does not end is killed and reported with
// exit code -1, so that a hang fails the test instead of stopping it. The event loop runs while it
// waits, so that a window under test and the output of a simulator's process are served.
inline CliResult runToEnd(QProcess& cli, const QString& program, const QStringList& arguments,
                          const QByteArray& input, int timeoutMs) {
  cli.start(program, arguments);
  CliResult result;
  if (!cli.waitForStarted(timeoutMs)) {
    result.err = cli.errorString();
    return result;
  }
  cli.write(input);
  cli.closeWriteChannel();
  if (!QTest::qWaitFor([&cli] { return cli.state() == QProcess::NotRunning; }, timeoutMs)) {
    cli.kill();
    cli.waitForFinished(timeoutMs);
  }
  result.out = QString::fromUtf8(cli.readAllStandardOutput());
  result.err = QString::fromUtf8(cli.readAllStandardError());
  if (cli.exitStatus() == QProcess::NormalExit) result.exitCode = cli.exitCode();
  return result;
}

// The run for a failure message, with the end of what the simulator it talked to printed.
inline QString describe(const CliResult& result, const QByteArray& simulatorOutput) {
  return QStringLiteral("exit %1\nstdout: %2\nstderr: %3\ntarvik-sim: %4")
      .arg(result.exitCode)
      .arg(result.out, result.err, QString::fromLocal8Bit(simulatorOutput.right(2000)));
}

}  // namespace tarvik::testing
