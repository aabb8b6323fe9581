// SPDX-License-Identifier: MIT
#include "midi/MidiDevices.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <exception>

namespace tarvik {

namespace {

std::string layerText(const char* text) {
  return QCoreApplication::translate("MidiDevices", text).toStdString();
}

}  // namespace

TMidiDevices::TMidiDevices(MidiService& service, bool input) : Service_(service), Input_(input) {
  Ports_ = Enumerate();
}

std::vector<std::string> TMidiDevices::PortNames() const {
  std::vector<std::string> names;
  for (const TMidiPort& port : Ports_) names.push_back(port.Name);
  return names;
}

bool TMidiDevices::IsOpen(int index) const {
  return index >= 0 && static_cast<std::size_t>(index) < Ports_.size() &&
         Ports_[static_cast<std::size_t>(index)].Handle != kNoHandle;
}

MidiHandle TMidiDevices::PortHandle(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= Ports_.size())
    throw TMidiError(
        QCoreApplication::translate("MidiDevices", "%1: Device index out of bounds! (%2)")
            .arg(QLatin1String(Input_ ? "TMidiInput" : "TMidiOutput"))
            .arg(index)
            .toStdString());
  return Ports_[static_cast<std::size_t>(index)].Handle;
}

void TMidiDevices::CheckResult(std::uint32_t code) {
  LastResult_ = code;
  std::string text;
  // What the service's 128-byte text buffer holds, with its terminating zero.
  if (code != MidiResult::NoError && Service_.getErrorText(code, text) == MidiResult::NoError)
    throw TMidiError(text.substr(0, 127));
}

void TMidiDevices::Opened(int index, MidiHandle handle) {
  TMidiPort& port = Ports_[static_cast<std::size_t>(index)];
  port.Handle = handle;
  std::uint64_t identity = 0;
  const auto number = static_cast<std::uint32_t>(index);
  if ((Input_ ? Service_.inGetDevIdentity(number, identity)
              : Service_.outGetDevIdentity(number, identity)) == MidiResult::NoError)
    port.Identity = identity;
}

bool PortListChange::changed() const {
  for (std::size_t i = 0; i < newIndex.size(); ++i)
    if (newIndex[i] != static_cast<int>(i)) return true;
  return !added.empty() || !removed.empty();
}

std::vector<TMidiPort> TMidiDevices::Enumerate() {
  const std::uint32_t count = Input_ ? Service_.inGetNumDevs() : Service_.outGetNumDevs();
  std::vector<TMidiPort> ports(count);
  for (std::uint32_t port = 0; port < count; ++port) {
    TMidiPort& listed = ports[port];
    CheckResult(Input_ ? Service_.inGetDevCaps(port, listed.Name)
                       : Service_.outGetDevCaps(port, listed.Name));
    // The name up to its first zero, as a fixed-size name field would hold it.
    listed.Name.resize(std::min(listed.Name.size(), listed.Name.find('\0')));
    CheckResult(Input_ ? Service_.inGetDevIdentity(port, listed.Identity)
                       : Service_.outGetDevIdentity(port, listed.Identity));
  }
  return ports;
}

void TMidiDevices::DropOpenPorts() {
  for (std::size_t index = 0; index < Ports_.size(); ++index)
    if (Ports_[index].Handle != kNoHandle) DropVanished(static_cast<int>(index));
}

std::optional<PortListChange> TMidiDevices::Rescan() {
  if ((RescanRefused_ = !CanRescan())) return std::nullopt;
  std::vector<TMidiPort> ports = Enumerate();

  PortListChange change;
  change.newIndex.assign(Ports_.size(), -1);
  std::vector<bool> taken(ports.size(), false);
  for (std::size_t old = 0; old < Ports_.size(); ++old) {
    const TMidiPort& was = Ports_[old];
    for (std::size_t now = 0; now < ports.size() && change.newIndex[old] < 0; ++now)
      if (!taken[now] && ports[now].Name == was.Name && ports[now].Identity == was.Identity) {
        taken[now] = true;
        change.newIndex[old] = static_cast<int>(now);
      }
    if (change.newIndex[old] >= 0) continue;
    change.removed.push_back(was.Name);
    // Vanished ports go down while every index still means what it meant.
    if (was.Handle != kNoHandle) DropVanished(static_cast<int>(old));
  }
  for (std::size_t now = 0; now < ports.size(); ++now)
    if (!taken[now]) change.added.push_back(ports[now].Name);
  for (std::size_t old = 0; old < Ports_.size(); ++old)
    if (change.newIndex[old] >= 0)
      ports[static_cast<std::size_t>(change.newIndex[old])].Handle = Ports_[old].Handle;
  Rearrange(change.newIndex, ports.size());
  Ports_ = std::move(ports);
  return change;
}

