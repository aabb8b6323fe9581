// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "midi/MidiService.h"

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
  std::uint64_t Identity = 0;  // MidiService::inGetDevIdentity; 0 when it cannot tell
};

// What a new enumeration changed in one port list. Ports are matched by name and identity (the
// n-th port of a name with the n-th of the same name), so a port that moved keeps its entry and
// its handle, while one unplugged and plugged in again between two looks is a port that went
// and a port that came.
struct PortListChange {
  std::vector<std::string> added;    // in the new list's order
  std::vector<std::string> removed;  // in the old list's order
  std::vector<int> newIndex;         // for each port of the old list; -1 when it is gone
  bool changed() const;
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

  // Enumerates the service's ports again and brings the list in line: a port keeps its entry
  // (and its handle) at its new index; a port that is gone is closed, as far as the service
  // still lets it, and leaves the list. Raises TMidiError when the enumeration fails, the list
  // left as it was. Nothing while the list cannot change: inside an input handler, whose port
  // index must stay what the handler was given.
  std::optional<PortListChange> Rescan();

 protected:
  // Enumerates the service's ports; raises TMidiError when that fails.
  TMidiDevices(MidiService& service, bool input);
  // The service's ports (names and identities, no handles), in its order.
  std::vector<TMidiPort> Enumerate();
  virtual bool CanRescan() const { return true; }
  // Stores the handle of a port just opened. An open reaches the port that has the name now, so
  // a device plugged back in since the enumeration opens on its new plug; the entry takes that
  // identity, or the next enumeration would take the port for one that went.
  void Opened(int index, MidiHandle handle);
  // Takes down an open port whose device has gone, whatever the service answers.
  virtual void DropVanished(int index) = 0;
  // Moves what the subclass keeps per port along with the entries; `count` new ports.
  virtual void Rearrange(const std::vector<int>& /*newIndex*/, std::size_t /*count*/) {}
  // For the subclasses' destructors: every port still open goes down.
  void DropOpenPorts();
  MidiService& Service_;
  std::vector<TMidiPort> Ports_;
  std::uint32_t LastResult_ = 0;
  const bool Input_;
  bool RescanRefused_ = false;
};

// The receive buffer of one input port.
struct TSysExData {
  static constexpr std::uint32_t SysExBufferSize = 2048;
  explicit TSysExData(std::uintptr_t key = 0);
  // The instance value the port is opened with: it stays with the port when a new enumeration
  // moves it, so input is never handed to the port that took its old index.
  std::uintptr_t Key = 0;
  TMemoryStream Stream;
  MidiHeader Header;
  std::array<std::uint8_t, SysExBufferSize> Buffer{};
};

class TMidiInput : public TMidiDevices {
 public:
  using ShortHandler =
      std::function<void(int port, std::uint8_t status, std::uint8_t data1, std::uint8_t data2)>;
  // The stream holds one whole SysEx message (F0 .. F7) and is emptied when the handler returns.
  using SysExHandler = std::function<void(int port, const TMemoryStream& stream)>;

  explicit TMidiInput(MidiService& service);
  ~TMidiInput() override;  // closes every port still open before its buffers go
  void Open(int index) override;
  void Close(int index) override;

  ShortHandler OnShortMessage;
  SysExHandler OnSysExMessage;
  // Errors inside the input callback (a failing re-queue, an error a handler lets out) have no
  // caller to go to: they are handed here. Empty: they are printed to stderr.
  std::function<void(const std::string&)> OnError;
  // Called when a rescan refused inside a handler can be made: as the outermost handler
  // returns, still inside the service's callback (so only to schedule the rescan).
  std::function<void()> OnRescanDue;

  void SysExBufferDone(int index);
  void ReportError(const std::string& message);
  // The service's input callback; instance is the port's key (TSysExData::Key).
  void MidiInCallback(std::uint32_t msg, std::uintptr_t instance, std::uintptr_t p1,
                      std::uintptr_t p2);

 protected:
  bool CanRescan() const override { return CallbackDepth_ == 0; }
  void DropVanished(int index) override;
  void Rearrange(const std::vector<int>& newIndex, std::size_t count) override;

 private:
  std::vector<std::unique_ptr<TSysExData>> SysExBuffers_;
  std::vector<bool> Closing_;
  std::uintptr_t NextKey_ = 0;
  int CallbackDepth_ = 0;
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

 protected:
  void DropVanished(int index) override;
};

}  // namespace tarvik
