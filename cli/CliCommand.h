// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QTextStream>

#include "cli/CliOptions.h"

namespace tarvik::cli {

// Where a command writes: results on `out`, errors, progress and log lines on `err`.
struct Output {
  QTextStream& out;
  QTextStream& err;
  // A bar that redraws itself only makes sense on a terminal; elsewhere progress is lines.
  bool errIsTerminal = false;
};

// One command of tarvik-cli. start() only begins the work; the command runs on the event loop
// and ends with exactly one finished() (which may come from inside start()).
class CliCommand : public QObject {
  Q_OBJECT
 public:
  explicit CliCommand(Output output, QObject* parent = nullptr)
      : QObject(parent), output_(output) {}

  virtual void start() = 0;
  // SIGINT or SIGTERM: a command that runs until interrupted ends cleanly; the others leave
  // the device as it is and end with a device failure.
  virtual void interrupt() { fail(ExitCode::DeviceFailure, QStringLiteral("interrupted")); }

  bool done() const { return done_; }
  int exitCode() const { return exitCode_; }

 Q_SIGNALS:
  void finished(int exitCode);

 protected:
  QTextStream& out() { return output_.out; }
  QTextStream& err() { return output_.err; }
  bool errIsTerminal() const { return output_.errIsTerminal; }

  void finish(int exitCode) {
    if (done_) return;
    done_ = true;
    exitCode_ = exitCode;
    output_.out.flush();
    output_.err.flush();
    Q_EMIT finished(exitCode);
  }
  // One line on standard error, then the end.
  void fail(int exitCode, const QString& line) {
    if (done_) return;
    output_.err << kProgramName << ": " << line << Qt::endl;
    finish(exitCode);
  }

 private:
  Output output_;
  bool done_ = false;
  int exitCode_ = -1;
};

}  // namespace tarvik::cli
