// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include "config/LoopLabels.h"
#include "config/PresetRows.h"

namespace tarvik {

// The source a song keeps for a preset copied from the editors: a word of the program's, shown
// to the user in the user's words.
inline const QString kEditorsSource = QStringLiteral("editors");

// A song of a set list: what it is called and the preset it is played with, copied when the
// song was added, so that a setup changed or removed later leaves the set as it was prepared.
struct SetSong {
  QString name;
  QString note;
  PresetRow preset;  // its loops, the program change it sends on and its name
  // Where the preset came from: a setup's name, kEditorsSource or a snapshot's description, and
  // the preset's number there (1..128, as the matrix counts).
  QString source;
  int sourcePreset = 1;
  // The eight loops' labels, one a line; empty while the song has none (the chart then shows
  // "LOOP1".."LOOP8").
  QString loopLabels;
  bool operator==(const SetSong&) const = default;

  // The labels of the song's source in the song's form, so that the chart names the pedals the
  // preset was made for.
  static QString labelLines(const LoopLabels& labels) {
    if (labels.isEmpty()) return {};
    QStringList lines;
    for (int loop = 0; loop < LoopLabels::kLoops; ++loop) lines << labels.label(loop);
    return lines.join(u'\n');
  }
};

// A named, ordered list of songs: the order in which they are played.
struct SetList {
  QString name;
  QList<SetSong> songs;
  bool operator==(const SetList&) const = default;
};

// A line of the list of set lists.
struct SetListSummary {
  QString name;
  int songs = 0;
  QDateTime changed;
  bool operator==(const SetListSummary&) const = default;
};

}  // namespace tarvik
