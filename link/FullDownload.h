// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

#include "link/TransferMachine.h"

namespace tarvik {

// The texts both front ends show for a connect that found nothing or the wrong firmware.
QString noTarvikFoundText();
QString versionMismatchText();

// One line for a chain that ended before its last reply.
QString chainAbortText(ChainAbort why, const QString& activity, const QString& detail);

// One connect with the full download, reported as one outcome: the device is identified and, when
// its firmware is the program's, all four blocks end up in the machine's configuration. The
// machine does the work; this only waits for its signals, so the caller's thread never blocks.
class FullDownload : public QObject {
  Q_OBJECT
 public:
  enum class Problem { None, NotFound, WrongFirmware, Aborted };

  explicit FullDownload(TransferMachine& machine, QObject* parent = nullptr);

  // Starts the identify burst; false (nothing sent) when the machine refuses to start a chain.
  // `reach` stops the connect after the identify, or leaves the identify out
  // (TransferMachine::startConnect); the outcome is reported the same way.
  bool start(TransferMachine::Reach reach = TransferMachine::Reach::Everything);
  bool running() const { return running_; }
  Problem problem() const { return problem_; }

 Q_SIGNALS:
  // Every identify reply the machine acts on, before the download goes on or ends.
  void identified(const QString& version, bool compatible);
  // `text` says what went wrong, empty on success.
  void finished(bool ok, const QString& text);

 private:
  void finish(Problem problem, const QString& text);

  TransferMachine& machine_;
  bool running_ = false;
  Problem problem_ = Problem::None;
};

}  // namespace tarvik
