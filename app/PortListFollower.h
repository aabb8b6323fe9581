// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "core/ConfiguratorCore.h"
#include "core/PortPreselection.h"

class QListWidget;

namespace tarvik {

// Keeps the window's two port lists in step with the MIDI service while the program runs, so
// that a device switched on or plugged in after the start can be chosen without a restart.
//
// On every change the watcher reports, both lists are filled anew in the service's order (item i
// is port i, as the connect button and every send rely on); a selected port stays selected by
// name wherever it went, and a selected port that went leaves its list unselected. A list
// without a selection is offered the remembered pair, or else the pair the start-up rule picks,
// among the ports that just appeared. Every vanished port is logged once; then the core's link
// follows its ports, and a link port that went is reported by the link (DeviceLink::portLost),
// which ends what was using it.
class PortListFollower : public QObject {
  Q_OBJECT
 public:
  using Log = std::function<void(const QString&)>;

  PortListFollower(ConfiguratorCore& core, QListWidget& inputList, QListWidget& outputList, Log log,
                   QObject* parent = nullptr);

  // The pair connected last time (names as the lists show them): selected now when both are
  // listed, and offered before the start-up rule when ports appear.
  void setRemembered(const std::optional<std::pair<QString, QString>>& remembered);

 private:
  void follow(const MidiPorts::Change& change);

  ConfiguratorCore& core_;
  QListWidget& inputList_;
  QListWidget& outputList_;
  Log log_;
  std::optional<RememberedPorts> remembered_;
};

}  // namespace tarvik