TSysExData::TSysExData(std::uintptr_t key) : Key(key) {
  Header.data = Buffer.data();
  Header.bufferLength = SysExBufferSize;
}

TMidiInput::TMidiInput(MidiService& service) : TMidiDevices(service, true) {
  Rearrange({}, Ports_.size());
}

void TMidiInput::DropVanished(int index) {
  const auto slot = static_cast<std::size_t>(index);
  try {
    Close(index);
  } catch (...) {
    // The service may no longer know the port; its buffer must not stay queued all the same.
    const MidiHandle handle = Ports_[slot].Handle;
    Closing_[slot] = true;
    Service_.inReset(handle);
    Service_.inClose(handle);
    Closing_[slot] = false;
    Ports_[slot].Handle = kNoHandle;
  }
}

void TMidiInput::Rearrange(const std::vector<int>& newIndex, std::size_t count) {
  std::vector<std::unique_ptr<TSysExData>> buffers(count);
  for (std::size_t old = 0; old < newIndex.size(); ++old)
    if (newIndex[old] >= 0)
      buffers[static_cast<std::size_t>(newIndex[old])] = std::move(SysExBuffers_[old]);
  for (auto& buffer : buffers)
    if (!buffer) buffer = std::make_unique<TSysExData>(NextKey_++);
  SysExBuffers_ = std::move(buffers);
  Closing_.assign(count, false);
}

// The service keeps a pointer to every queued header; no buffer may go while it is queued.
TMidiInput::~TMidiInput() { DropOpenPorts(); }

void TMidiInput::Open(int index) {
  if (PortHandle(index) != kNoHandle) return;
  TSysExData& data = *SysExBuffers_[static_cast<std::size_t>(index)];
  MidiHandle handle = kNoHandle;
  CheckResult(Service_.inOpen(
      handle, static_cast<std::uint32_t>(index),
      [this](auto... message) { MidiInCallback(message...); }, data.Key));
  Opened(index, handle);
  data.Header.flags = 0;
  data.Header.bytesRecorded = 0;
  // Bytes of a message cut short by the last Close must not lead the first message now.
  data.Stream.clear();
  CheckResult(Service_.inPrepareHeader(handle, &data.Header));
  CheckResult(Service_.inAddBuffer(handle, &data.Header));
  CheckResult(Service_.inStart(handle));
}

void TMidiInput::Close(int index) {
  if (PortHandle(index) == kNoHandle) return;
  const auto slot = static_cast<std::size_t>(index);
  TSysExData& data = *SysExBuffers_[slot];
  // The reset hands the buffer back; while closing, SysExBufferDone must not queue it again.
  Closing_[slot] = true;
  struct ClearFlag {
    std::vector<bool>& flags;
    std::size_t slot;
    ~ClearFlag() { flags[slot] = false; }
  } clearFlag{Closing_, slot};
  CheckResult(Service_.inStop(PortHandle(index)));
  CheckResult(Service_.inReset(PortHandle(index)));
  CheckResult(Service_.inUnprepareHeader(PortHandle(index), &data.Header));
  CheckResult(Service_.inClose(PortHandle(index)));
  Ports_[slot].Handle = kNoHandle;
  data.Stream.clear();
}

void TMidiInput::SysExBufferDone(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= SysExBuffers_.size()) return;
  const auto slot = static_cast<std::size_t>(index);
  TSysExData& data = *SysExBuffers_[slot];
  if (data.Header.bytesRecorded == 0) return;

  const std::uint32_t count = std::min(data.Header.bytesRecorded, TSysExData::SysExBufferSize);
  data.Stream.insert(data.Stream.end(), data.Buffer.begin(), data.Buffer.begin() + count);
  if ((data.Header.flags & MHDR_DONE) != 0) {
    // A handler's error is reported here, not passed on: the buffer must go back to the service
    // whatever the handler did, or the port would receive nothing more.
    try {
      if (OnSysExMessage) OnSysExMessage(index, data.Stream);
    } catch (const std::exception& error) {
      ReportError(error.what());
    } catch (...) {
      ReportError(
          layerText(QT_TRANSLATE_NOOP("MidiDevices", "Unknown error in the SysEx handler")));
    }
    data.Stream.clear();
  }
  data.Header.bytesRecorded = 0;

  // Not while Close runs, not when the handler closed the port, and not twice when the handler
  // closed and opened it again (Open has queued the buffer then).
  if (Closing_[slot] || Ports_[slot].Handle == kNoHandle || data.Header.queued) return;
  CheckResult(Service_.inPrepareHeader(PortHandle(index), &data.Header));
  CheckResult(Service_.inAddBuffer(PortHandle(index), &data.Header));
}

