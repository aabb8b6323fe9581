// SPDX-License-Identifier: MIT
#include "link/FullDownload.h"

namespace tarvik {

QString noTarvikFoundText() { return FullDownload::tr("No Tarvik found"); }

QString versionMismatchText() {
  return FullDownload::tr(
      "Your Tarvik Version does not match to this software! Please Update Firmware or Software!");
}

QString chainAbortText(ChainAbort why, const QString& activity, const QString& detail) {
  switch (why) {
    case ChainAbort::NoReply:
      return FullDownload::tr("Tarvik did not answer while %1").arg(activity);
    case ChainAbort::SendFailed:
      return FullDownload::tr("MIDI error while %1: %2").arg(activity, detail);
    case ChainAbort::PortGone:
      return FullDownload::tr("MIDI port %1 vanished while %2").arg(detail, activity);
  }
  return activity;
}

FullDownload::FullDownload(TransferMachine& machine, QObject* parent)
    : QObject(parent), machine_(machine) {
  connect(&machine_, &TransferMachine::identified, this,
          [this](const QString& version, bool compatible) {
            if (!running_) return;
            Q_EMIT identified(version, compatible);
            if (!compatible) finish(Problem::WrongFirmware, versionMismatchText());
          });
  connect(&machine_, &TransferMachine::connectTimedOut, this, [this] {
    if (running_) finish(Problem::NotFound, noTarvikFoundText());
  });
  connect(&machine_, &TransferMachine::chainFinished, this, [this](Chain chain) {
    if (running_ && chain == Chain::Connect) finish(Problem::None, {});
  });
  connect(&machine_, &TransferMachine::chainAborted, this,
          [this](Chain chain, ChainAbort why, const QString& activity, const QString& detail) {
            if (running_ && chain == Chain::Connect)
              finish(Problem::Aborted, chainAbortText(why, activity, detail));
          });
}

bool FullDownload::start(TransferMachine::Reach reach) {
  if (running_) return false;
  // The identify burst counts from here, as it does for the window's connect button.
  machine_.resetIdentifyCount();
  problem_ = Problem::None;
  running_ = true;
  // A send that fails at once ends the chain inside startConnect, through chainAborted.
  if (!machine_.startConnect(reach)) {
    running_ = false;
    return false;
  }
  return true;
}

void FullDownload::finish(Problem problem, const QString& text) {
  running_ = false;
  problem_ = problem;
  Q_EMIT finished(problem == Problem::None, text);
}

}  // namespace tarvik
