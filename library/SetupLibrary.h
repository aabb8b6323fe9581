// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <memory>

#include "library/DeviceHistory.h"
#include "library/LibraryConnection.h"
#include "library/LibraryResult.h"
#include "library/SetListStore.h"
#include "library/SetupStore.h"

namespace tarvik {

// The library of setups and the device history in one file (path() says which). What the
// front ends hold: open it once, and on a refusal show the reason and go on without it (the
// window) or stop (tarvik-cli exits 2). Usable from the thread that opened it only.
class SetupLibrary {
  Q_DECLARE_TR_FUNCTIONS(SetupLibrary)

 public:
  struct Opened {
    std::unique_ptr<SetupLibrary> library;  // empty when refused
    QString error;                          // "<file>: <reason>" on one line when refused
  };
  static Opened open(const QString& path, LibraryConnection::Clock clock = {},
                     int busyTimeoutMs = LibraryConnection::kBusyTimeoutMs,
                     const LibraryConnection::Waiting& waiting = {});

  // Which file is the library: the front end's "--library FILE" when given, else the
  // environment variable TARVIK_LIBRARY when set and not empty, else library.sqlite in the
  // folder "Tarvik Configurator" of the user's data, which the window and tarvik-cli share.
  static constexpr const char* kEnvironmentVariable = "TARVIK_LIBRARY";
  static QString path(const QString& option = {});

  SetupStore& setups() { return setups_; }
  const SetupStore& setups() const { return setups_; }
  DeviceHistory& history() { return history_; }
  const DeviceHistory& history() const { return history_; }
  SetListStore& setLists() { return setLists_; }
  const SetListStore& setLists() const { return setLists_; }
  const LibraryConnection& connection() const { return *connection_; }

  // Each file (.tvk or backup) becomes a setup named after it without its extension ("rig.tvk"
  // -> "rig"), all in one transaction. A cut file, names or labels that cannot be kept as
  // written, a name that cannot name a setup, two files of one name, or a name that is taken
  // (unless replaced) refuse the whole import with "<file>: <reason>", and nothing is stored.
  // Returns the names stored.
  Result<QStringList> importFiles(const QStringList& paths, IfExists ifExists,
                                  const SetupStore::Progress& progress = {});
  // The setup as a backup file's bytes: the tables and settings (none: the .tvk text alone),
  // then "[names]" when a preset has a name and "[loops]" when a loop has a label.
  Result<QByteArray> exportSetup(const QString& name) const;

 private:
  explicit SetupLibrary(std::unique_ptr<LibraryConnection> connection);

  std::unique_ptr<LibraryConnection> connection_;
  SetupStore setups_;
  DeviceHistory history_;
  SetListStore setLists_;
};

}  // namespace tarvik
