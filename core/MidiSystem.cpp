// SPDX-License-Identifier: MIT
#include "core/MidiSystem.h"

#include "midi/LateMidiService.h"
#include "midi/MidiPorts.h"

namespace tarvik {

MidiSystem::MidiSystem(std::function<void(const QString& text)> errors) {
  auto late = std::make_unique<LateMidiService>();
  late_ = late.get();
  ports_ = std::make_unique<MidiPorts>(std::move(late));
  ports_->setErrorReporter([errors = std::move(errors)](const std::string& text) {
    errors(QString::fromStdString(text));
  });
}

MidiSystem::~MidiSystem() = default;

void MidiSystem::start(std::unique_ptr<PlatformMidiService> service, LibraryLines lines,
                       std::function<void(const QString& problem)> started) {
  PlatformMidiService& platform = *service;
  platform.setLibraryMessageSink(std::move(lines));
  late_->adopt(std::move(service));
  platform.whenStarted([&platform, started = std::move(started)] {
    started(QString::fromStdString(platform.startupProblem()));
  });
  platform.startInBackground();
}

}  // namespace tarvik
