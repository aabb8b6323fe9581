// SPDX-License-Identifier: MIT
#include "core/MidiSystem.h"

#include "midi/MidiPorts.h"

namespace tarvik {

MidiSystem::MidiSystem(std::function<void(const QString& text)> errors,
                       std::unique_ptr<PlatformMidiService> service)
    : platform_(service.get()), ports_(std::make_unique<MidiPorts>(std::move(service))) {
  ports_->setErrorReporter([errors = std::move(errors)](const std::string& text) {
    errors(QString::fromStdString(text));
  });
}

MidiSystem::~MidiSystem() = default;

void MidiSystem::start(std::unique_ptr<PlatformMidiService> service, LibraryLines lines,
                       Started started) {
  platform_ = service.get();
  ports_->adopt(std::move(service));
  start(std::move(lines), std::move(started));
}

void MidiSystem::start(LibraryLines lines, Started started) {
  PlatformMidiService& platform = *platform_;
  platform.setLibraryMessageSink(std::move(lines));
  platform.whenStarted([&platform, started = std::move(started)] {
    started(QString::fromStdString(platform.startupProblem()));
  });
  platform.startInBackground();
}

}  // namespace tarvik
