// SPDX-License-Identifier: MIT
#pragma once

#include <RtMidi.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "midi/RtMidiErrors.h"

namespace tarvik {

// Opens one RtMidi port on a thread of its own. Under JACK every RtMidi object is a client of
// its own: creating it, registering its port and connecting that are round trips to the server,
// tens of milliseconds on a busy machine, which the window's thread must not wait for.
//
// `make` gives the object on that thread (a new one, or one made beforehand); `prepare` runs
// there before the port opens (input callbacks, filters); `finished` runs afterwards on the
// thread of `context`, unless the context is gone. Destroying the opening waits for its thread.
template <typename Midi>
class PortOpening {
 public:
  PortOpening(std::function<std::unique_ptr<Midi>()> make, std::string portName,
              std::string ownPortName, std::function<void(Midi&)> prepare, QObject* context,
              std::function<void()> finished) {
    thread_ = std::thread([this, make = std::move(make), portName = std::move(portName),
                           ownPortName = std::move(ownPortName), prepare = std::move(prepare),
                           context, finished = std::move(finished)] {
      open(make, portName, ownPortName, prepare);
      QMetaObject::invokeMethod(context, finished, Qt::QueuedConnection);
    });
  }
  ~PortOpening() { wait(); }
  PortOpening(const PortOpening&) = delete;
  PortOpening& operator=(const PortOpening&) = delete;

  void wait() {
    if (thread_.joinable()) thread_.join();
  }
  // After `finished` (or wait()): the opened object, or nothing and why not.
  std::unique_ptr<Midi> take() {
    wait();
    return std::move(midi_);
  }
  std::string error() {
    wait();
    return error_;
  }

 private:
  void open(const std::function<std::unique_ptr<Midi>()>& make, const std::string& portName,
            const std::string& ownPortName, const std::function<void(Midi&)>& prepare) {
    try {
      midi_ = make();
    } catch (const RtMidiError& error) {
      error_ = error.getMessage();
      return;
    }
    errors_.install(*midi_);
    int index = -1;
    const unsigned count = midi_->getPortCount();
    for (unsigned i = 0; i < count && index < 0; ++i)
      if (midi_->getPortName(i) == portName) index = static_cast<int>(i);
    if (index < 0) {
      error_ =
          QCoreApplication::translate("PortOpening", "The MIDI port \"%1\" is no longer available.")
              .arg(QString::fromStdString(portName))
              .toStdString();
    } else {
      if (prepare) prepare(*midi_);
      midi_->openPort(static_cast<unsigned>(index), ownPortName);
    }
    if (error_.empty() && !errors_.ok()) error_ = errors_.message();
    if (!error_.empty()) midi_.reset();
  }

  // RtMidi reports here until the service installs its own collector on the object.
  RtMidiErrors errors_;
  std::unique_ptr<Midi> midi_;
  std::string error_;
  std::thread thread_;
};

}  // namespace tarvik
