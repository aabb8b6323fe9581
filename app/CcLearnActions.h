// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

class QDialog;
class QWidget;

namespace tarvik {

class CcLearn;
class ConfiguratorCore;
class Dialogs;
class EditHistory;
class PresetMatrixTab;

// CC learn on the presets tab: the tab's learn entries start a wait (CcLearn), a small dialog
// shows it with Cancel, and the control change that ends it either becomes the CC map entry of
// its controller number, switching the chosen loop (one undo step, asked first when the entry
// switches another loop), or picks that entry in the grid. Cancel and the time-out change
// nothing. The outcome is handled after the input's hand-over has returned, so a question may
// run its own event loop.
class CcLearnActions : public QObject {
  Q_OBJECT
 public:
  using Log = std::function<void(const QString&)>;
  // All must outlive the actions; `window` owns the dialog and the question.
  CcLearnActions(Dialogs& dialogs, QWidget& window, ConfiguratorCore& core, EditHistory& history,
                 PresetMatrixTab& presets, Log log, QObject* parent = nullptr);

  CcLearn& learn() { return *learn_; }
  // The next control change switches loop `loop` (0..7); with none, it picks its entry.
  void learnFor(std::optional<int> loop);

 Q_SIGNALS:
  // A wait has ended (learned, answered, timed out or cancelled) and its outcome is in place.
  void ended();

 private:
  void openDialog(const QString& text);
  void closeDialog();
  void onLearned(int controller);
  void assign(int controller, int loop);

  Dialogs& dialogs_;
  QWidget& window_;
  ConfiguratorCore& core_;
  EditHistory& history_;
  PresetMatrixTab& presets_;
  Log log_;
  CcLearn* learn_ = nullptr;
  QPointer<QDialog> dialog_;
  // The loop the wait under way learns for; none picks the entry.
  std::optional<int> loop_;
};

}  // namespace tarvik
