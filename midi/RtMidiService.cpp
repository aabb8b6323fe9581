// SPDX-License-Identifier: MIT
#include "midi/RtMidiService.h"

#include <QCoreApplication>
#include <thread>
#include <vector>

#include "midi/MidiLog.h"

namespace tarvik {

namespace {
// The client name under which the program opens its own ports.
constexpr const char* kOwnMidiClientName = "Tarvik Configurator";
}  // namespace

struct RtMidiService::Reached {
  std::unique_ptr<MidiBackend> backend;
  std::string problem;  // empty when a MIDI system was reached; otherwise a sentence for the user

  // On whichever thread starts the service.
  static Reached reach() {
    Reached reached;
    std::string problems;
    reached.backend = connectRtMidi(kOwnMidiClientName, problems);
    if (!reached.backend) reached.backend = connectJack(kOwnMidiClientName);
    if (reached.backend) return reached;
    if (!problems.empty()) problems += "; ";
    problems += QCoreApplication::translate("JackClock", "JACK server not running?").toStdString();
    reached.problem = QCoreApplication::translate(
                          "MidiSystemChoice",
                          "No MIDI ports are available: no MIDI system is running (%1). Start a "
                          "JACK server and restart the program to use MIDI ports.")
                          .arg(QString::fromStdString(problems))
                          .toStdString();
    return reached;
  }
};

struct RtMidiService::Impl {
  Reached reached;
  std::thread starter;
  bool started = false;
  std::vector<std::function<void()>> startWaiters;
};

RtMidiService::RtMidiService(Start when) : impl_(std::make_unique<Impl>()) {
  // From the first moment: what the libraries say while the MIDI system is reached counts.
  routeLibraryOutput();
  if (when == Start::Now) install(Reached::reach());
}

RtMidiService::~RtMidiService() {
  if (impl_->starter.joinable()) impl_->starter.join();
  // The backend goes before the base, which it hands its input to.
  useBackend(nullptr);
  impl_->reached = Reached{};
}

void RtMidiService::install(Reached reached) {
  impl_->reached = std::move(reached);
  useBackend(impl_->reached.backend.get());
  impl_->started = true;
  for (auto& waiter : std::exchange(impl_->startWaiters, {})) waiter();
}

void RtMidiService::startInBackground() {
  if (impl_->started || impl_->starter.joinable()) return;
  impl_->starter = std::thread([this] {
    auto reached = std::make_shared<Reached>(Reached::reach());
    // Should the service go first, its context takes this call along unrun.
    QMetaObject::invokeMethod(
        &context(), [this, reached] { install(std::move(*reached)); }, Qt::QueuedConnection);
  });
}

void RtMidiService::whenStarted(std::function<void()> started) {
  if (impl_->started) return started();
  impl_->startWaiters.push_back(std::move(started));
}

std::string RtMidiService::startupProblem() const { return impl_->reached.problem; }

std::string RtMidiService::jackPeriod() const {
  return impl_->reached.backend ? impl_->reached.backend->period() : std::string();
}

}  // namespace tarvik
