// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <optional>

#include "core/CompareSource.h"

class QComboBox;
class QLabel;
class QPushButton;
class QStackedWidget;

namespace tarvik {

class ConfiguratorCore;
class Dialogs;

// One side of the comparison to choose: the device's last download, the editors, a setup of the
// library by name, a snapshot of the device history, or a .tvk or backup file. What is not
// there to choose (no download yet, no library) stays in the list, disabled, with the reason
// as its tooltip. The library's lists are read when refreshChoices() is called, not kept in
// step with every change to the library. A setup or snapshot chosen before that is gone from
// the library then leaves the side empty, and missingText() says so: never another entry in
// its place, which "Open ... into the editors" would then open.
class CompareSidePicker : public QWidget {
  Q_OBJECT
 public:
  // Object names start with `name` ("left" -> "leftKind", "leftSetup", ...). The dialogs and
  // the core must outlive the picker.
  CompareSidePicker(const QString& name, Dialogs& dialogs, const ConfiguratorCore& core,
                    QWidget* parent = nullptr);

  // The side chosen; empty while the setup, snapshot or file is still to be picked.
  std::optional<CompareSource> source() const;
  // What the file dialog of "Choose..." offers (TablesFile's .tvk files unless set).
  void setFileFilter(const QString& filter, const QString& suffix) {
    fileFilter_ = filter;
    fileSuffix_ = suffix;
  }
  // Chooses a side as the user would, but a file without asking for it.
  void choose(const CompareSource& source);
  // "Device", "Setup "live"", "rig.tvk": what the side's column is headed with.
  QString title() const;
  // The undo step that opening the side into the editors makes.
  QString stepText() const;
  // What is still to be picked for this side ("Choose a setup."); empty once source() has one.
  QString missingText() const;

  // Takes in what may have changed meanwhile: whether there is a download and a library, and
  // the library's setups and snapshots. Reports sourceChanged() only when the side did change.
  void refreshChoices();

  QComboBox* kindBox() const { return kind_; }
  QComboBox* setupBox() const { return setups_; }
  QComboBox* snapshotBox() const { return snapshots_; }

 Q_SIGNALS:
  void sourceChanged();

 private:
  CompareSource::Kind kind() const;
  void onKindChosen();
  void chooseFile();
  void setFile(const QString& path);
  void setAvailable(CompareSource::Kind kind, bool available, const QString& why);
  // Refills `list` by `addItems` (false when the library could not be read), keeping the item
  // chosen or remembering it as gone.
  void fill(QComboBox* list, const std::function<bool()>& addItems);

  Dialogs& dialogs_;
  const ConfiguratorCore& core_;
  QComboBox* kind_;
  QStackedWidget* detail_;
  QComboBox* setups_;
  QComboBox* snapshots_;
  QLabel* file_;
  QPushButton* chooseFile_;
  QString filePath_;
  QString fileFilter_;
  QString fileSuffix_;
  // Lists being refilled: their passing states are not the user's choice.
  bool filling_ = false;
  // The setup or snapshot chosen that the library no longer holds, by its data and its text in
  // the list; forgotten once the user or choose() picks from that list.
  struct Gone {
    QVariant data;
    QString text;
  };
  QHash<const QComboBox*, Gone> gone_;
};

}  // namespace tarvik
