// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include "tools/TrafficModel.h"

class QAction;
class QListView;
class QPushButton;

namespace tarvik {

class DeviceLink;
class Dialogs;

// "MIDI Traffic": a window of its own, beside the main window, that lists every MIDI message
// the link sends and receives while it is shown. Its model is the link's tap only while the
// window is open (minimised counts as open): closed, the link does no work for it at all. The
// list is kept when the window is closed and opened again.
class TrafficWindow : public QWidget {
  Q_OBJECT
 public:
  // The link and the dialogs must outlive the window.
  TrafficWindow(DeviceLink& link, Dialogs& dialogs, QWidget* parent = nullptr);
  ~TrafficWindow() override;

  TrafficModel& model() { return model_; }
  QListView* list() const { return list_; }
  QPushButton* pauseButton() const { return pause_; }
  QPushButton* clearButton() const { return clear_; }
  QPushButton* saveButton() const { return save_; }
  QAction* copyAction() const { return copy_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // The selected rows' full lines, top to bottom, to the clipboard.
  void copySelected();
  void detach();

  DeviceLink& link_;
  Dialogs& dialogs_;
  TrafficModel model_;
  QListView* list_;
  QPushButton* pause_;
  QPushButton* clear_;
  QPushButton* save_;
  QAction* copy_;
  // The list was scrolled to its end when new rows came: it stays there.
  bool following_ = false;
};

}  // namespace tarvik
