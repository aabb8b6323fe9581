// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>
#include <functional>
#include <optional>

#include "app/PaneFilledPage.h"
#include "core/ConfiguratorCore.h"
#include "core/PortPreselection.h"

class QListWidget;
class QPushButton;
class QSpinBox;

namespace tarvik {

class RememberedState;

// The "Midi" tab (TabSheet1): the two port lists, the connect button and the buttons beside
// them, at the places the window was drawn with; the window binds the buttons.
//
// The lists follow the MIDI service while the program runs, so that a device switched on or
// plugged in after the start can be chosen without a restart. On every change the watcher
// reports, both lists are filled anew in the service's order (item i is port i, as the connect
// button and every send rely on); a selected port stays selected by name wherever it went, and
// a selected port that went leaves its list unselected. A list without a selection is offered
// the remembered pair, or else the pair the start-up rule picks, among the ports that just
// appeared. Every vanished port is logged once; then the core's link follows its ports, and a
// link port that went is reported by the link (DeviceLink::portLost), which ends what was using
// it.
class MidiTab : public PaneFilledPage {
  Q_DECLARE_TR_FUNCTIONS(MidiTab)

 public:
  using Log = std::function<void(const QString&)>;

  // Adds itself as the tab control's next tab. The core must outlive the tab.
  MidiTab(QTabWidget& tabs, ConfiguratorCore& core, Log log);

  // Selects the list's row, or nothing for -1.
  static void selectPort(QListWidget& list, int row);
  // The list's selected row, -1 when nothing is selected (the current row may differ).
  static int selectedPort(const QListWidget& list);

  // The pair connected last time (names as the lists show them): selected now when both are
  // listed, and offered before the start-up rule when ports appear.
  void setRemembered(const std::optional<std::pair<QString, QString>>& remembered);
  // The pace and retries `state` remembers go into the boxes and the core, and every change
  // from now on into `state` too (nullptr: no longer). The state must outlive the tab.
  void rememberCareIn(RememberedState* state);

  QListWidget* const inputs;         // inputDevices
  QListWidget* const outputs;        // outputDevices
  QPushButton* const connectButton;  // Button1
  QPushButton* const traffic;        // TrafficButton
  QPushButton* const library;        // libraryButton
  QPushButton* const compare;        // compareButton
  QPushButton* const refresh;        // RefreshButton
  QPushButton* const testLink;       // testLinkButton: the link test, into the event log
  QSpinBox* const pace;              // paceBox: "Transfer pace", in ms
  QSpinBox* const retries;           // retriesBox: "Retries"

 private:
  void follow(const MidiPorts::Change& change);
  TransferCare shownCare() const;
  void careChanged();

  ConfiguratorCore& core_;
  Log log_;
  std::optional<RememberedPorts> remembered_;
  RememberedState* careState_ = nullptr;
};

}  // namespace tarvik