void TMidiInput::MidiInCallback(std::uint32_t msg, std::uintptr_t instance, std::uintptr_t p1,
                                std::uintptr_t /*p2*/) {
  ++CallbackDepth_;
  struct Leave {
    TMidiInput& list;
    ~Leave() {
      if (--list.CallbackDepth_ > 0 || !list.RescanRefused_) return;
      list.RescanRefused_ = false;
      try {
        if (list.OnRescanDue) list.OnRescanDue();
      } catch (...) {
        // Nothing may leave the service's callback; the next regular look makes up for it.
      }
    }
  } leave{*this};
  // Nothing may leave the service's callback: errors go to the program's error reporter.
  try {
    const auto found =
        std::find_if(SysExBuffers_.begin(), SysExBuffers_.end(),
                     [instance](const auto& buffer) { return buffer->Key == instance; });
    if (found == SysExBuffers_.end()) return;
    const auto port = static_cast<int>(found - SysExBuffers_.begin());
    if (msg == MIM_DATA && OnShortMessage)
      OnShortMessage(port, static_cast<std::uint8_t>(p1 & 0xFF),
                     static_cast<std::uint8_t>((p1 >> 8) & 0xFF),
                     static_cast<std::uint8_t>((p1 >> 16) & 0xFF));
    else if (msg == MIM_LONGDATA)
      SysExBufferDone(port);
  } catch (const std::exception& error) {
    ReportError(error.what());
  } catch (...) {
    ReportError(
        layerText(QT_TRANSLATE_NOOP("MidiDevices", "Unknown error in the MIDI input callback")));
  }
}

void TMidiInput::ReportError(const std::string& message) {
  try {
    if (OnError) return OnError(message);
  } catch (...) {
    // A reporter that fails must not take the input callback down with it.
  }
  std::fprintf(stderr, "MIDI error: %s\n", message.c_str());
}

TMidiOutput::TMidiOutput(MidiService& service) : TMidiDevices(service, false) {}

void TMidiOutput::DropVanished(int index) {
  TMidiPort& port = Ports_[static_cast<std::size_t>(index)];
  Service_.outClose(port.Handle);
  port.Handle = kNoHandle;
}

TMidiOutput::~TMidiOutput() { DropOpenPorts(); }

void TMidiOutput::Open(int index) {
  if (PortHandle(index) != kNoHandle) return;
  MidiHandle handle = kNoHandle;
  CheckResult(Service_.outOpen(handle, static_cast<std::uint32_t>(index)));
  Opened(index, handle);
}

void TMidiOutput::Close(int index) {
  CheckResult(Service_.outClose(PortHandle(index)));
  Ports_[static_cast<std::size_t>(index)].Handle = kNoHandle;
}

void TMidiOutput::SendShortMessage(int index, std::uint8_t status, std::uint8_t data1,
                                   std::uint8_t data2) {
  // German in the English program too, as the first versions of the program had it.
  if (index < 0 || static_cast<std::size_t>(index) >= Ports_.size())
    throw TMidiError(
        QCoreApplication::translate("MidiDevices", "Listenindex überschreitet das Maximum (%1)")
            .arg(index)
            .toStdString());
  if (Ports_[static_cast<std::size_t>(index)].Handle == kNoHandle) Open(index);
  CheckResult(Service_.outShortMsg(PortHandle(index), status | (data1 << 8) | (data2 << 16)));
}

void TMidiOutput::SendLongMessage(int index, const TMemoryStream& stream) {
  // The service only reads the bytes; the header type is shared with input, hence non-const.
  MidiHeader header;
  header.data = const_cast<std::uint8_t*>(stream.data());
  header.bufferLength = static_cast<std::uint32_t>(stream.size());
  CheckResult(Service_.outPrepareHeader(PortHandle(index), &header));
  CheckResult(Service_.outLongMsg(PortHandle(index), &header));
  CheckResult(Service_.outUnprepareHeader(PortHandle(index), &header));
}

}  // namespace tarvik
