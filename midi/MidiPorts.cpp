// SPDX-License-Identifier: MIT
#include "midi/MidiPorts.h"

namespace tarvik {

MidiPorts::MidiPorts(std::unique_ptr<MidiService> service) : service_(std::move(service)) {}

MidiPorts::~MidiPorts() {
  inputs_.reset();
  outputs_.reset();
  service_.reset();
}

TMidiInput& MidiPorts::inputs() {
  if (!inputs_) {
    inputs_ = std::make_unique<TMidiInput>(*service_);
    inputs_->OnError = reporter_;
  }
  return *inputs_;
}

TMidiOutput& MidiPorts::outputs() {
  if (!outputs_) outputs_ = std::make_unique<TMidiOutput>(*service_);
  return *outputs_;
}

void MidiPorts::setErrorReporter(std::function<void(const std::string&)> reporter) {
  reporter_ = std::move(reporter);
  if (inputs_) inputs_->OnError = reporter_;
}

}  // namespace tarvik
