// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>

#include "config/DeviceBlocks.h"
#include "config/LoopLabels.h"
#include "library/SetList.h"

namespace tarvik {

// Where a set stands on stage. Song k of the set stands at preset k, where arranging puts it, so
// the program change that selects preset k selects song k; one that selects a preset beyond the
// set selects no song. The gig view shows what this says, in words read across a room.
class SetFollower {
  Q_DECLARE_TR_FUNCTIONS(SetFollower)

 public:
  // What the view shows of the preset last selected. A preset beyond the set has only `song`
  // (which says so), `preset` and the next song from the start.
  struct Texts {
    QString song;
    QString place;
    QString preset;
    QString loops;
    QString programChange;
    QString note;
    QString next;
  };

  // `fallback` names the loops of a song that keeps no labels of its own. The set starts at
  // its first song, as a gig does.
  explicit SetFollower(SetList setList, LoopLabels fallback = {});

  const SetList& setList() const { return setList_; }
  // The matrix row (0..127) of the preset last selected.
  int row() const { return row_; }
  void select(int row);
  // The song the row selects (0-based), -1 for a preset beyond the set.
  int song() const { return row_ < setList_.songs.size() ? row_ : -1; }
  // The rows of the next and the previous song, and of the first; -1 where there is none.
  int nextRow() const;
  int previousRow() const;
  int firstRow() const { return setList_.songs.isEmpty() ? -1 : 0; }

  Texts texts() const;
  // "2 Fuzz, 5 Delay": the loops the song turns on, by number and label.
  QString loopsText(const SetSong& song) const;

  // The first song whose preset the device's last download does not hold as the set has it
  // (loops and program change), in a line that says what to do; empty when the device holds the
  // whole set or has not been read.
  static QString deviceWarning(const SetList& setList, const DeviceBlocks& device);

 private:
  SetList setList_;
  LoopLabels fallback_;
  int row_ = 0;
};

}  // namespace tarvik
