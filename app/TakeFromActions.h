// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>
#include <functional>

class QWidget;

namespace tarvik {

class ConfiguratorCore;
class Dialogs;
class EditHistory;
struct TakeFromChoice;

// The presets tab's "Take from...": some presets, CC map rows or the settings of a file, a setup
// or a snapshot put over what the editors hold (ConfiguratorCore::takeParts) as one undo step,
// and nothing sent, so the user sees the rows marked and submits when ready. A CSV of the
// presets (PresetCsv) gives presets only. A source that cannot be read, or cannot give the
// parts, is said in the error box and changes nothing.
class TakeFromActions {
  Q_DECLARE_TR_FUNCTIONS(TakeFromActions)

 public:
  using Log = std::function<void(const QString&)>;

  // All must outlive the actions.
  TakeFromActions(Dialogs& dialogs, QWidget* owner, ConfiguratorCore& core, EditHistory& history,
                  Log log)
      : dialogs_(dialogs), owner_(owner), core_(core), history_(history), log_(std::move(log)) {}

  // Asks what to take, then takes it; false when cancelled, refused or busy.
  bool takeFrom();
  // The same with the answer given.
  bool take(const TakeFromChoice& choice);

 private:
  void refused(const QString& why);

  Dialogs& dialogs_;
  QWidget* owner_;
  ConfiguratorCore& core_;
  EditHistory& history_;
  Log log_;
};

}  // namespace tarvik
