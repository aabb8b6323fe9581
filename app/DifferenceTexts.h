// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>
#include <cstdint>

#include "config/ConfigDiff.h"

namespace tarvik {

// How the comparison shows a difference: in the editors' own terms rather than as wire bytes,
// so that a row reads as the matrix and the settings tab would show it.
class DifferenceTexts {
  Q_DECLARE_TR_FUNCTIONS(DifferenceTexts)
 public:
  // "Loop names": the group of label differences.
  static QString loopLabelsTitle();
  // A table row: its number, then the preset's name ("5  Clean"; "5  Clean / Lead" when the
  // sides name it differently). A setting: its name as a backup file writes it.
  static QString rowLabel(const Difference& difference);
  // A loop mask as the numbers of its loops, each with its label ("1 3 (Delay) 5"), "no loop"
  // when empty.
  static QString loopSet(std::uint8_t mask, const LoopLabels& labels = {});
  // A preset's loops, a CC map or PC remap entry as its selector's text, a setting's value (the
  // loop masks among them as loop sets). A byte no selector item stands for is "no selection",
  // with the byte unless it is the editors' own 0xFF, so that two such bytes still read apart.
  // Loops are named with `labels` ("LOOP 3 (Delay)").
  static QString value(const Difference& difference, std::uint8_t byte,
                       const LoopLabels& labels = {});
  // One side of a difference: value() of its byte with that side's labels, or a loop's label
  // ("no label" for none).
  static QString sideText(const Difference& difference, bool after, const LoopLabels& labels = {});
  // A value the device holds that the editors keep otherwise, in the same terms:
  // "magicChannel: 8 kept by the Tarvik, sent as 0", "CC map 11: no selection (0xC8) kept by
  // the Tarvik, sent as no selection".
  static QString keptText(const BackupContents::Change& change);
};

}  // namespace tarvik
