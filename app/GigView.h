// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include "library/SetFollower.h"

class QLabel;
class QPushButton;

namespace tarvik {

class ConfiguratorCore;

// "Gig view - NAME": a set on stage, in type read at two metres. It follows every program
// change the device's input brings and every one the program sends, and stands in for a foot
// controller: Space, Right or Page Down play the next song's preset on the Tarvik, Left or Page
// Up the previous one, Home the first. F11 toggles full screen; Esc leaves full screen, then
// the view. Nothing here edits the setup.
class GigView : public QWidget {
  Q_OBJECT
 public:
  // The core must outlive the view; `labels` name the loops of a song that keeps none.
  GigView(ConfiguratorCore& core, const SetList& setList, const LoopLabels& labels,
          QWidget* parent = nullptr);

  const SetFollower& follower() const { return follower_; }
  // Plays the preset of the next (+1) or previous (-1) song, or the first (0), as the keys do.
  void step(int by);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void selected(int row);
  void showTexts();
  // Whether the laptop may play presets now, and if not, why; the device's warning.
  void showState();
  void toggleFullScreen();

  ConfiguratorCore& core_;
  SetFollower follower_;
  QString why_;  // the last step that could not be played, until the next one

  QLabel* song_ = nullptr;
  QLabel* place_ = nullptr;
  QLabel* preset_ = nullptr;
  QLabel* loops_ = nullptr;
  QLabel* programChange_ = nullptr;
  QLabel* note_ = nullptr;
  QLabel* next_ = nullptr;
  QLabel* warning_ = nullptr;
  QLabel* state_ = nullptr;
  QPushButton* previous_ = nullptr;
  QPushButton* forward_ = nullptr;
  QPushButton* fullScreen_ = nullptr;
};

}  // namespace tarvik
