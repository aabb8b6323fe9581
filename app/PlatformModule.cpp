// SPDX-License-Identifier: MIT
#include "app/PlatformModule.h"

#include <QCoreApplication>
#include <QUrl>

#include "firmware/UpdateServer.h"
#include "midi/PlatformMidiService.h"

namespace tarvik {

PlatformModule::PlatformModule(const QString& path, QObject* parent)
    : QObject(parent), library_(path) {}

PlatformModule::~PlatformModule() {
  if (loader_.joinable()) loader_.join();
}

QString PlatformModule::defaultPath() {
  // Kept as bytes in the program, where the install check reads it.
  return ModuleLibrary::path("TARVIK_PLATFORM_MODULE",
                             QLatin1StringView(TARVIK_PLATFORM_MODULE_FROM_BINDIR));
}

void PlatformModule::loadInBackground() {
  // The thread is joined only when the module object goes, so it also marks a load that ended.
  if (loader_.joinable()) return;
  loader_ = std::thread([this] {
    QFunctionPointer createMidi = nullptr;
    QFunctionPointer createUpdates = nullptr;
    const QString failure = library_.load(
        {{kCreateMidiServiceEntry, &createMidi}, {kCreateUpdateServerEntry, &createUpdates}});
    // The owner's destructor joins this thread before its queued calls are dropped with it.
    QMetaObject::invokeMethod(
        this,
        [this, failure, createMidi, createUpdates] {
          createMidi_ = reinterpret_cast<CreateMidiServiceEntry>(createMidi);
          createUpdates_ = reinterpret_cast<CreateUpdateServerEntry>(createUpdates);
          if (failure.isEmpty()) {
            Q_EMIT loaded();
          } else {
            Q_EMIT failed(failure);
          }
        },
        Qt::QueuedConnection);
  });
}

std::unique_ptr<PlatformMidiService> PlatformModule::createMidiService() const {
  return std::unique_ptr<PlatformMidiService>(createMidi_ ? createMidi_() : nullptr);
}

std::unique_ptr<UpdateServer> PlatformModule::createUpdateServer(const QUrl& baseUrl) const {
  return std::unique_ptr<UpdateServer>(createUpdates_ ? createUpdates_(baseUrl) : nullptr);
}

}  // namespace tarvik
