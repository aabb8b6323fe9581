// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <thread>

#include "app/platform/PlatformEntries.h"
#include "core/ModuleLibrary.h"

class QUrl;

namespace tarvik {

// Loads the platform module (the MIDI system's and the update server's code, see
// platform/PlatformEntries.cpp) on a thread of its own and reports on the owner's thread.
// Loading it maps and initialises RtMidi, JACK, ALSA and Qt Network with Kerberos and the proxy
// resolver: several milliseconds that the window spends after its first frame instead of before.
// The module stays loaded until the program ends; what it made may live as long.
class PlatformModule : public QObject {
  Q_OBJECT
 public:
  explicit PlatformModule(const QString& path, QObject* parent = nullptr);
  // Waits for a load still under way (a few milliseconds).
  ~PlatformModule() override;

  // Where the installed program finds its module, relative to its own folder; the environment
  // variable TARVIK_PLATFORM_MODULE names another file (tests, a program run from its build).
  static QString defaultPath();

  // Starts the load; later calls do nothing. One of loaded() or failed() follows.
  void loadInBackground();
  bool isLoaded() const { return createMidi_ != nullptr; }
  QString fileName() const { return library_.fileName(); }

  // After loaded(): new objects from the module.
  std::unique_ptr<PlatformMidiService> createMidiService() const;
  std::unique_ptr<UpdateServer> createUpdateServer(const QUrl& baseUrl) const;

 Q_SIGNALS:
  void loaded();
  // `reason` is the loader's own text (file missing, library missing, entry missing).
  void failed(const QString& reason);

 private:
  ModuleLibrary library_;
  std::thread loader_;
  CreateMidiServiceEntry createMidi_ = nullptr;
  CreateUpdateServerEntry createUpdates_ = nullptr;
};

}  // namespace tarvik
