// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QTextStream>
#include <memory>

#include "cli/LibraryAccess.h"
#include "core/ConfiguratorCore.h"
#include "firmware/LateUpdateServer.h"

namespace tarvik::cli {

// What a command that talks to the device holds: the program's core over the port lists, the
// port pair chosen from the command line's --in and --out, --verbose's log, and the library
// whose device history the core keeps.
class DeviceSession {
  Q_DECLARE_TR_FUNCTIONS(DeviceSession)

 public:
  // With `log`, the core's log lines go there (--verbose). `libraryPath` empty: no library.
  DeviceSession(MidiPorts& ports, QTextStream* log, const QString& libraryPath = {});
  ~DeviceSession();
  DeviceSession(const DeviceSession&) = delete;
  DeviceSession& operator=(const DeviceSession&) = delete;

  // Chooses the pair (see PortChoice) and opens it. Empty on success, else why not.
  QString open(const QString& inText, const QString& outText);
  // Closes the pair once the device has said all it will: under JACK the ports close in the
  // background, side by side with what the command still does with the answers.
  void close();

  ConfiguratorCore& core() { return core_; }
  // The library, opened on first use and then attached to the core; nullptr with
  // libraryError() when it cannot be opened.
  SetupLibrary* library();
  const QString& libraryError() const { return library_.error(); }
  // For a command whose work does not need the library: attaches it for the device history,
  // or says on `err`, in one warning line, why there is none, and goes on.
  void keepHistory(QTextStream& err);
  // Passes a log line on when --verbose asked for them.
  void log(const QString& line);
  // The core's update server from now on (a command that needs one loads it first); until
  // then the core's fetches wait.
  void adoptUpdateServer(std::unique_ptr<UpdateServer> server);

 private:
  QTextStream* log_;
  // Before the core, which refers to it until it goes.
  LibraryAccess library_;
  // The core's, made with it.
  LateUpdateServer* updateServer_ = nullptr;
  ConfiguratorCore core_;
};

}  // namespace tarvik::cli
