// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include "config/UserTexts.h"

namespace tarvik {

// What the user calls each of the eight loops ("Fuzz", "Delay"): the pedal that sits in it. The
// labels are the user's notes, kept with a setup in the library and written to a backup file
// as a section "[loops]" with keys "loop1".."loop8", a key only for a labelled loop, each value
// UTF-8 text. They never go to the device. An empty label is no label.
//
// A label is shown under a column heading and inside a list item, so it is short: at most 24
// characters under UserText's rule.
class LoopLabels : public NumberedTexts<8, 24> {
  Q_DECLARE_TR_FUNCTIONS(LoopLabels)

 public:
  static constexpr int kLoops = kCount;

  // `loop` counts from 0, as the matrix's columns do.
  const QString& label(int loop) const { return text(loop); }
  // The caller has checked the label with problem(): an unchecked one may not read back.
  void setLabel(int loop, const QString& label) { setText(loop, label); }

  // "LOOP3", the device's name of the loop, with the label on a line of its own under it.
  QString heading(int loop) const;
  // "LOOP 3 (Delay)", or "LOOP 3" without a label: how a list names the loop.
  QString item(int loop) const;
  // "3 (Delay)", or "3": the loop's number where the text around it already says "loop".
  QString numbered(int loop) const;

  // The first label that cannot be one, as "the label of loop N why"; empty when all can.
  QString firstProblem() const;

  // The "[loops]" section with CR LF line ends, or nothing at all when no loop has a label.
  QByteArray section() const;

  struct Read;
  // The labels of every "[loops]" section in a file's text (the section name in any letter
  // case). A key other than loop1..loop8, a key twice, a line that is not key=value and labels
  // that could not have been written are problems; the labels read so far are returned all the
  // same.
  static Read read(const QByteArray& text);

  bool operator==(const LoopLabels&) const = default;
};

struct LoopLabels::Read {
  LoopLabels labels;
  QString problem;  // why the section cannot be taken as written; empty when it can
};

}  // namespace tarvik
