// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <cstdint>

#include "tools/TrafficModel.h"

class QAction;
class QListView;
class QPushButton;

namespace tarvik {

class Dialogs;
class TrafficHistory;

// "MIDI Traffic": a window of its own, beside the main window, that lists every MIDI message
// the link sends and receives. The link's tap is the run-long history; opened, the window first
// takes the messages the history kept since the window last looked (up to the last 2,000, at
// the first opening those from the program's start), then is handed each new one while it is
// open (minimised counts as open). Closed, it costs nothing. The list is kept when the window
// is closed and opened again.
class TrafficWindow : public QWidget {
  Q_OBJECT
 public:
  // The history and the dialogs must outlive the window.
  TrafficWindow(TrafficHistory& history, Dialogs& dialogs, QWidget* parent = nullptr);
  ~TrafficWindow() override;

  TrafficModel& model() { return model_; }
  QListView* list() const { return list_; }
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

  TrafficHistory& history_;
  // The history's messages before this number are in the list (or were, before Clear).
  std::uint64_t seen_ = 0;
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
