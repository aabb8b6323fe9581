// SPDX-License-Identifier: MIT
#pragma once

#include "midi/MidiService.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvik {

// Every failure of the layer is raised as this error; its what() is the text shown to the user.
class TMidiError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using TMemoryStream = std::vector<std::uint8_t>;

struct TMidiPort {
  std::string Name;
  MidiHandle Handle = kNoHandle;
};

// Base of the two port lists. Ports are addressed by their index in the service's enumeration.
class TMidiDevices {
 public:
  virtual ~TMidiDevices() = default;
  virtual void Open(int index) = 0;
  virtual void Close(int index) = 0;

  const std::vector<TMidiPort>& Ports() const { return Ports_; }
  std::vector<std::string> PortNames() const;
  bool IsOpen(int index) const;
  std::uint32_t LastResult() const { return LastResult_; }

  // Raises "%s: Device index out of bounds! (%d)" for an index outside the list; otherwise the
  // entry's handle (kNoHandle for a closed port).
  MidiHandle PortHandle(int index) const;
  // Stores the code; raises the service's text for a non-zero code that has one.
  void CheckResult(std::uint32_t code);

 protected:
  TMidiDevices(MidiService& service, const char* className);
  MidiService& Service_;
  std::vector<TMidiPort> Ports_;
  std::uint32_t LastResult_ = 0;
  const char* ClassName_;
};

// The receive buffer of one input port.
struct TSysExData {
  static constexpr std::uint32_t SysExBufferSize = 2048;
  TSysExData();
  TMemoryStream Stream;
  MidiHeader Header;
  std::array<std::uint8_t, SysExBufferSize> Buffer{};
};

class TMidiInput : public TMidiDevices {
 public:
  using ShortHandler = std::function<void(int port, std::uint8_t status, std::uint8_t data1,
                                          std::uint8_t data2)>;
  // The stream holds one whole SysEx message (F0 .. F7) and is emptied when the handler returns.
  using SysExHandler = std::function<void(int port, const TMemoryStream& stream)>;

  explicit TMidiInput(MidiService& service);
  ~TMidiInput() override;  // closes every port still open before its buffers go
  void Open(int index) override;
  void Close(int index) override;

  ShortHandler OnShortMessage;
  SysExHandler OnSysExMessage;
  // Errors that arise inside the input callback (a failing re-queue, an error a handler lets
  // out) have no caller to go to: they are handed here. Empty: they are printed to stderr.
  std::function<void(const std::string&)> OnError;

  void SysExBufferDone(int index);
  void ReportError(const std::string& message);
  // The service's input callback; instance is the port index.
  void MidiInCallback(std::uint32_t msg, std::uintptr_t instance, std::uintptr_t p1,
                      std::uintptr_t p2);

 private:
  std::vector<std::unique_ptr<TSysExData>> SysExBuffers_;
  std::vector<bool> Closing_;
};

class TMidiOutput : public TMidiDevices {
 public:
  explicit TMidiOutput(MidiService& service);
  ~TMidiOutput() override;  // closes every port still open
  void Open(int index) override;
  void Close(int index) override;
  // Opens the port first when it is closed. An index outside the list raises
  // "Listenindex überschreitet das Maximum (%d)".
  void SendShortMessage(int index, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
  // The port must be open; the whole stream is one message.
  void SendLongMessage(int index, const TMemoryStream& stream);
};

}  // namespace tarvik
