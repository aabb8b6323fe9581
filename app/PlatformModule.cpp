// SPDX-License-Identifier: MIT
#include "app/PlatformModule.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>

#include "firmware/UpdateServer.h"
#include "midi/PlatformMidiService.h"

namespace tarvik {

PlatformModule::PlatformModule(QString path, QObject* parent)
    : QObject(parent), library_(std::move(path)) {}

PlatformModule::~PlatformModule() {
  if (loader_.joinable()) loader_.join();
}

QString PlatformModule::defaultPath() {
  const QString chosen = qEnvironmentVariable("TARVIK_PLATFORM_MODULE");
  if (!chosen.isEmpty()) return chosen;
  // Kept as bytes in the program, where the install check reads it.
  return QCoreApplication::applicationDirPath() + QLatin1Char('/') +
         QLatin1StringView(TARVIK_PLATFORM_MODULE_FROM_BINDIR);
}

void PlatformModule::loadInBackground() {
  // The thread is joined only when the module object goes, so it also marks a load that ended.
  if (loader_.joinable()) return;
  loader_ = std::thread([this] {
    QString failure;
    CreateMidiServiceEntry createMidi = nullptr;
    CreateUpdateServerEntry createUpdates = nullptr;
    // QLibrary tries other names for a file that is not there ("libx.so" for "x.so") and
    // reports the last one tried, which would name a file nobody asked for.
    if (!QFileInfo::exists(library_.fileName())) {
      failure = tr("the file does not exist");
    } else if (library_.load()) {
      createMidi =
          reinterpret_cast<CreateMidiServiceEntry>(library_.resolve(kCreateMidiServiceEntry));
      createUpdates =
          reinterpret_cast<CreateUpdateServerEntry>(library_.resolve(kCreateUpdateServerEntry));
    }
    if (failure.isEmpty() && (!createMidi || !createUpdates)) failure = library_.errorString();
    // The owner's destructor joins this thread before its queued calls are dropped with it.
    QMetaObject::invokeMethod(
        this,
        [this, failure, createMidi, createUpdates] {
          createMidi_ = createMidi;
          createUpdates_ = createUpdates;
          finishLoad(failure);
        },
        Qt::QueuedConnection);
  });
}

void PlatformModule::finishLoad(const QString& failure) {
  if (failure.isEmpty()) {
    Q_EMIT loaded();
  } else {
    Q_EMIT failed(failure);
  }
}

std::unique_ptr<PlatformMidiService> PlatformModule::createMidiService() const {
  return std::unique_ptr<PlatformMidiService>(createMidi_ ? createMidi_() : nullptr);
}

std::unique_ptr<UpdateServer> PlatformModule::createUpdateServer(const QUrl& baseUrl) const {
  return std::unique_ptr<UpdateServer>(createUpdates_ ? createUpdates_(baseUrl) : nullptr);
}

}  // namespace tarvik
