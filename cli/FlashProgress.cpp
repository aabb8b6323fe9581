// SPDX-License-Identifier: MIT
#include "cli/FlashProgress.h"

#include <QString>

namespace tarvik::cli {

void FlashProgress::update(int done, int count) {
  if (!terminal_) {
    if (done == 0) {
      stream_ << "flash: bootloader entered, " << count << " pages to upload" << Qt::endl;
    } else {
      stream_ << "flash: page " << done << " of " << count << " verified" << Qt::endl;
    }
    return;
  }
  const int filled = count > 0 ? done * kBarWidth / count : kBarWidth;
  stream_ << "\rflash [" << QString(filled, QLatin1Char('#'))
          << QString(kBarWidth - filled, QLatin1Char('-')) << "] " << done << '/' << count
          << " pages";
  stream_.flush();
  barShown_ = true;
}

void FlashProgress::end() {
  if (!barShown_) return;
  stream_ << Qt::endl;
  barShown_ = false;
}

}  // namespace tarvik::cli
