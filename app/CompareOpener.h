// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QPushButton;

namespace tarvik {

class CompareWindow;
class ConfiguratorCore;
class Dialogs;
class TForm1;

// "Compare...": makes the comparison window on its first press, beside the main window, and
// brings it up on every press. The window is the main window's, and goes with it.
class CompareOpener : public QObject {
  Q_OBJECT
 public:
  // All must outlive the opener, which is the main window's too.
  CompareOpener(Dialogs& dialogs, ConfiguratorCore& core, TForm1& form, QPushButton& button);

  void show();
  // Null until the first press.
  CompareWindow* window() const { return window_; }

 private:
  Dialogs& dialogs_;
  ConfiguratorCore& core_;
  TForm1& form_;
  CompareWindow* window_ = nullptr;
};

}  // namespace tarvik
