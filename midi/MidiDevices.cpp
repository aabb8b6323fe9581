// SPDX-License-Identifier: MIT
#include "midi/MidiDevices.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <exception>

namespace tarvik {

namespace {

// The longest text the service's error-text buffer holds (128 bytes with the terminating zero).
constexpr std::size_t kMaxErrorText = 127;

std::string boundsError(const char* className, int index) {
  return QCoreApplication::translate("MidiDevices", "%1: Device index out of bounds! (%2)")
      .arg(QLatin1String(className))
      .arg(index)
      .toStdString();
}

// German in the English program too, as the first versions of the program had it.
std::string listIndexError(int index) {
  return QCoreApplication::translate("MidiDevices", "Listenindex überschreitet das Maximum (%1)")
      .arg(index)
      .toStdString();
}

// The name up to its first zero, as a fixed-size name field would hold it.
std::string nameUpToZero(const std::string& name) { return name.substr(0, name.find('\0')); }

}  // namespace

// ---- TMidiDevices -------------------------------------------------------------------------

TMidiDevices::TMidiDevices(MidiService& service, const char* className, bool input)
    : Service_(service), ClassName_(className), Input_(input) {}

std::vector<std::string> TMidiDevices::PortNames() const {
  std::vector<std::string> names;
  names.reserve(Ports_.size());
  for (const TMidiPort& port : Ports_) names.push_back(port.Name);
  return names;
}

bool TMidiDevices::IsOpen(int index) const {
  return index >= 0 && static_cast<std::size_t>(index) < Ports_.size() &&
         Ports_[static_cast<std::size_t>(index)].Handle != kNoHandle;
}

MidiHandle TMidiDevices::PortHandle(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= Ports_.size())
    throw TMidiError(boundsError(ClassName_, index));
  return Ports_[static_cast<std::size_t>(index)].Handle;
}

void TMidiDevices::CheckResult(std::uint32_t code) {
  LastResult_ = code;
  if (code == MidiResult::NoError) return;
  std::string text;
  if (Service_.getErrorText(code, text) == MidiResult::NoError)
    throw TMidiError(text.substr(0, kMaxErrorText));
}

void TMidiDevices::TakeIdentity(int index) {
  std::uint64_t identity = 0;
  const auto port = static_cast<std::uint32_t>(index);
  if ((Input_ ? Service_.inGetDevIdentity(port, identity)
              : Service_.outGetDevIdentity(port, identity)) == MidiResult::NoError)
    Ports_[static_cast<std::size_t>(index)].Identity = identity;
}

bool PortListChange::changed() const {
  if (!added.empty() || !removed.empty()) return true;
  for (std::size_t i = 0; i < newIndex.size(); ++i)
    if (newIndex[i] != static_cast<int>(i)) return true;
  return false;
}

std::vector<TMidiPort> TMidiDevices::Enumerate() {
  const std::uint32_t count = Input_ ? Service_.inGetNumDevs() : Service_.outGetNumDevs();
  std::vector<TMidiPort> ports;
  ports.reserve(count);
  for (std::uint32_t port = 0; port < count; ++port) {
    TMidiPort listed;
    CheckResult(Input_ ? Service_.inGetDevCaps(port, listed.Name)
                       : Service_.outGetDevCaps(port, listed.Name));
    listed.Name = nameUpToZero(listed.Name);
    CheckResult(Input_ ? Service_.inGetDevIdentity(port, listed.Identity)
                       : Service_.outGetDevIdentity(port, listed.Identity));
    ports.push_back(std::move(listed));
  }
  return ports;
}

void TMidiDevices::DropOpenPorts() {
  for (std::size_t index = 0; index < Ports_.size(); ++index)
    if (Ports_[index].Handle != kNoHandle) DropVanished(static_cast<int>(index));
}

std::optional<PortListChange> TMidiDevices::Rescan() {
  if (!CanRescan()) {
    RescanRefused_ = true;
    return std::nullopt;
  }
  RescanRefused_ = false;
  std::vector<TMidiPort> ports = Enumerate();

  PortListChange change;
  change.newIndex.assign(Ports_.size(), -1);
  std::vector<bool> taken(ports.size(), false);
  for (std::size_t old = 0; old < Ports_.size(); ++old) {
    for (std::size_t now = 0; now < ports.size(); ++now) {
      if (taken[now] || ports[now].Name != Ports_[old].Name ||
          ports[now].Identity != Ports_[old].Identity)
        continue;
      taken[now] = true;
      change.newIndex[old] = static_cast<int>(now);
      break;
    }
    if (change.newIndex[old] < 0) change.removed.push_back(Ports_[old].Name);
  }
  for (std::size_t now = 0; now < ports.size(); ++now)
    if (!taken[now]) change.added.push_back(ports[now].Name);

  // Vanished ports go down while every index still means what it meant.
  for (std::size_t old = 0; old < Ports_.size(); ++old)
    if (change.newIndex[old] < 0 && Ports_[old].Handle != kNoHandle)
      DropVanished(static_cast<int>(old));

  for (std::size_t old = 0; old < Ports_.size(); ++old)
    if (change.newIndex[old] >= 0)
      ports[static_cast<std::size_t>(change.newIndex[old])].Handle = Ports_[old].Handle;
  Rearrange(change.newIndex, ports.size());
  Ports_ = std::move(ports);
  return change;
}

// ---- TSysExData -----------------------------------------------------------------------------

TSysExData::TSysExData(std::uintptr_t key) : Key(key) {
  Header.data = Buffer.data();
  Header.bufferLength = SysExBufferSize;
}

// ---- TMidiInput -----------------------------------------------------------------------------

