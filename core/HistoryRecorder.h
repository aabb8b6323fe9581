// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

#include "config/DeviceBlocks.h"

namespace tarvik {

class RestoreCheck;
class SetupLibrary;
class TransferMachine;

// Keeps the device history of a library: what the device holds after every completed download
// ("download"), every submit chain in which the device confirmed a block ("submit"), every
// verified restore ("restore") and every restore that failed after the device confirmed a block
// ("unverified restore"). What the device holds is followed block by block: a download brings
// the bytes as sent, a confirmation means the device now holds what went out. Nothing is
// recorded until all four blocks are known.
//
// A restore is one event: its submits and its verifying download are not recorded on their
// own, or the history would hold a half-restored device and, since a snapshot equal to the
// newest one is not stored, the restore itself would vanish behind its own download.
class HistoryRecorder : public QObject {
  Q_OBJECT
 public:
  HistoryRecorder(TransferMachine& machine, RestoreCheck& restoreCheck, QObject* parent = nullptr);

  // nullptr: none. The library must outlive its use here (until replaced or the recorder goes).
  void setLibrary(SetupLibrary* library) { library_ = library; }
  SetupLibrary* library() const { return library_; }

 Q_SIGNALS:
  // A snapshot could not be written; the transfer itself is not affected.
  void logLine(const QString& line);
  // A snapshot was added to the library's history (not when it equalled the newest one).
  void recorded(const QString& event);

 private:
  void record(const QString& event);
  void submitEnded();

  RestoreCheck& restoreCheck_;
  SetupLibrary* library_ = nullptr;
  DeviceBlocks held_;
  // A block was confirmed in the submit chain that runs.
  bool confirmed_ = false;
};

}  // namespace tarvik
