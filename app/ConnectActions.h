// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <utility>

class QWidget;

namespace tarvik {

class CarefulRetry;
class ConfiguratorCore;
class Dialogs;
class EditTracking;
class ErrorBoxes;
class FullBackupActions;
class MidiTab;
class RememberedState;

// The window's connect policy: "Connect" and "Test link" over the selected pair, and what
// becomes of work opened while no Tarvik was connected. That work stays marked as opened until
// the connect that answered the question about it has done what the answer asked for: a send
// that failed, or a connect that found nothing, asks again next time.
class ConnectActions {
 public:
  using Log = std::function<void(const QString&)>;

  // All must outlive this. A link test's outcome goes into the log, with the pace to try when
  // replies were lost.
  ConnectActions(Dialogs& dialogs, QWidget& owner, ConfiguratorCore& core, EditTracking& edits,
                 FullBackupActions& fullBackup, CarefulRetry& careful, MidiTab& midi,
                 ErrorBoxes& boxes, Log log);

  // The pair that a connect opens is remembered there; nullptr for none.
  void setRemembered(RememberedState* state) { remembered_ = state; }

  // "Connect": the question about opened work first, then the unsaved-work question, then the
  // pair, then the send or the connect the answers ask for.
  void connect();
  // "Test link": the link test over the selected pair, its first line into the event log.
  void testLink();

  // The editors hold something opened while no device was connected.
  void workOpened() { openedWork_ = true; }
  // A connect (the window's own, or a send's restore) has ended.
  void connectEnded(bool succeeded);
  void restoreEnded(bool succeeded);
  // A device with other firmware answered: nothing enables the connect again.
  void lock() { locked_ = true; }
  bool locked() const { return locked_; }
  bool portsOpened() const { return portsOpened_; }

 private:
  // The selected input and output rows; an information box and nothing when one is missing.
  std::optional<std::pair<int, int>> choosePorts();
  // Opens the pair; a MIDI failure's box and false when it does not open.
  bool openPorts(int input, int output);
  // Clears the opened work's mark only when what the answer asked for was done.
  void settleOpenedWork(bool succeeded);

  Dialogs& dialogs_;
  QWidget& owner_;
  ConfiguratorCore& core_;
  EditTracking& edits_;
  FullBackupActions& fullBackup_;
  // The connect starts through it, so that "Try again carefully" can start it again as it was.
  CarefulRetry& careful_;
  MidiTab& midi_;
  ErrorBoxes& boxes_;
  Log log_;
  RememberedState* remembered_ = nullptr;

  bool locked_ = false;
  bool portsOpened_ = false;
  bool openedWork_ = false;
  // What the user answered for it, while the send or the connect of that answer runs.
  enum class Answering { Nothing, Send, Read };
  Answering answering_ = Answering::Nothing;
};

}  // namespace tarvik
