// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tarvik {

// What the flash needs of the window. The window implements it (the Firmware tab holds the
// button and the progress bar); tests implement a recorder. Every call comes on the window's
// thread.
class FlashView {
 public:
  virtual ~FlashView() = default;
  // A time-stamped line of the event log.
  virtual void addLog(const QString& message) = 0;
  virtual void setBusyCursor(bool busy) = 0;
  // Button7 "download new firmware and flash into Tarvik".
  virtual void setFlashButtonEnabled(bool enabled) = 0;
  // Modal box with the error icon and an OK button; may return only when the user closed it.
  virtual void showError(const QString& caption, const QString& text) = 0;
  // `page` pages of `pageCount` are verified; shows the progress bar.
  virtual void setProgress(int page, int pageCount) = 0;
  virtual void hideProgress() = 0;
};

}  // namespace tarvik
