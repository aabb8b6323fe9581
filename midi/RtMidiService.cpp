// SPDX-License-Identifier: MIT
#include "midi/RtMidiService.h"

#include <QCoreApplication>

#include "midi/MidiLog.h"

namespace tarvik {

namespace {

// The client name under which the program opens its own ports.
constexpr const char* kOwnMidiClientName = "Tarvik Configurator";

// On whichever thread starts the service; without a backend, `problem` says why.
std::unique_ptr<MidiBackend> reach(std::string& problem) {
  std::string problems;
  std::unique_ptr<MidiBackend> backend = connectRtMidi(kOwnMidiClientName, problems);
  if (!backend) backend = connectJack(kOwnMidiClientName);
  if (backend) return backend;
  if (!problems.empty()) problems += "; ";
  problems += QCoreApplication::translate("JackClock", "JACK server not running?").toStdString();
  problem = QCoreApplication::translate(
                "MidiSystemChoice",
                "No MIDI ports are available: no MIDI system is running (%1). Start a "
                "JACK server and restart the program to use MIDI ports.")
                .arg(QString::fromStdString(problems))
                .toStdString();
  return nullptr;
}

}  // namespace

RtMidiService::RtMidiService(Start when) {
  // From the first moment: what the libraries say while the MIDI system is reached counts.
  routeLibraryOutput();
  if (when == Start::Later) return;
  std::string problem;
  auto backend = reach(problem);
  install(std::move(backend), std::move(problem));
}

void RtMidiService::install(std::unique_ptr<MidiBackend> backend, std::string problem) {
  backend_ = std::move(backend);
  problem_ = std::move(problem);
  useBackend(backend_.get());
  started_ = true;
  for (auto& waiter : std::exchange(waiters_, {})) waiter();
}

void RtMidiService::startInBackground() {
  if (started_ || starter_.joinable()) return;
  starter_ = std::thread([this] {
    auto reached = std::make_shared<std::pair<std::unique_ptr<MidiBackend>, std::string>>();
    reached->first = reach(reached->second);
    // Should the service go first, its context takes this call along unrun.
    QMetaObject::invokeMethod(
        &context(),
        [this, reached] { install(std::move(reached->first), std::move(reached->second)); },
        Qt::QueuedConnection);
  });
}

void RtMidiService::whenStarted(std::function<void()> started) {
  if (started_) return started();
  waiters_.push_back(std::move(started));
}

}  // namespace tarvik
