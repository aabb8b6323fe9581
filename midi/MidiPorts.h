// SPDX-License-Identifier: MIT
#pragma once

#include <QMetaType>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "midi/MidiDevices.h"
#include "midi/MidiService.h"

namespace tarvik {

// The program's two port lists and the service behind them. Whoever runs the program (the
// window's entry, the command line, a test) creates one and passes it on; nothing reaches the
// lists through globals. Each list is created, and its ports enumerated, on its first use; a
// list whose enumeration failed raises its error and is enumerated again on its next use.
class MidiPorts {
 public:
  // Without a service the lists have no ports until adopt() brings one (the window's, whose
  // service comes from a module loaded after its first frame).
  explicit MidiPorts(std::unique_ptr<MidiService> service = {});
  // The input list, then the output list (each closes the ports still open), then the service.
  ~MidiPorts() = default;
  MidiPorts(const MidiPorts&) = delete;
  MidiPorts& operator=(const MidiPorts&) = delete;

  TMidiInput& inputs();
  TMidiOutput& outputs();
  MidiService& service() { return *service_; }
  // Takes the service's place when there was none, once: the lists, which had nothing to list
  // and so nothing open, are made anew over it on their next use.
  void adopt(std::unique_ptr<MidiService> service);

  // Both lists enumerated anew (TMidiDevices::Rescan), inputs first; a list not created yet is
  // created, all its ports new. Nothing inside an input handler: the next call tries again.
  // Raises TMidiError; the lists are then as they were, except an input list already brought in
  // line when only the outputs failed.
  struct Change {
    PortListChange inputs;
    PortListChange outputs;
    bool changed() const { return inputs.changed() || outputs.changed(); }
  };
  std::optional<Change> rescan();

  // The handlers of every input list these ports ever hold: the one in use and each made later
  // (after adopt()), so that a listener set once is never left on a list that is gone. See
  // TMidiInput's OnError and OnRescanDue; empty handlers detach.
  void setErrorReporter(std::function<void(const std::string&)> reporter);
  void setRescanDue(std::function<void()> due);
  void setMessageHandlers(TMidiInput::ShortHandler shortMessage, TMidiInput::SysExHandler sysEx);

 private:
  // Destroyed from the last: the inputs, the outputs, then the service.
  std::unique_ptr<MidiService> service_;
  bool awaitingService_ = false;
  std::unique_ptr<TMidiOutput> outputs_;
  std::unique_ptr<TMidiInput> inputs_;
  std::function<void(const std::string&)> reporter_;
  std::function<void()> rescanDue_;
  TMidiInput::ShortHandler shortHandler_;
  TMidiInput::SysExHandler sysExHandler_;
};

}  // namespace tarvik

Q_DECLARE_METATYPE(tarvik::MidiPorts::Change)
