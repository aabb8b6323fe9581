// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <csignal>

class QSocketNotifier;

namespace tarvik::cli {

// SIGINT and SIGTERM as a Qt signal on the owner's thread. The handler only writes the signal's
// number into a pipe (the one thing a handler may safely do); a socket notifier on the pipe's
// other end wakes the event loop, so nothing polls. One instance at a time; the previous
// handlers come back when it goes.
class SignalWatch : public QObject {
  Q_OBJECT
 public:
  explicit SignalWatch(QObject* parent = nullptr);
  ~SignalWatch() override;
  SignalWatch(const SignalWatch&) = delete;
  SignalWatch& operator=(const SignalWatch&) = delete;

  // False when the pipe or a handler could not be set up; then no signal is reported.
  bool active() const { return notifier_ != nullptr; }

 Q_SIGNALS:
  void signalled(int signalNumber);

 private:
  void drain();

  QSocketNotifier* notifier_ = nullptr;
  struct sigaction previousInt_ {};
  struct sigaction previousTerm_ {};
};

}  // namespace tarvik::cli
