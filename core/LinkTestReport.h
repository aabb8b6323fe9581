// SPDX-License-Identifier: MIT
#pragma once

#include <QMetaType>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace tarvik {

// What a link test found: how many Identify requests went out, and the round trip of each one
// that was answered in time, in microseconds. Its two lines are the same in the window's event
// log and on tarvik-cli's standard output, and not translated: scripts read them.
struct LinkTestReport {
  int sent = 0;
  std::vector<std::int64_t> roundTripsUs;

  int answered() const { return static_cast<int>(roundTripsUs.size()); }
  int lost() const { return sent - answered(); }
  // "sent 50, answered 47, lost 3 (6 %)": the share lost rounded to a whole number.
  QString countsLine() const;
  // "round trip: min 4.1 ms, median 4.6 ms, max 9.8 ms" over the answered ones, with one
  // decimal; "round trip: none" when nothing was answered.
  QString roundTripLine() const;
  // The pace to suggest to a user whose transfers ran at `paceMs` when replies were lost: the
  // careful pace (TransferCare::careful()), or twice the pace already tried, at most the
  // slowest there is. Nothing when nothing was lost or the slowest was tried: then the pace is
  // not what fails, and only another cable or port can help.
  std::optional<int> paceToTry(int paceMs) const;
};

}  // namespace tarvik

Q_DECLARE_METATYPE(tarvik::LinkTestReport)
