// SPDX-License-Identifier: MIT
#include "core/MidiSystem.h"

#include <cstdio>

#include "midi/MidiPorts.h"

namespace tarvik {

MidiSystem::MidiSystem(std::function<void(const QString& text)> errors)
    : ports_(std::make_unique<MidiPorts>()) {
  ports_->setErrorReporter([errors = std::move(errors)](const std::string& text) {
    errors(QString::fromStdString(text));
  });
}

MidiSystem::~MidiSystem() = default;

void MidiSystem::start(std::unique_ptr<PlatformMidiService> service, LibraryLines lines, bool echo,
                       Started started) {
  PlatformMidiService& platform = *service;
  ports_->adopt(std::move(service));
  platform.setLibraryMessageSink([lines = std::move(lines), echo](const auto& said) {
    if (echo)
      for (const std::string& line : said) std::fprintf(stderr, "%s\n", line.c_str());
    if (lines) lines(said);
  });
  platform.whenStarted([&platform, started = std::move(started)] {
    started(QString::fromStdString(platform.startupProblem()));
  });
  platform.startInBackground();
}

}  // namespace tarvik
