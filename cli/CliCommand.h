// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QTextStream>

#include "cli/CliOptions.h"

class QIODevice;

namespace tarvik::cli {

// Where a command writes: results on `out`, errors, progress and log lines on `err`; and what
// it reads for a file argument "-" (standard input; none where nothing may be read).
struct Output {
  QTextStream& out;
  QTextStream& err;
  // A bar that redraws itself only makes sense on a terminal; elsewhere progress is lines.
  bool errIsTerminal = false;
  QIODevice* in = nullptr;
};

// One command of tarvik-cli. start() only begins the work; the command runs on the event loop
// and ends with exactly one finished() (which may come from inside start()).
class CliCommand : public QObject {
  Q_OBJECT
 public:
  explicit CliCommand(Output output) : output_(output) {}

  // Reads or checks the command's file without touching a MIDI port, once: the program calls
  // it before it reaches the MIDI system, so that a file error is reported as one (exit 2) on
  // a machine without MIDI too. False when that ended the command.
  bool prepare() {
    if (!prepared_) {
      prepared_ = true;
      readFile();
    }
    return !done_;
  }
  // prepare() (when the caller has not), then the command's work.
  void start() {
    if (prepare()) begin();
  }
  // SIGINT or SIGTERM: a command that runs until interrupted ends cleanly; the others leave
  // the device as it is and end as interrupted.
  virtual void interrupt() { fail(ExitCode::Interrupted, tr("interrupted")); }

  bool done() const { return done_; }
  int exitCode() const { return exitCode_; }

 Q_SIGNALS:
  void finished(int exitCode);

 protected:
  virtual void readFile() {}
  virtual void begin() = 0;

  QTextStream& out() { return output_.out; }
  QTextStream& err() { return output_.err; }
  QIODevice* in() const { return output_.in; }
  bool errIsTerminal() const { return output_.errIsTerminal; }

  void finish(int exitCode) { end(exitCode, exitCode == ExitCode::Ok); }
  // An end whose exit code is the answer the output gives (diff's 1: "they differ"), not a
  // failure: an output that could not be written overrides it as it overrides success.
  void finishWithAnswer(int exitCode) { end(exitCode, true); }
  // A backup's text on standard output (the file "-"), then the end. The names are UTF-8; the
  // rest is ASCII.
  void finishWithText(const QByteArray& text) {
    output_.out << QString::fromUtf8(text);
    finish(ExitCode::Ok);
  }
  // One line on standard error, then the end.
  void fail(int exitCode, const QString& line) {
    if (done_) return;
    output_.err << kProgramName << ": " << line << Qt::endl;
    finish(exitCode);
  }
  // A refused result (a file, the library) ends the command with exit 2 and its reason.
  template <typename Refusable>
  bool refused(const Refusable& result) {
    if (result.ok()) return false;
    fail(ExitCode::UsageOrFile, result.error);
    return true;
  }

 private:
  void end(int exitCode, bool outputDecides) {
    if (done_) return;
    done_ = true;
    output_.out.flush();
    // Standard output is what a script keeps (a backup, a list, the differences): a full disk
    // there is a failure, however well the rest went.
    if (output_.out.status() != QTextStream::Ok && outputDecides) {
      output_.err << kProgramName << ": " << tr("cannot write to standard output") << Qt::endl;
      exitCode = ExitCode::UsageOrFile;
    }
    exitCode_ = exitCode;
    output_.err.flush();
    Q_EMIT finished(exitCode);
  }

  Output output_;
  bool prepared_ = false;
  bool done_ = false;
  int exitCode_ = -1;
};

}  // namespace tarvik::cli
