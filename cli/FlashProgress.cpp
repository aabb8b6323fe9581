// SPDX-License-Identifier: MIT
#include "cli/FlashProgress.h"

#include <QString>

namespace tarvik::cli {

void FlashProgress::update(int done, int count) {
  if (!terminal_) {
    if (done == 0) {
      stream_ << tr("flash: bootloader entered, %1 pages to upload").arg(count) << Qt::endl;
    } else {
      stream_ << tr("flash: page %1 of %2 verified").arg(done).arg(count) << Qt::endl;
    }
    return;
  }
  const int filled = count > 0 ? done * kBarWidth / count : kBarWidth;
  stream_ << '\r'
          << tr("flash [%1] %2/%3 pages")
                 .arg(QString(filled, QLatin1Char('#')) +
                          QString(kBarWidth - filled, QLatin1Char('-')),
                      QString::number(done), QString::number(count));
  stream_.flush();
  barShown_ = true;
}

void FlashProgress::end() {
  if (!barShown_) return;
  stream_ << Qt::endl;
  barShown_ = false;
}

}  // namespace tarvik::cli
