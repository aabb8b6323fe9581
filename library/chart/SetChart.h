// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <optional>

#include "library/SetList.h"

class QPagedPaintDevice;

namespace tarvik {

// The chart of a set for the music stand: one A4 page for up to kSongsPerPage songs (fewer when
// songs take several lines), each a row with the preset it is at once the set is arranged (its
// position), the song, the loops it switches on by their labels, the program change it sends
// on and its note, in type large enough to read at arm's length. Nothing is cut short or set
// smaller to fit: a cell too long for its column goes on over more lines (a loop moves whole to
// the next line), and all loops are in one size. A set that fits on one page is drawn larger,
// as far as it reads no worse for it; a longer one goes on over further pages.
//
// Needs a QGuiApplication (fonts); it draws and knows nothing of files.
class SetChart {
  Q_DECLARE_TR_FUNCTIONS(SetChart)

 public:
  static constexpr int kSongsPerPage = 30;

  // Draws the chart on `device` (a QPdfWriter, a QPrinter), set to A4 portrait first. False
  // when the device could not be painted on.
  static bool paint(QPagedPaintDevice& device, const SetList& setList);
  // The chart as a PDF file's bytes; nothing when it could not be drawn.
  static std::optional<QByteArray> pdf(const SetList& setList);

  // What a song's cells say: the loops on by their labels ("LOOP1".."LOOP8" for loops without
  // one), in loop order, also as one line, and the program change it sends on ("-" for none).
  static QStringList loopNames(const SetSong& song);
  static QString loopsText(const SetSong& song);
  static QString programChangeText(const SetSong& song);
};

}  // namespace tarvik
