// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QTextStream>

namespace tarvik::cli {

// The flash's progress on standard error: on a terminal one bar that redraws itself in place,
// elsewhere (a log file, a pipe) one plain line per verified page.
class FlashProgress {
  Q_DECLARE_TR_FUNCTIONS(FlashProgress)

 public:
  static constexpr int kBarWidth = 30;

  FlashProgress(QTextStream& stream, bool terminal) : stream_(stream), terminal_(terminal) {}

  // `done` of `count` pages are verified; 0 when the bootloader has answered.
  void update(int done, int count);
  // Ends the bar's line, so that whatever follows starts on a line of its own.
  void end();

 private:
  QTextStream& stream_;
  bool terminal_;
  bool barShown_ = false;
};

}  // namespace tarvik::cli
