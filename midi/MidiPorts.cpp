// SPDX-License-Identifier: MIT
#include "midi/MidiPorts.h"

namespace tarvik {

MidiPorts::MidiPorts(std::unique_ptr<MidiService> service)
    : service_(std::move(service)), awaitingService_(!service_) {
  if (awaitingService_) service_ = std::make_unique<MidiService>();
}

void MidiPorts::adopt(std::unique_ptr<MidiService> service) {
  if (!awaitingService_ || !service) return;
  awaitingService_ = false;
  inputs_.reset();
  outputs_.reset();
  service_ = std::move(service);
}

TMidiInput& MidiPorts::inputs() {
  if (!inputs_) {
    inputs_ = std::make_unique<TMidiInput>(*service_);
    inputs_->OnError = reporter_;
    inputs_->OnRescanDue = rescanDue_;
    inputs_->OnShortMessage = shortHandler_;
    inputs_->OnSysExMessage = sysExHandler_;
  }
  return *inputs_;
}

TMidiOutput& MidiPorts::outputs() {
  if (!outputs_) outputs_ = std::make_unique<TMidiOutput>(*service_);
  return *outputs_;
}

std::optional<MidiPorts::Change> MidiPorts::rescan() {
  Change change;
  if (!inputs_)
    change.inputs.added = inputs().PortNames();
  else if (std::optional<PortListChange> inputs = inputs_->Rescan())
    change.inputs = std::move(*inputs);
  else
    return std::nullopt;
  // Outputs have no handlers of their own to be inside of.
  if (!outputs_)
    change.outputs.added = outputs().PortNames();
  else
    change.outputs = *outputs_->Rescan();
  return change;
}

void MidiPorts::setErrorReporter(std::function<void(const std::string&)> reporter) {
  reporter_ = std::move(reporter);
  if (inputs_) inputs_->OnError = reporter_;
}

void MidiPorts::setRescanDue(std::function<void()> due) {
  rescanDue_ = std::move(due);
  if (inputs_) inputs_->OnRescanDue = rescanDue_;
}

void MidiPorts::setMessageHandlers(TMidiInput::ShortHandler shortMessage,
                                   TMidiInput::SysExHandler sysEx) {
  shortHandler_ = std::move(shortMessage);
  sysExHandler_ = std::move(sysEx);
  if (!inputs_) return;
  inputs_->OnShortMessage = shortHandler_;
  inputs_->OnSysExMessage = sysExHandler_;
}

}  // namespace tarvik
