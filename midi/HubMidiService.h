// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "midi/InputHub.h"
#include "midi/MidiService.h"

namespace tarvik {

// What the RtMidi service and the in-memory one answer alike: input handed over to the service's
// thread through an InputHub, its receive buffers queued, started, stopped and reset there, and
// the checks of the headers. Each call first asks the service about the handle (enter).
class HubMidiService : public MidiService {
 public:
  std::uint32_t inGetDevCaps(std::uint32_t port, std::string& name) override;
  std::uint32_t outGetDevCaps(std::uint32_t port, std::string& name) override;
  std::uint32_t inGetDevIdentity(std::uint32_t port, std::uint64_t& identity) override;
  std::uint32_t outGetDevIdentity(std::uint32_t port, std::uint64_t& identity) override;
  std::uint32_t inPrepareHeader(MidiHandle handle, MidiHeader* header) override;
  std::uint32_t inAddBuffer(MidiHandle handle, MidiHeader* header) override;
  std::uint32_t inStart(MidiHandle handle) override;
  std::uint32_t inStop(MidiHandle handle) override;
  std::uint32_t inReset(MidiHandle handle) override;
  std::uint32_t inUnprepareHeader(MidiHandle handle, MidiHeader* header) override;
  std::uint32_t outPrepareHeader(MidiHandle handle, MidiHeader* header) override;
  std::uint32_t outUnprepareHeader(MidiHandle handle, MidiHeader* header) override;

 protected:
  // The name or the identity (whichever is asked for) of the input (`input`) or output with this
  // number in the last enumeration; the call is named `operation`.
  virtual std::uint32_t describe(const char* operation, bool input, std::uint32_t port,
                                 std::string* name, std::uint64_t* identity) = 0;
  // 0 when the call named `operation` may go on with this handle of an open input (`input`) or
  // output; else the code the call returns.
  virtual std::uint32_t enter(const char* operation, MidiHandle handle, bool input) = 0;
  // The call fails for this reason (a text for the user): MidiResult::Error.
  virtual std::uint32_t fail(const std::string& text) {
    (void)text;
    return MidiResult::Error;
  }

  InputHub hub_;

 private:
  std::uint32_t checkHeader(const char* operation, MidiHandle handle, MidiHeader* header,
                            bool input);
};

}  // namespace tarvik
