// SPDX-License-Identifier: MIT
#include "cli/SignalWatch.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

namespace tarvik::cli {
namespace {

int pipeEnds[2] = {-1, -1};

extern "C" void onStopSignal(int signalNumber) {
  const int savedErrno = errno;
  const unsigned char byte = static_cast<unsigned char>(signalNumber);
  // A full pipe already holds a wake-up; losing this byte loses nothing.
  [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
  errno = savedErrno;
}

}  // namespace

SignalWatch::SignalWatch(QObject* parent) : QObject(parent) {
  if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
    pipeEnds[0] = pipeEnds[1] = -1;
    return;
  }
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  if (::sigaction(SIGINT, &action, &previousInt_) != 0 ||
      ::sigaction(SIGTERM, &action, &previousTerm_) != 0) {
    ::sigaction(SIGINT, &previousInt_, nullptr);
    return;
  }
  notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SignalWatch::drain);
}

SignalWatch::~SignalWatch() {
  if (notifier_ != nullptr) {
    ::sigaction(SIGINT, &previousInt_, nullptr);
    ::sigaction(SIGTERM, &previousTerm_, nullptr);
  }
  delete notifier_;
  for (int& end : pipeEnds) {
    if (end >= 0) ::close(end);
    end = -1;
  }
}

void SignalWatch::drain() {
  unsigned char byte = 0;
  while (::read(pipeEnds[0], &byte, 1) == 1) Q_EMIT signalled(byte);
}

}  // namespace tarvik::cli
