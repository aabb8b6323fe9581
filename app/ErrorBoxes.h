// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "core/ConfiguratorCore.h"

class QWidget;

namespace tarvik {

class CarefulRetry;
class Dialogs;

// The window's boxes for what went wrong, in one place so that every failure of the same kind
// reads the same: a plain error, a MIDI failure with the detail for whoever helps the user, a
// connect that found no Tarvik, a transfer given up, a block the device refused and a device
// with other firmware.
class ErrorBoxes {
 public:
  // All must outlive this.
  ErrorBoxes(Dialogs& dialogs, QWidget& owner, const ConfiguratorCore& core)
      : dialogs_(dialogs), owner_(owner), core_(core) {}

  // What the MIDI libraries said since the last failure (MidiSystem::libraryLines), for the detail.
  void setMidiFailureDetail(std::function<QStringList()> detail) {
    midiFailureDetail_ = std::move(detail);
  }

  // A failure for lost replies offers "Try again carefully" through it; nullptr: plain boxes.
  void setCareful(CarefulRetry* careful) { careful_ = careful; }

  void error(const QString& text);
  // The details name the MIDI system in use and what was `tried` on it, then what its
  // libraries said since the last failure.
  void midiFailure(const QString& caption, const QString& text, const QStringList& tried = {});
  // The connect's identify had no answer on the link's pair.
  void noTarvikFound();
  void transferAborted(ChainAbort why, const QString& activity, const QString& detail);
  void refused(Block block, std::uint8_t status);
  // Said with where the setup from before a flash is kept, while it waits for the comparison.
  void otherFirmware();

 private:
  QStringList midiDetail(const QStringList& tried) const;

  Dialogs& dialogs_;
  QWidget& owner_;
  const ConfiguratorCore& core_;
  std::function<QStringList()> midiFailureDetail_;
  CarefulRetry* careful_ = nullptr;
};

}  // namespace tarvik