TMidiInput::TMidiInput(MidiService& service) : TMidiDevices(service, "TMidiInput", true) {
  Ports_ = Enumerate();
  for (std::size_t i = 0; i < Ports_.size(); ++i) {
    SysExBuffers_.push_back(NewBuffer());
    Closing_.push_back(false);
  }
}

std::unique_ptr<TSysExData> TMidiInput::NewBuffer() {
  return std::make_unique<TSysExData>(NextKey_++);
}

int TMidiInput::IndexOfKey(std::uintptr_t key) const {
  for (std::size_t i = 0; i < SysExBuffers_.size(); ++i)
    if (SysExBuffers_[i]->Key == key) return static_cast<int>(i);
  return -1;
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
    if (!buffer) buffer = NewBuffer();
  SysExBuffers_ = std::move(buffers);
  Closing_.assign(count, false);
}

// The service keeps a pointer to every queued header; no buffer may go while it is queued.
TMidiInput::~TMidiInput() { DropOpenPorts(); }

void TMidiInput::Open(int index) {
  if (PortHandle(index) != kNoHandle) return;
  const auto slot = static_cast<std::size_t>(index);
  MidiHandle handle = kNoHandle;
  CheckResult(Service_.inOpen(
      handle, static_cast<std::uint32_t>(index),
      [this](std::uint32_t msg, std::uintptr_t instance, std::uintptr_t p1, std::uintptr_t p2) {
        MidiInCallback(msg, instance, p1, p2);
      },
      SysExBuffers_[slot]->Key));
  Ports_[slot].Handle = handle;
  TakeIdentity(index);

  TSysExData& data = *SysExBuffers_[slot];
  data.Header.flags = 0;
  data.Header.bytesRecorded = 0;
  // Bytes of a message cut short by the last Close must not lead the first message now.
  data.Stream.clear();
  CheckResult(Service_.inPrepareHeader(handle, &data.Header));
  CheckResult(Service_.inAddBuffer(handle, &data.Header));
  CheckResult(Service_.inStart(handle));
}

void TMidiInput::Close(int index) {
  const MidiHandle handle = PortHandle(index);
  if (handle == kNoHandle) return;
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
    if (OnSysExMessage) {
      try {
        OnSysExMessage(index, data.Stream);
      } catch (const std::exception& error) {
        ReportError(error.what());
      } catch (...) {
        ReportError(QCoreApplication::translate("MidiDevices", "Unknown error in the SysEx handler")
                        .toStdString());
      }
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
  // Nothing may leave the service's callback: errors go to the program's error reporter.
  ++CallbackDepth_;
  struct Leave {
    TMidiInput& list;
    ~Leave() {
      if (--list.CallbackDepth_ > 0 || !list.RescanRefused_) return;
      list.RescanRefused_ = false;
      if (!list.OnRescanDue) return;
      try {
        list.OnRescanDue();
      } catch (...) {
        // Nothing may leave the service's callback; the next regular look makes up for it.
      }
    }
  } leave{*this};
  try {
    const int port = IndexOfKey(instance);
    if (port < 0) return;
    if (msg == MIM_DATA) {
      if (OnShortMessage)
        OnShortMessage(port, static_cast<std::uint8_t>(p1 & 0xFF),
                       static_cast<std::uint8_t>((p1 >> 8) & 0xFF),
                       static_cast<std::uint8_t>((p1 >> 16) & 0xFF));
    } else if (msg == MIM_LONGDATA) {
      SysExBufferDone(port);
    }
  } catch (const std::exception& error) {
    ReportError(error.what());
  } catch (...) {
    ReportError(
        QCoreApplication::translate("MidiDevices", "Unknown error in the MIDI input callback")
            .toStdString());
  }
}

// ---- TMidiOutput ----------------------------------------------------------------------------

TMidiOutput::TMidiOutput(MidiService& service) : TMidiDevices(service, "TMidiOutput", false) {
  Ports_ = Enumerate();
}

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
  Ports_[static_cast<std::size_t>(index)].Handle = handle;
  TakeIdentity(index);
}

void TMidiOutput::Close(int index) {
  CheckResult(Service_.outClose(PortHandle(index)));
  Ports_[static_cast<std::size_t>(index)].Handle = kNoHandle;
}

void TMidiOutput::SendShortMessage(int index, std::uint8_t status, std::uint8_t data1,
                                   std::uint8_t data2) {
  if (index < 0 || static_cast<std::size_t>(index) >= Ports_.size())
    throw TMidiError(listIndexError(index));
  if (Ports_[static_cast<std::size_t>(index)].Handle == kNoHandle) Open(index);
  const std::uint32_t packed = static_cast<std::uint32_t>(status) |
                               (static_cast<std::uint32_t>(data1) << 8) |
                               (static_cast<std::uint32_t>(data2) << 16);
  CheckResult(Service_.outShortMsg(PortHandle(index), packed));
}

void TMidiOutput::SendLongMessage(int index, const TMemoryStream& stream) {
  // The service only reads the bytes; the header type is shared with input, hence non-const.
  MidiHeader header;
  header.data = const_cast<std::uint8_t*>(stream.data());
  header.bufferLength = static_cast<std::uint32_t>(stream.size());
  header.flags = 0;
  CheckResult(Service_.outPrepareHeader(PortHandle(index), &header));
  CheckResult(Service_.outLongMsg(PortHandle(index), &header));
  CheckResult(Service_.outUnprepareHeader(PortHandle(index), &header));
}

void TMidiInput::ReportError(const std::string& message) {
  if (OnError) {
    try {
      OnError(message);
      return;
    } catch (...) {
      // A reporter that fails must not take the input callback down with it.
    }
  }
  std::fprintf(stderr, "MIDI error: %s\n", message.c_str());
}

}  // namespace tarvik
